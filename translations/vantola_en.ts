<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="fr">
<context>
    <name>vantola::ArchivePages</name>
    <message>
        <source>L&apos;archive %1 ne s&apos;ouvre pas : %2</source>
        <translation>The archive %1 does not open: %2</translation>
    </message>
    <message>
        <source>Les pages de l&apos;archive ne peuvent pas être écrites dans %1 : %2</source>
        <translation>The archive&apos;s pages cannot be written in %1: %2</translation>
    </message>
    <message>
        <source>L&apos;archive %1 est illisible : %2</source>
        <translation>The archive %1 is unreadable: %2</translation>
    </message>
    <message>
        <source>L&apos;archive %1 dépasse %2 Mio une fois décompressée : rien n&apos;a été extrait (clé ARCHIVE_TAILLE_MAX de param.ini).</source>
        <translation>The archive %1 exceeds %2 MiB once uncompressed: nothing was extracted (key ARCHIVE_TAILLE_MAX of param.ini).</translation>
    </message>
    <message>
        <source>L&apos;archive %1 ne contient aucune image lisible.</source>
        <translation>The archive %1 holds no readable picture.</translation>
    </message>
    <message>
        <source>Les pages de l&apos;archive %1 ne peuvent pas être placées dans %2 : %3</source>
        <translation>The pages of the archive %1 cannot be put in %2: %3</translation>
    </message>
</context>
<context>
    <name>vantola::CuttingJob</name>
    <message>
        <source>DECOUPAGE IMPOSSIBLE</source>
        <translation>CUTTING IMPOSSIBLE</translation>
    </message>
    <message>
        <source>%1 diapos créées et %2 erreurs rencontré(s).</source>
        <translation>%1 pieces made and %2 error(s) met.</translation>
    </message>
    <message>
        <source>DECOUPAGE TERMINE</source>
        <translation>CUTTING FINISHED</translation>
    </message>
    <message>
        <source>DECOUPAGE INCOMPLET</source>
        <translation>CUTTING INCOMPLETE</translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 est hors limites : le découpage n&apos;a pas été lancé (niveau de %2 à %3).</source>
        <translation>The white level %1 is out of bounds: the job was not started (level from %2 to %3).</translation>
    </message>
    <message>
        <source>Découpage de BD - %1/%2</source>
        <translation>Cutting comic pages - %1/%2</translation>
    </message>
    <message>
        <source>1er passe de </source>
        <translation>1st pass of </translation>
    </message>
    <message>
        <source>2e passe de </source>
        <translation>2nd pass of </translation>
    </message>
    <message>
        <source> : le découpage n&apos;a pas été lancé.</source>
        <translation>: the job was not started.</translation>
    </message>
    <message>
        <source>Le dossier de sortie %1 est un lien symbolique : rien n&apos;est écrit ni effacé à travers un lien</source>
        <translation>The output folder %1 is a symbolic link: nothing is written or deleted through a link</translation>
    </message>
    <message>
        <source>%1 existe et n&apos;est pas un dossier : renommez ou déplacez ce fichier</source>
        <translation>%1 exists and is not a folder: rename or move that file</translation>
    </message>
    <message>
        <source>Le dossier %1 est monté depuis un autre système de fichiers : la double passe ne peut pas le remplacer</source>
        <translation>The folder %1 is mounted from another file system: the double pass cannot replace it</translation>
    </message>
    <message>
        <source>Le dossier %1 n&apos;est pas accessible en écriture (%2)</source>
        <translation>The folder %1 cannot be written (%2)</translation>
    </message>
    <message>
        <source>%1 est déjà utilisé par un autre découpage%2 : attendez qu&apos;il se termine</source>
        <translation>%1 is in use by another job%2: wait until it ends</translation>
    </message>
    <message>
        <source>Le dossier de sortie %1 n&apos;a pas pu être créé (%2)</source>
        <translation>The output folder %1 could not be made (%2)</translation>
    </message>
    <message>
        <source>Le dossier </source>
        <translation>The folder </translation>
    </message>
    <message>
        <source>Le dossier du programme </source>
        <translation>The program folder </translation>
    </message>
