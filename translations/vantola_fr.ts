<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR" sourcelanguage="fr">
<context>
    <name>vantola::ArchivePages</name>
    <message>
        <source>L&apos;archive %1 ne s&apos;ouvre pas : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Les pages de l&apos;archive ne peuvent pas être écrites dans %1 : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&apos;archive %1 est illisible : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&apos;archive %1 dépasse %2 Mio une fois décompressée : rien n&apos;a été extrait (clé ARCHIVE_TAILLE_MAX de param.ini).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&apos;archive %1 ne contient aucune image lisible.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Les pages de l&apos;archive %1 ne peuvent pas être placées dans %2 : %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::CuttingJob</name>
    <message>
        <source>DECOUPAGE IMPOSSIBLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 diapos créées et %2 erreurs rencontré(s).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DECOUPAGE TERMINE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DECOUPAGE INCOMPLET</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 est hors limites : le découpage n&apos;a pas été lancé (niveau de %2 à %3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découpage de BD - %1/%2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1er passe de </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2e passe de </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> : le découpage n&apos;a pas été lancé.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier de sortie %1 est un lien symbolique : rien n&apos;est écrit ni effacé à travers un lien</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 existe et n&apos;est pas un dossier : renommez ou déplacez ce fichier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier %1 est monté depuis un autre système de fichiers : la double passe ne peut pas le remplacer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier %1 n&apos;est pas accessible en écriture (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 est déjà utilisé par un autre découpage%2 : attendez qu&apos;il se termine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier de sortie %1 n&apos;a pas pu être créé (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier du programme </source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::DeletedPieces</name>
    <message>
        <source>un fichier porte de nouveau ce nom</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::ModCommonDialog</name>
    <message>
        <source>Albums (*.CBZ;*.CBR;*.CB7;*.CBT)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nom du fichier en entrée...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nom du fichier en sortie...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PDF Files (*.PDF)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Document PDF à découper...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::PageViewer</name>
    <message>
        <source>        Largeur: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> / Longueur:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OUVRIR UNE IMAGE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>L&apos;image ne peut pas être ouverte : </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (erreur %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> -- Entete:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>/ Pied: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ENTETE DEFINIE SUR LA LIGNE </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PIED DE PAGE DEFINI SUR LA LIGNE </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vous avez cliquer du point de couleur :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>jusqu&apos;au point de couleur </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Niveau de blanc de la zone:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pour commencer, ouvrez une image (Ctrl+O) ou déposez ici des pages, un dossier, un PDF ou une archive de BD.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::PdfSource</name>
    <message>
        <source>Le fichier PDF %1 n&apos;existe pas.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le fichier PDF %1 ne peut pas être lu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;est pas un document PDF lisible (fichier endommagé ou d&apos;un autre type).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le document PDF %1 est protégé par un mot de passe : ses pages ne peuvent pas être lues.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le document PDF %1 ne contient aucune page.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::UserGuide</name>
    <message>
        <source>notice.htm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NOTICE INTROUVABLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>La notice %1 n&apos;a été trouvée dans aucun de ces dossiers :</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NOTICE NON OUVERTE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aucun programme n&apos;a pu ouvrir la notice :<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::WindowJobHost</name>
    <message>
        <source> (en pause)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::fSaveJPG</name>
    <message>
        <source>param.ini : la valeur « %1 » de %2 est refusée ; la valeur %3 est utilisée.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le fichier %1 ne peut pas être lu : les réglages par défaut sont utilisés.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Les réglages JPEG n&apos;ont pas pu être enregistrés dans %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::frmAbout</name>
    <message>
        <source>Système</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Noyau</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Processeur</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nom de la machine</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>À propos de </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cet utilitaire permet de créer des petites images à partir de grandes images.
Si vous scanner vos BD, ce logiciel, vous decoupera automatiquement les pages des bandes dessinées en vignettes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vous trouverez plus d&apos;infos dans le fichier &lt;a href=&quot;notice.htm&quot;&gt;notice.htm&lt;/a&gt; contenu dans le répertoire.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Infos système...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Les informations système ne sont pas disponibles actuellement</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Infos système</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::frmBD</name>
    <message>
        <source>Avant toute chose, choisissez le document PDF à découper : ses pages seront lues une à une, sans lecteur PDF.<byte value="xd"/>
Avez vous bien regler les modifications de formatage (rotation, compression...)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CHARGEMENT</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOCUMENT PDF ILLISIBLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>NOMBRE DE PAGES</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Combien de pages possede votre document PDF ?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>« %1 » n&apos;est pas un nombre de pages : tapez un nombre entier de 1 à %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DECOUPAGE EN COURS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Un découpage est déjà en cours : attendez qu&apos;il se termine avant d&apos;en lancer un autre.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DOSSIER INTROUVABLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le dossier %1 n&apos;existe pas : rien n&apos;a été découpé. Choisissez un dossier qui existe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DECOUPAGE INTERROMPU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> (erreur %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ARCHIVE NON EXTRAITE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PARAMETRAGE DU NIVEAU DE BLANC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Renseigner la valeur minimum du blanc de votre scan (0 à 1680)<byte value="xd"/>
Ceci dans le but de détecter les lignes horizontales de séparation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 s&apos;applique à cette session, mais n&apos;a pas pu être enregistré dans %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DELIMITER UNE ENTETE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cliquer sur l&apos;image, pour designer une entete, et le decoupage commencera à partir de cette ligne</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DELIMITER UN PIED DE PAGE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cliquer sur l&apos;image, pour designer un pied de page, et le decoupage se terminera sur cette ligne</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Fichier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Ouvrir une image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Découper un répertoire</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Comparer le découpage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découper une &amp;image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découper une image depuis le presse papier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découper une BD depuis Adobe Acrobat (PDF)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Quitter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>F&amp;ormatage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effectuer une &amp;double passe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effectuer une rotation de 90° (sens &amp;horaire)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Effectuer une rotation de 90° (sens &amp;anti horaire)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Configurer la compression JPEG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Couper les bordures</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Chiffrer le blanc de séparation</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Gérer une entête d&apos;image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gérer un &amp;pied de page d&apos;image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lecture de droite à gauche (manga)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bandes verticales (webtoon)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Créer un livre CBZ des vignettes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Créer les cartes des cases (JSON, ACBF)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Divers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Notice</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;A Propos</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EN PAUSE (Ctrl+P pour reprendre)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DEPOT IMPOSSIBLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantola ne sait pas découper %1 : déposez des images, un dossier, un document PDF ou une archive de BD (.cbz, .cbr, .cb7, .cbt, .zip, .rar, .7z, .tar).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Détecter les cadres</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>vantola::frmDiapo</name>
    <message>
        <source>Découpe non dessinée : WIDTH ou HEIGHT n&apos;est pas un nombre dans le fichier de découpe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découpe non dessinée : WIDTH ou HEIGHT vaut 0 dans le fichier de découpe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découpe %1 non dessinée : une coordonnée n&apos;est pas un nombre dans le fichier de découpe.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découpe non dessinée : le fichier de découpe ne peut pas être lu.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Double clique = effacer le fichier</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Permet de savoir pourquoi une decoupe ne se fait pas correctement via le log</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Numero 1 / 1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aucune image .JPG dans </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Aucune page à montrer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> diapos sur </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Page non affichée : %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REDECOUPAGE IMPOSSIBLE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le niveau de blanc « %1 » n&apos;est pas un nombre entier : aucune image n&apos;a été redécoupée.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le niveau de blanc %1 est hors limites (niveau de %2 à %3) : aucune image n&apos;a été redécoupée.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Un autre découpage a changé le dossier en cours depuis l&apos;ouverture de cette fenêtre sur %1 : aucune image n&apos;a été redécoupée. Fermez l&apos;outil de comparaison et rouvrez-le pour revoir le dossier en cours.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image(s) introuvable(s) dans %1 : %2. Aucune image n&apos;a été redécoupée.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SUPPRESSION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voulez vous effacer cette image ?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;a pas pu être effacé : %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fichier introuvable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>image illisible</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>image trop grande</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>image trop petite pour être montrée</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>son dossier est un lien symbolique</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Image originale:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Découpe effectuée:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Images finales:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Niveau de blanc:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mode debug (log)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redécouper cette image</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Redécouper toutes les images préselectionnées</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cocher l&apos;image pour un redécoupage ultérieur</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vantola - Outil de comparaison de découpe</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Rétablir l&apos;image effacée</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RESTAURATION</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Le fichier %1 n&apos;a pas pu être rétabli : %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