</context>
<context>
    <name>vantola::DeletedPieces</name>
    <message>
        <source>un fichier porte de nouveau ce nom</source>
        <translation>a file has that name again</translation>
    </message>
</context>
<context>
    <name>vantola::ModCommonDialog</name>
    <message>
        <source>Albums (*.CBZ;*.CBR;*.CB7;*.CBT)</source>
        <translation>Comic books (*.CBZ;*.CBR;*.CB7;*.CBT)</translation>
    </message>
    <message>
        <source>Nom du fichier en entrée...</source>
        <translation>Input file name...</translation>
    </message>
    <message>
        <source>Nom du fichier en sortie...</source>
        <translation>Output file name...</translation>
    </message>
    <message>
        <source>PDF Files (*.PDF)</source>
        <translation>PDF Files (*.PDF)</translation>
    </message>
    <message>
        <source>Document PDF à découper...</source>
        <translation>PDF document to cut...</translation>
    </message>
</context>
<context>
    <name>vantola::PageViewer</name>
    <message>
        <source>        Largeur: </source>
        <translation>        Width: </translation>
    </message>
    <message>
        <source> / Longueur:</source>
        <translation> / Height:</translation>
    </message>
    <message>
        <source>OUVRIR UNE IMAGE</source>
        <translation>OPEN A PICTURE</translation>
    </message>
    <message>
        <source>L&apos;image ne peut pas être ouverte : </source>
        <translation>The picture cannot be opened: </translation>
    </message>
    <message>
        <source> (erreur %1)</source>
        <translation> (error %1)</translation>
    </message>
    <message>
        <source> -- Entete:</source>
        <translation> -- Header:</translation>
    </message>
    <message>
        <source>/ Pied: </source>
        <translation>/ Footer: </translation>
    </message>
    <message>
        <source>ENTETE DEFINIE SUR LA LIGNE </source>
        <translation>HEADER SET ON ROW </translation>
    </message>
    <message>
        <source>PIED DE PAGE DEFINI SUR LA LIGNE </source>
        <translation>FOOTER SET ON ROW </translation>
    </message>
    <message>
        <source>Vous avez cliquer du point de couleur :</source>
        <translation>You clicked from the point of colour:</translation>
    </message>
    <message>
        <source>jusqu&apos;au point de couleur </source>
        <translation>to the point of colour </translation>
    </message>
    <message>
        <source>Niveau de blanc de la zone:</source>
        <translation>White level of the zone:</translation>
    </message>
    <message>
        <source>Pour commencer, ouvrez une image (Ctrl+O) ou déposez ici des pages, un dossier, un PDF ou une archive de BD.</source>
        <translation>To begin, open a picture (Ctrl+O) or drop pages, a folder, a PDF or a comic-book archive here.</translation>
    </message>
</context>
<context>
    <name>vantola::PdfSource</name>
    <message>
        <source>Le fichier PDF %1 n&apos;existe pas.</source>
        <translation>The PDF file %1 does not exist.</translation>
    </message>
    <message>
        <source>Le fichier PDF %1 ne peut pas être lu.</source>
        <translation>The PDF file %1 cannot be read.</translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;est pas un document PDF lisible (fichier endommagé ou d&apos;un autre type).</source>
        <translation>The file %1 is not a readable PDF document (a damaged file, or one of another type).</translation>
    </message>
    <message>
        <source>Le document PDF %1 est protégé par un mot de passe : ses pages ne peuvent pas être lues.</source>
        <translation>The PDF document %1 is protected by a password: its pages cannot be read.</translation>
    </message>
    <message>
        <source>Le document PDF %1 ne contient aucune page.</source>
        <translation>The PDF document %1 has no page.</translation>
    </message>
</context>
<context>
    <name>vantola::UserGuide</name>
    <message>
        <source>notice.htm</source>
        <translation>notice_en.htm</translation>
    </message>
    <message>
        <source>NOTICE INTROUVABLE</source>
        <translation>USER GUIDE NOT FOUND</translation>
    </message>
    <message>
        <source>La notice %1 n&apos;a été trouvée dans aucun de ces dossiers :</source>
        <translation>The user guide %1 was found in none of these folders:</translation>
    </message>
    <message>
        <source>NOTICE NON OUVERTE</source>
        <translation>USER GUIDE NOT OPENED</translation>
    </message>
    <message>
        <source>Aucun programme n&apos;a pu ouvrir la notice :<byte value="xd"/>
</source>
        <translation>No program could open the user guide:<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>vantola::WindowJobHost</name>
    <message>
        <source> (en pause)</source>
        <translation> (paused)</translation>
    </message>
</context>
<context>
    <name>vantola::fSaveJPG</name>
    <message>
        <source>param.ini : la valeur « %1 » de %2 est refusée ; la valeur %3 est utilisée.</source>
        <translation>param.ini: the value &quot;%1&quot; of %2 is refused; the value %3 is used.</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Le fichier %1 ne peut pas être lu : les réglages par défaut sont utilisés.</source>
        <translation>The file %1 cannot be read: the default settings are used.</translation>
    </message>
    <message>
        <source>Les réglages JPEG n&apos;ont pas pu être enregistrés dans %1.</source>
        <translation>The JPEG settings could not be saved in %1.</translation>
    </message>
</context>
<context>
    <name>vantola::frmAbout</name>
    <message>
        <source>Système</source>
        <translation>System</translation>
    </message>
    <message>
        <source>Noyau</source>
        <translation>Kernel</translation>
    </message>
    <message>
        <source>Processeur</source>
        <translation>Processor</translation>
    </message>
    <message>
        <source>Nom de la machine</source>
        <translation>Host name</translation>
    </message>
    <message>
        <source>À propos de </source>
        <translation>About </translation>
    </message>
    <message>
        <source>Cet utilitaire permet de créer des petites images à partir de grandes images.
Si vous scanner vos BD, ce logiciel, vous decoupera automatiquement les pages des bandes dessinées en vignettes.</source>
        <translation>This utility makes small pictures out of large ones.
If you scan your comic books, it cuts their pages into panels for you, automatically.</translation>
    </message>
    <message>
        <source>Vous trouverez plus d&apos;infos dans le fichier &lt;a href=&quot;notice.htm&quot;&gt;notice.htm&lt;/a&gt; contenu dans le répertoire.</source>
        <translation>You will find more in the file &lt;a href=&quot;notice.htm&quot;&gt;notice_en.htm&lt;/a&gt; that comes with the program.</translation>
    </message>
    <message>
        <source>&amp;Infos système...</source>
        <translation>&amp;System Info...</translation>
    </message>
    <message>
        <source>Les informations système ne sont pas disponibles actuellement</source>
        <translation>System information is not available at this time</translation>
    </message>
    <message>
        <source>Infos système</source>
        <translation>System Info</translation>
    </message>
</context>
<context>
    <name>vantola::frmBD</name>
    <message>
        <source>Avant toute chose, choisissez le document PDF à découper : ses pages seront lues une à une, sans lecteur PDF.<byte value="xd"/>
Avez vous bien regler les modifications de formatage (rotation, compression...)</source>
        <translation>First choose the PDF document to cut: its pages will be read one by one, with no PDF viewer.<byte value="xd"/>
Have you set the format switches (rotation, compression...)?</translation>
    </message>
    <message>
        <source>CHARGEMENT</source>
        <translation>LOADING</translation>
    </message>
    <message>
        <source>DOCUMENT PDF ILLISIBLE</source>
        <translation>UNREADABLE PDF DOCUMENT</translation>
    </message>
    <message>
        <source>NOMBRE DE PAGES</source>
        <translation>NUMBER OF PAGES</translation>
    </message>
    <message>
        <source>Combien de pages possede votre document PDF ?</source>
        <translation>How many pages does your PDF document have?</translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un nombre de pages : tapez un nombre entier de 1 à %2.</source>
        <translation>&quot;%1&quot; is not a number of pages: type a whole number from 1 to %2.</translation>
    </message>
    <message>
        <source>DECOUPAGE EN COURS</source>
        <translation>CUTTING UNDER WAY</translation>
    </message>
    <message>
        <source>Un découpage est déjà en cours : attendez qu&apos;il se termine avant d&apos;en lancer un autre.</source>
        <translation>A job is already running: wait until it ends before starting another one.</translation>
    </message>
    <message>
        <source>DOSSIER INTROUVABLE</source>
        <translation>FOLDER NOT FOUND</translation>
    </message>
    <message>
        <source>Le dossier %1 n&apos;existe pas : rien n&apos;a été découpé. Choisissez un dossier qui existe.</source>
        <translation>The folder %1 does not exist: nothing was cut. Choose a folder that exists.</translation>
    </message>
    <message>
        <source>DECOUPAGE INTERROMPU</source>
        <translation>CUTTING INTERRUPTED</translation>
    </message>
    <message>
        <source> (erreur %1)</source>
        <translation> (error %1)</translation>
    </message>
    <message>
        <source>ARCHIVE NON EXTRAITE</source>
        <translation>ARCHIVE NOT EXTRACTED</translation>
    </message>
    <message>
        <source>PARAMETRAGE DU NIVEAU DE BLANC</source>
        <translation>WHITE LEVEL SETTING</translation>
    </message>
    <message>
        <source>Renseigner la valeur minimum du blanc de votre scan (0 à 1680)<byte value="xd"/>
Ceci dans le but de détecter les lignes horizontales de séparation</source>
        <translation>Enter the lowest white value of your scan (0 to 1680)<byte value="xd"/>
It is used to find the horizontal rows that separate the panels</translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 s&apos;applique à cette session, mais n&apos;a pas pu être enregistré dans %2.</source>
        <translation>The white level %1 applies to this session, but it could not be saved in %2.</translation>
    </message>
    <message>
        <source>DELIMITER UNE ENTETE</source>
        <translation>SET A HEADER</translation>
    </message>
    <message>
        <source>Cliquer sur l&apos;image, pour designer une entete, et le decoupage commencera à partir de cette ligne</source>
        <translation>Click on the picture to set a header: cutting will start from that row</translation>
    </message>
    <message>
        <source>DELIMITER UN PIED DE PAGE</source>
        <translation>SET A FOOTER</translation>
    </message>
    <message>
        <source>Cliquer sur l&apos;image, pour designer un pied de page, et le decoupage se terminera sur cette ligne</source>
        <translation>Click on the picture to set a footer: cutting will end on that row</translation>
    </message>
    <message>
        <source>&amp;Fichier</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Ouvrir une image</source>
        <translation>&amp;Open a picture</translation>
    </message>
    <message>
        <source>&amp;Découper un répertoire</source>
        <translation>Cut a &amp;folder</translation>
    </message>
    <message>
        <source>Comparer le découpage</source>
        <translation>Compare the cutting</translation>
    </message>
    <message>
        <source>Découper une &amp;image</source>
        <translation>Cut a &amp;picture</translation>
    </message>
    <message>
        <source>Découper une image depuis le presse papier</source>
        <translation>Cut a picture from the clipboard</translation>
    </message>
    <message>
        <source>Découper une BD depuis Adobe Acrobat (PDF)</source>
        <translation>Cut a comic from Adobe Acrobat (PDF)</translation>
    </message>
    <message>
        <source>&amp;Quitter</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>F&amp;ormatage</source>
        <translation>F&amp;ormat</translation>
    </message>
    <message>
        <source>Effectuer une &amp;double passe</source>
        <translation>Make a &amp;double pass</translation>
    </message>
    <message>
        <source>Effectuer une rotation de 90° (sens &amp;horaire)</source>
        <translation>Rotate by 90° (&amp;clockwise)</translation>
    </message>
    <message>
        <source>Effectuer une rotation de 90° (sens &amp;anti horaire)</source>
        <translation>Rotate by 90° (&amp;anticlockwise)</translation>
    </message>
    <message>
        <source>Configurer la compression JPEG</source>
        <translation>Set up the JPEG compression</translation>
    </message>
    <message>
        <source>Couper les bordures</source>
        <translation>Cut the borders</translation>
    </message>
    <message>
        <source>&amp;Chiffrer le blanc de séparation</source>
        <translation>Set the separating &amp;white</translation>
    </message>
    <message>
        <source>&amp;Gérer une entête d&apos;image</source>
        <translation>Set a picture &amp;header</translation>
    </message>
    <message>
        <source>Gérer un &amp;pied de page d&apos;image</source>
        <translation>Set a picture foo&amp;ter</translation>
    </message>
    <message>
        <source>Lecture de droite à gauche (manga)</source>
        <translation>Right-to-left reading (manga)</translation>
    </message>
    <message>
        <source>Bandes verticales (webtoon)</source>
        <translation>Vertical strips (webtoon)</translation>
    </message>
    <message>
        <source>Créer un livre CBZ des vignettes</source>
        <translation>Make a CBZ book of the panels</translation>
    </message>
    <message>
        <source>Créer les cartes des cases (JSON, ACBF)</source>
        <translation>Make the panel maps (JSON, ACBF)</translation>
    </message>
    <message>
        <source>Divers</source>
        <translation>Misc</translation>
    </message>
    <message>
        <source>&amp;Notice</source>
        <translation>&amp;User guide</translation>
    </message>
    <message>
        <source>&amp;A Propos</source>
        <translation>&amp;About</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>&amp;Pause</translation>
    </message>
    <message>
        <source>EN PAUSE (Ctrl+P pour reprendre)</source>
        <translation>PAUSED (Ctrl+P to resume)</translation>
    </message>
    <message>
        <source>DEPOT IMPOSSIBLE</source>
        <translation>CANNOT TAKE THE DROP</translation>
    </message>
    <message>
        <source>Vantola ne sait pas découper %1 : déposez des images, un dossier, un document PDF ou une archive de BD (.cbz, .cbr, .cb7, .cbt, .zip, .rar, .7z, .tar).</source>
        <translation>Vantola cannot cut %1: drop pictures, a folder, a PDF document or a comic-book archive (.cbz, .cbr, .cb7, .cbt, .zip, .rar, .7z, .tar).</translation>
    </message>
    <message>
        <source>Détecter les cadres</source>
        <translation>Find the panels by their frames</translation>
    </message>
</context>
<context>
    <name>vantola::frmDiapo</name>
    <message>
        <source>Découpe non dessinée : WIDTH ou HEIGHT n&apos;est pas un nombre dans le fichier de découpe.</source>
        <translation>Cuts not drawn: WIDTH or HEIGHT is not a number in the cut record.</translation>
    </message>
    <message>
        <source>Découpe non dessinée : WIDTH ou HEIGHT vaut 0 dans le fichier de découpe.</source>
        <translation>Cuts not drawn: WIDTH or HEIGHT is 0 in the cut record.</translation>
    </message>
    <message>
        <source>Découpe %1 non dessinée : une coordonnée n&apos;est pas un nombre dans le fichier de découpe.</source>
        <translation>Cut %1 not drawn: a coordinate is not a number in the cut record.</translation>
    </message>
    <message>
        <source>Découpe non dessinée : le fichier de découpe ne peut pas être lu.</source>
        <translation>Cuts not drawn: the cut record cannot be read.</translation>
    </message>
    <message>
        <source>Double clique = effacer le fichier</source>
        <translation>Double click = delete the file</translation>
    </message>
    <message>
        <source>Permet de savoir pourquoi une decoupe ne se fait pas correctement via le log</source>
        <translation>Tells in the log why a cut does not come out right</translation>
    </message>
    <message>
        <source>Numero 1 / 1</source>
        <translation>Number 1 / 1</translation>
    </message>
    <message>
        <source>Aucune image .JPG dans </source>
        <translation>No .JPG picture in </translation>
    </message>
    <message>
        <source>Aucune page à montrer</source>
        <translation>No page to show</translation>
    </message>
    <message>
        <source> diapos sur </source>
        <translation> pieces of </translation>
    </message>
    <message>
        <source>Page non affichée : %1 (%2)</source>
        <translation>Page not shown: %1 (%2)</translation>
    </message>
    <message>
        <source>REDECOUPAGE IMPOSSIBLE</source>
        <translation>CUTTING AGAIN IMPOSSIBLE</translation>
    </message>
    <message>
        <source>Le niveau de blanc « %1 » n&apos;est pas un nombre entier : aucune image n&apos;a été redécoupée.</source>
        <translation>The white level &quot;%1&quot; is not a whole number: no picture was cut again.</translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 est hors limites (niveau de %2 à %3) : aucune image n&apos;a été redécoupée.</source>
        <translation>The white level %1 is out of bounds (level from %2 to %3): no picture was cut again.</translation>
    </message>
    <message>
        <source>Un autre découpage a changé le dossier en cours depuis l&apos;ouverture de cette fenêtre sur %1 : aucune image n&apos;a été redécoupée. Fermez l&apos;outil de comparaison et rouvrez-le pour revoir le dossier en cours.</source>
        <translation>Another job has changed the current folder since this window was opened on %1: no picture was cut again. Close the compare tool and open it again to review the current folder.</translation>
    </message>
    <message>
        <source>Image(s) introuvable(s) dans %1 : %2. Aucune image n&apos;a été redécoupée.</source>
        <translation>Picture(s) not found in %1: %2. No picture was cut again.</translation>
    </message>
    <message>
        <source>SUPPRESSION</source>
        <translation>DELETION</translation>
    </message>
    <message>
        <source>Voulez vous effacer cette image ?</source>
        <translation>Do you want to delete this picture?</translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;a pas pu être effacé : %2</source>
        <translation>The file %1 could not be deleted: %2</translation>
    </message>
    <message>
        <source>fichier introuvable</source>
        <translation>file not found</translation>
    </message>
    <message>
        <source>image illisible</source>
        <translation>unreadable picture</translation>
    </message>
    <message>
        <source>image trop grande</source>
        <translation>picture too large</translation>
    </message>
    <message>
        <source>image trop petite pour être montrée</source>
        <translation>picture too small to be shown</translation>
    </message>
    <message>
        <source>son dossier est un lien symbolique</source>
        <translation>its folder is a symbolic link</translation>
    </message>
    <message>
        <source>Image originale:</source>
        <translation>Original picture:</translation>
    </message>
    <message>
        <source>Découpe effectuée:</source>
        <translation>Cuts made:</translation>
    </message>
    <message>
        <source>Images finales:</source>
        <translation>Final pictures:</translation>
    </message>
    <message>
        <source>Niveau de blanc:</source>
        <translation>White level:</translation>
    </message>
    <message>
        <source>Mode debug (log)</source>
        <translation>Debug mode (log)</translation>
    </message>
    <message>
        <source>Redécouper cette image</source>
        <translation>Cut this picture again</translation>
    </message>
    <message>
        <source>Redécouper toutes les images préselectionnées</source>
        <translation>Cut all the ticked pictures again</translation>
    </message>
    <message>
        <source>Cocher l&apos;image pour un redécoupage ultérieur</source>
        <translation>Tick the picture to cut it again later</translation>
    </message>
    <message>
        <source>Vantola - Outil de comparaison de découpe</source>
        <translation>Vantola - Cutting compare tool</translation>
    </message>
    <message>
        <source>Rétablir l&apos;image effacée</source>
        <translation>Restore the deleted picture</translation>
    </message>
    <message>
        <source>RESTAURATION</source>
        <translation>RESTORE</translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;a pas pu être rétabli : %2</source>
        <translation>The file %1 could not be restored: %2</translation>
    </message>
</context>
</TS>
