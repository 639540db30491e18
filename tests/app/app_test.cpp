// The main window, its jobs, viewer and dialogs (offscreen), and vantola run as a real process.
#include "app/about_box.h"
#include "app/common_dialogs.h"
#include "app/jpeg_settings_dialog.h"
#include "app/main_window_test_fixture.h"
#include "app/page_picture.h"
#include "app/page_viewer.h"
#include "app/program_language.h"
#include "app/progress_panel.h"
#include "review/review_captions.h"
#include "support/djpeg.h"
#include "support/job_fixture.h"
#include "support/test_pages.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QSysInfo>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <tuple>

namespace vantola::test {
namespace {

// Closing saves the switches (checked under a real event loop below); opening writes nothing.
TEST_F(MainWindowTest, StartsWithDefaultsWithoutParamIniAndTheJobFollowsTheSwitches) {
    openWindow();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    for (const char* unchecked : {"mnu_horaire", "mnu_antihoraire", "mnu_doublepasse", "mnu_entete",
                                  "mnu_pied", "mnu_pause"})
        EXPECT_FALSE(item(unchecked)->isChecked()) << unchecked;
    for (const char* disabled : {"mnu_entete", "mnu_pied"})
        EXPECT_FALSE(item(disabled)->isEnabled()) << disabled;
    EXPECT_TRUE(window->pgbTraitement()->isReady());
    EXPECT_TRUE(window->pgbTraitement()->picture().isNull());

    // The rotation items exclude each other.
    item("mnu_antihoraire")->trigger();
    item("mnu_horaire")->trigger();
    EXPECT_TRUE(item("mnu_horaire")->isChecked());
    EXPECT_FALSE(item("mnu_antihoraire")->isChecked());
    EXPECT_EQ(window->job().switches.rotation, Rotation::Clockwise);
    item("mnu_horaire")->trigger();
    EXPECT_FALSE(item("mnu_horaire")->isChecked() || item("mnu_antihoraire")->isChecked());
    EXPECT_EQ(window->job().switches.rotation, Rotation::None);
    item("mnu_doublepasse")->trigger();
    EXPECT_TRUE(window->job().switches.doublePass);
    EXPECT_FALSE(QFile::exists(state.sFichierParam));
}

TEST_F(MainWindowTest, ReadsSwitchesAndLevelFromParamIni) {
    writeParamIni(
        "[PARAM]\r\nSENS=ANTIHORAIRE\r\nDOUBLEPASSE=OUI\r\nSENS_LECTURE=DROITE_GAUCHE\r\n"
        "BANDE_VERTICALE=OUI\r\nCADRES=OUI\r\nDETECTION=CADRES\r\nNIVEAU_DE_BLANC=1300\r\n");
    openWindow();
    EXPECT_EQ(state.lNiveauBlanc, 1300);
    EXPECT_FALSE(item("mnu_horaire")->isChecked());
    for (const char* checked : {"mnu_antihoraire", "mnu_doublepasse", "mnu_droitegauche",
                                "mnu_bandeverticale", "mnu_cadres", "mnu_detectercadres"})
        EXPECT_TRUE(item(checked)->isChecked()) << checked;
    const JobSwitches& switches = window->job().switches;
    EXPECT_EQ(switches.rotation, Rotation::Anticlockwise);
    EXPECT_TRUE(switches.doublePass && switches.rightToLeft && switches.strip &&
                switches.panelMaps && switches.finder == PanelFinder::Frames);
    EXPECT_FALSE(switches.panelBook);

    // The saved switches are compared exactly: lower case turns nothing on.
    writeParamIni("[PARAM]\r\nSENS=horaire\r\nDOUBLEPASSE=oui\r\n");
    openWindow();
    for (const char* unchecked : {"mnu_horaire", "mnu_antihoraire", "mnu_doublepasse"})
        EXPECT_FALSE(item(unchecked)->isChecked()) << unchecked;
}

// Under a real event loop: "&Quitter" ends without saving even if the window closes after it.
TEST_F(MainWindowTest, QuitterEndsWithoutSavingCloseSavesTheSwitches) {
    writeParamIni("[PARAM]\r\nDOUBLEPASSE=NON\r\n");
    for (const bool quitter : {true, false}) {
        SCOPED_TRACE(quitter ? "quitter" : "close");
        openWindow();
        window->hooks().quit = defaultWindowHooks(window.get(), window->dialogs()).quit;
        item("mnu_doublepasse")->trigger();
        item("mnu_horaire")->trigger();
        item("mnu_droitegauche")->trigger();
        item("mnu_livrecbz")->trigger();
        item("mnu_detectercadres")->trigger();
        QTimer::singleShot(0, window.get(), [this, quitter] {
            if (quitter)
                item("mnu_quitter")->trigger();
            window->close();
        });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(param("DOUBLEPASSE"), quitter ? "NON" : "OUI");
        EXPECT_EQ(param("SENS"), quitter ? "(absent)" : "HORAIRE");
        EXPECT_EQ(param("SENS_LECTURE"), quitter ? "(absent)" : "DROITE_GAUCHE");
        EXPECT_EQ(param("LIVRE_CBZ"), quitter ? "(absent)" : "OUI");
        EXPECT_EQ(param("DETECTION"), quitter ? "(absent)" : "CADRES");
        EXPECT_EQ(param("BANDE_VERTICALE"), quitter ? "(absent)" : "NON");
    }
}

// The about box shows the version, the icon and the system information or a word on its absence.
TEST_F(MainWindowTest, AboutBoxAndJpegSettingsOpenWithoutBlocking) {
    openWindow();
    item("mnu_apropos")->trigger();
    item("mnu_paramJPG")->trigger();
    auto* about = window->findChild<frmAbout*>();
    auto* jpeg = window->findChild<fSaveJPG*>();
    ASSERT_TRUE(about && jpeg);
    EXPECT_TRUE(about->isVisible() && jpeg->isVisible());
    EXPECT_FALSE(about->isModal() || jpeg->isModal());
    // Asked again, each comes to the front instead of opening twice.
    item("mnu_apropos")->trigger();
    item("mnu_paramJPG")->trigger();
    EXPECT_EQ(window->findChildren<frmAbout*>().size() + window->findChildren<fSaveJPG*>().size(),
              2);
    // The quality bar, first in the tab order, takes the keyboard.
    jpeg->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(jpeg));
    EXPECT_EQ(jpeg->focusWidget(), jpeg->hscQuality);
    QTest::keyClick(jpeg->hscQuality, Qt::Key_Right);
    EXPECT_EQ(jpeg->lblQuality->text(), "Quality: 76");
    QTest::keyClick(jpeg->hscQuality, Qt::Key_Tab);
    EXPECT_EQ(jpeg->focusWidget(), jpeg->cboSubSample);

    EXPECT_FALSE(about->picIcon->pixmap().isNull()); // the icon is in the program's resources
    const auto shownMessage = [about]() -> QMessageBox* {
        for (QMessageBox* box : about->findChildren<QMessageBox*>())
            if (box->isVisible())
                return box;
        return nullptr;
    };
    about->cmdSysInfo->click();
    ASSERT_NE(shownMessage(), nullptr);
    EXPECT_TRUE(shownMessage()->text().contains(QSysInfo::currentCpuArchitecture()));
    shownMessage()->button(QMessageBox::Ok)->click();
    EXPECT_EQ(shownMessage(), nullptr);
    about->setSourceInformations([] { return QString(); });
    about->cmdSysInfo->click();
    ASSERT_NE(shownMessage(), nullptr);
    EXPECT_EQ(shownMessage()->buttons().size(), 1);
    shownMessage()->button(QMessageBox::Ok)->click();
    about->cmdOK->click();
    EXPECT_FALSE(about->isVisible());
}

// Receives the file links that the program asks the desktop to open.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls += url; }
};

// F1 and the about box open the data folders' guide in the program's language, else the French.
TEST_F(MainWindowTest, F1AndTheAboutBoxOpenTheUserGuide) {
    const QDir program = QFileInfo(QStringLiteral(VANTOLA_BINARY)).dir();
    EXPECT_TRUE(program.exists("notice.htm") && program.exists("notice_en.htm"));
    const QByteArray savedDataDirs = qgetenv("XDG_DATA_DIRS");
    TempFolder data;
    qputenv("XDG_DATA_DIRS", QFile::encodeName(data.path()));
    OpenedLinks links;
    QDesktopServices::setUrlHandler("file", &links, "open");
    const ProgramTranslators english(ProgramLanguage::English);
    openWindow();
    QAction* help = item("mnu_aide");
    help->trigger();
    ASSERT_EQ(messageTitles(), QStringList{"USER GUIDE NOT FOUND"});
    EXPECT_TRUE(messages[0].text.contains(data.path() + "vantola"));

    const QString french = data.file("vantola/notice.htm"),
                  inEnglish = data.file("vantola/notice_en.htm");
    ASSERT_TRUE(QDir(data.path()).mkdir("vantola") && writeFileBytes(french, "<html/>"));
    help->trigger();
    ASSERT_TRUE(writeFileBytes(inEnglish, "<html/>"));
    item("mnu_apropos")->trigger();
    emit window->findChild<frmAbout*>()->lblDisclaimer->linkActivated("notice.htm");
    EXPECT_EQ(links.urls,
              (QList<QUrl>{QUrl::fromLocalFile(french), QUrl::fromLocalFile(inEnglish)}));
    EXPECT_EQ(messages.size(), 1u);
    QDesktopServices::unsetUrlHandler("file");
    qputenv("XDG_DATA_DIRS", savedDataDirs);
}

// LANGUE picks the language, else the system's; a section named by LANGUE still replaces
// captions over the translation, and Qt's own texts follow the same language.
TEST_F(MainWindowTest, LanguageComesFromLangueElseFromTheSystem) {
    const QLocale french(QLocale::French, QLocale::France);
    const struct {
        QByteArray ini;
        QLocale system;
        ProgramLanguage language;
    } rows[] = {
        {"[PARAM]\r\nLANGUE=ENGLISH\r\n", french, ProgramLanguage::English},
        {"[PARAM]\r\nLANGUE=FRANCAIS\r\n", QLocale(QLocale::English), ProgramLanguage::French},
        {"", french, ProgramLanguage::French},
        {"", QLocale(QLocale::German), ProgramLanguage::English},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.ini.toStdString() + row.system.name().toStdString());
        writeParamIni(row.ini);
        EXPECT_EQ(chooseProgramLanguage(home.file("param.ini"), row.system), row.language);
    }

    writeParamIni("[PARAM]\r\nLANGUE=ENGLISH\r\n[ENGLISH]\r\nT9=&Open a page\r\nT1=Cuts:\r\n");
    {
        const ProgramTranslators english(ProgramLanguage::English);
        openWindow();
        EXPECT_EQ(window->menu("mnu_Fichier")->title(), "&File");
        EXPECT_EQ(item("mnu_ouvririmg")->text(), "&Open a page");
        item("mnu_blanc")->trigger();
        EXPECT_EQ(asked.value(0), "WHITE LEVEL SETTING");
        const ReviewCaptions review = readReviewCaptions(state);
        EXPECT_EQ(review.controls[0] + review.controls[1], "Original picture:Cuts:");
        window.reset();
    }
    writeParamIni("");
    const ProgramTranslators system(chooseProgramLanguage(home.file("param.ini"), french));
    openWindow();
    EXPECT_EQ(window->menu("mnu_Fichier")->title(), "&Fichier");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
}

TEST_F(MainWindowTest, WhiteLevelPromptKeepsOnlyNumbers) {
    openWindow();
    nextAnswer = "1500";
    item("mnu_blanc")->trigger();
    EXPECT_EQ(asked.value(2), "1450"); // the level in use is offered
    // Letters, nothing and Cancel change nothing; blanks go, halves go to the even neighbour.
    const std::pair<std::optional<QString>, int> answers[] = {
        {"abc", 1500}, {QString(), 1500}, {std::nullopt, 1500}, {" 1600,5 ", 1600}};
    for (const auto& [answer, level] : answers) {
        SCOPED_TRACE(answer.value_or("(cancel)").toStdString());
        nextAnswer = answer;
        item("mnu_blanc")->trigger();
        EXPECT_EQ(asked.value(2), "1500");
        EXPECT_EQ(state.lNiveauBlanc, level);
        EXPECT_EQ(param("NIVEAU_DE_BLANC"), QString::number(level));
    }
    // A param.ini that cannot be written: the level applies all the same, and the user is told.
    EXPECT_TRUE(messages.empty());
    state.sFichierParam = home.file("absent/param.ini");
    nextAnswer = "1550";
    item("mnu_blanc")->trigger();
    EXPECT_EQ(state.lNiveauBlanc, 1550);
    EXPECT_EQ(messageTitles(), QStringList{"PARAMETRAGE DU NIVEAU DE BLANC"});
}

// The start hint until a page is shown; the desktop's keys for open, pause and quit.
TEST_F(MainWindowTest, StartHintAndKeys) {
    openWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(window->viewer()->startHint()->isVisible());
    nextImage = savePage(plainPage(40, 30), home.path(), "page", PageFormat::Png);
    QTest::keyClick(window.get(), Qt::Key_O, Qt::ControlModifier);
    EXPECT_TRUE(window->viewer()->PicBIG()->isVisible());
    EXPECT_FALSE(window->viewer()->startHint()->isVisible());
    QTest::keyClick(window.get(), Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(window->windowTitle(), "Vantola v0.5 (en pause)");
    QTest::keyClick(window.get(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(quitCalls, 1);
}

// Three pages cut from the menus while a timer, firing at each yield of the job, watches.
class MainWindowJobTest : public MainWindowTest {
protected:
    void SetUp() override {
        QDir().mkpath(pages);
        PageSpec spec{.width = 500, .height = 700, .panelsPerTier = {}, .margin = 30};
        for (spec.seed = 1; spec.seed <= 3; ++spec.seed)
            savePage(generatePage(spec).image, pages, QStringLiteral("page%1").arg(spec.seed),
                     PageFormat::Jpeg);
        openWindow();
        nextImage = pages + "page2.jpg";
    }

    void runWhileWatching(const char* command, const std::function<void()>& watch) {
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (window->isJobRunning())
                watch();
        });
        timer.start();
        item(command)->trigger();
    }

    QStringList piecesWritten() const { return QDir(pages + "VANTOLA").entryList({"*.jpg"}); }

    QString pages = home.path() + "pages/";
};

TEST_F(MainWindowJobTest, FolderJobMovesBothBarsAndHoldsOnPause) {
    std::set<int> jobValues, pageValues;
    bool commandsDisabled = true, refusedSecondJob = false, heldStill = true, pauseShown = true;
    const QLabel* pauseLabel = window->findChild<QLabel*>("pauseLabel");
    int ticks = 0, pausedAt = -1, heldPage = -1, heldJob = -1;
    qint32 heldPiece = -1;

    runWhileWatching("mnu_ouvrirrep", [&] {
        ++ticks;
        const int job = window->pgbTraitement()->shownValue();
        const int page = window->pgbPage()->shownValue();
        jobValues.insert(job);
        pageValues.insert(page);
        commandsDisabled = commandsDisabled && !item("mnu_ouvrirrep")->isEnabled() &&
                           !item("mnu_ouvririmage")->isEnabled();
        if (!refusedSecondJob && ticks == 5)
            refusedSecondJob = !window->runJob(nextImage, QString(), 0);
        // Pause while the first page's rows are read, hold for 40 passes, then release.
        if (pausedAt < 0 && page > 0 && page < 75) {
            item("mnu_pause")->trigger();
            pausedAt = ticks;
        } else if (pausedAt > 0 && ticks == pausedAt + 2) {
            heldPage = page;
            heldJob = job;
            heldPiece = window->job().lNumDiapo;
        } else if (pausedAt > 0 && ticks > pausedAt + 2 && ticks <= pausedAt + 40) {
            heldStill = heldStill && page == heldPage && job == heldJob &&
                        window->job().lNumDiapo == heldPiece;
            pauseShown = pauseShown && pauseLabel->isVisible() &&
                         window->windowTitle().endsWith(" (en pause)");
            if (ticks == pausedAt + 40)
                item("mnu_pause")->trigger();
        }
    });

    EXPECT_FALSE(window->isJobRunning());
    EXPECT_GT(pausedAt, 0);
    EXPECT_TRUE(heldStill);
    EXPECT_TRUE(pauseShown);
    EXPECT_FALSE(pauseLabel->isVisible());
    EXPECT_FALSE(item("mnu_pause")->isChecked());
    EXPECT_TRUE(commandsDisabled);
    EXPECT_TRUE(refusedSecondJob);
    EXPECT_TRUE(item("mnu_ouvrirrep")->isEnabled());

    // The job bar shows 0, 33, 67 for three pages; the page bar runs through the rows.
    EXPECT_TRUE(jobValues.count(0) && jobValues.count(33) && jobValues.count(67));
    EXPECT_GT(*pageValues.rbegin(), 74);
    EXPECT_GT(pageValues.size(), 10u);
    EXPECT_EQ(window->windowTitle(), "Découpage de BD - 2/3");
    EXPECT_EQ(window->pgbTraitement()->shownValue(), 0);
    EXPECT_EQ(window->pgbPage()->shownValue(), 0);
    EXPECT_TRUE(window->pgbTraitement()->shownText().isEmpty());
}

// Missing folders and refused jobs end with their reason, never with a job done's message.
TEST_F(MainWindowJobTest, MissingFoldersAndRefusedJobsReportNoSuccess) {
    nextImage = home.path() + "absent/page1.jpg";
    for (const char* command : {"mnu_ouvrirrep", "mnu_ouvririmage", "mnu_compare"})
        item(command)->trigger();
    nextAnswer = "300000";
    item("mnu_blanc")->trigger();
    EXPECT_FALSE(window->runJob(pages + "page1.jpg", "page1.jpg", 0));

    EXPECT_EQ(messageTitles(), QStringList({"DOSSIER INTROUVABLE", "DOSSIER INTROUVABLE",
                                            "DOSSIER INTROUVABLE", "DECOUPAGE IMPOSSIBLE"}));
    EXPECT_FALSE(QDir(home.path() + "absent").exists());
    EXPECT_TRUE(piecesWritten().isEmpty());
}

// Dropped paths start the menu's jobs (at the white level just chosen), anything else refused;
// the folder is remembered for the dialogs.
TEST_F(MainWindowJobTest, DropsStartTheJobsOfTheMenus) {
    nextAnswer = "1500";
    item("mnu_blanc")->trigger();
    window->hooks().confirm = [this](const QString& title, const QString& text) {
        messages.push_back({title, text});
        return false;
    };
    ASSERT_TRUE(writeFileBytes(pages + "notes.txt", "x"));
    ASSERT_TRUE(writeFileBytes(pages + "book.pdf", "x"));
    struct Case {
        QString dropped;
        QStringList cutPages, titles;
    };
    const Case cases[] = {
        {pages + "page2.jpg", {"page2"}, {"DECOUPAGE TERMINE"}},
        {pages.chopped(1), {"page1", "page2", "page3"}, {"DECOUPAGE TERMINE"}},
        {pages + "book.pdf", {}, {"CHARGEMENT"}},
        {pages + "notes.txt", {}, {"DEPOT IMPOSSIBLE"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dropped.toStdString());
        QDir(pages + "VANTOLA").removeRecursively();
        messages.clear();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(c.dropped)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &drop);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 20000));
        EXPECT_EQ(messageTitles(), c.titles);
        std::set<QString> cut;
        for (const QString& piece : piecesWritten())
            cut.insert(piece.section('.', 0, 0));
        EXPECT_EQ(cut, std::set<QString>(c.cutPages.begin(), c.cutPages.end()));
        EXPECT_EQ(readFileBytes(pages + "VANTOLA/log.txt").contains("Niveau du blanc : 1500\r\n"),
                  !c.cutPages.isEmpty());
    }
    EXPECT_EQ(param("DERNIER_DOSSIER"), pages);
}

// Closing (paused) or "&Quitter" stops the job, silently; only the close saves the switches.
TEST_F(MainWindowJobTest, ClosingOrQuittingDuringAJobStopsIt) {
    for (const bool quitter : {true, false}) {
        SCOPED_TRACE(quitter ? "quitter" : "close");
        openWindow();
        quitCalls = 0;
        item("mnu_doublepasse")->trigger();
        bool asked = false;
        runWhileWatching("mnu_ouvrirrep", [&] {
            if (asked || window->pgbPage()->shownValue() <= 10)
                return;
            asked = true;
            if (quitter) {
                item("mnu_quitter")->trigger();
            } else {
                item("mnu_pause")->trigger();
                window->close();
            }
        });
        EXPECT_TRUE(asked);
        EXPECT_FALSE(window->isJobRunning());
        EXPECT_EQ(quitCalls, 1);
        EXPECT_EQ(window->isVisible(), quitter);
        EXPECT_EQ(param("DOUBLEPASSE"), quitter ? "(absent)" : "OUI");
        EXPECT_TRUE(messages.empty());
        EXPECT_FALSE(QDir(pages + "VANTOLA2").exists());
    }
}

void sendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(position), widget->mapToGlobal(QPointF(position)), button,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// A 200 x 150 white page with black rows 50 to 59, opened through "&Ouvrir une image".
class PageViewerTest : public MainWindowTest {
protected:
    void SetUp() override {
        openWindow();
        QImage page = plainPage(200, 150);
        QPainter(&page).fillRect(0, 50, 200, 10, Qt::black);
        path = savePage(page, home.path(), "page", PageFormat::Png);
        nextImage = path;
        item("mnu_ouvririmg")->trigger();
        picture = window->viewer()->PictureFROM();
    }

    void click(QPoint at) { QTest::mouseClick(picture, Qt::LeftButton, Qt::NoModifier, at); }

    void drag(QPoint from, QPoint to) {
        sendMouse(picture, QEvent::MouseButtonPress, from, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
        sendMouse(picture, QEvent::MouseMove, to, Qt::LeftButton);
        drawnWhileDragging = picture->drawings().size();
        sendMouse(picture, QEvent::MouseButtonRelease, to, Qt::NoButton);
    }

    QString path;
    PagePicture* picture = nullptr;
    std::size_t drawnWhileDragging = 0;
};

TEST_F(PageViewerTest, OpeningShowsThePageAndEnablesPicking) {
    EXPECT_EQ(picture->size(), QSize(200, 150));
    EXPECT_EQ(window->viewer()->LblInfo()->text(), path + "        Largeur: 200 / Longueur:150");
    EXPECT_TRUE(item("mnu_entete")->isEnabled() && item("mnu_pied")->isEnabled());
    // Smaller than the frame, the page still shows both bars.
    EXPECT_TRUE(window->viewer()->verticalBar()->isVisible() &&
                window->viewer()->horizontalBar()->isVisible());

    // A cancelled dialog and a file that is no picture leave the page as it was.
    nextImage.clear();
    item("mnu_ouvririmg")->trigger();
    writeFileBytes(home.file("broken.jpg"), "not a picture");
    nextImage = home.file("broken.jpg");
    item("mnu_ouvririmg")->trigger();
    EXPECT_EQ(picture->size(), QSize(200, 150));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].text.contains("481"));
}

// A click forgets header and footer. Dragging either way over rows 45..65, columns 10..20:
// 11 white rows of 11 pixels adding 17 each, 11 * 11 * 17 * 100 / 21 / 11 rounded = 890.
TEST_F(PageViewerTest, ClicksAndDragsMeasureTheWhiteOfTheirZone) {
    window->job().lLigneEntete = 12;
    window->job().lLignePied = 140;
    click(QPoint(100, 20));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "INFO");
    EXPECT_EQ(messages[0].text, QStringLiteral("Vous avez cliquer du point de couleur :1678\r\n"
                                               "X:100 /Y:20\r\n"
                                               "jusqu'au point de couleur 1678\r\n"
                                               "X:100 /Y:20\r\n\r\n"
                                               "Niveau de blanc de la zone:1700"));
    EXPECT_TRUE(window->job().lLigneEntete == 0 && window->job().lLignePied == 0);
    EXPECT_EQ(window->viewer()->LblInfo()->text(),
              "        Largeur: 200 / Longueur:150 -- Entete:0/ Pied: 0");
    EXPECT_EQ(picture->pressPoint(), QPoint(0, 0));
    messages.clear();
    drag(QPoint(10, 45), QPoint(20, 65));
    EXPECT_EQ(drawnWhileDragging, 2u);
    EXPECT_TRUE(picture->drawings().empty());
    drag(QPoint(20, 65), QPoint(10, 45));
    ASSERT_EQ(messages.size(), 2u);
    for (const ShownMessage& message : messages)
        EXPECT_TRUE(message.text.endsWith("Niveau de blanc de la zone:890"));
    EXPECT_TRUE(messages[0].text.contains(":1678\r\nX:10 /Y:45\r\n"));

    // A press on row 0 draws no rubber band, but the release still measures from it.
    drag(QPoint(30, 0), QPoint(40, 5));
    EXPECT_EQ(drawnWhileDragging, 0u);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_TRUE(messages[2].text.contains("X:30 /Y:0"));
    EXPECT_TRUE(messages[2].text.endsWith("zone:1700"));
}

TEST_F(PageViewerTest, HeaderAndFooterPicking) {
    item("mnu_entete")->trigger();
    ASSERT_EQ(messages.size(), 1u);
    click(QPoint(30, 40));
    EXPECT_EQ(window->job().lLigneEntete, 40);
    EXPECT_EQ(messages.back().title, "ENTETE DEFINIE SUR LA LIGNE 40");

    item("mnu_pied")->trigger();
    EXPECT_TRUE(window->job().switches.footerEnabled);
    click(QPoint(30, 120));
    EXPECT_EQ(window->job().lLignePied, 120);
    EXPECT_EQ(window->job().lLigneEntete, 40);
    EXPECT_TRUE(messages.back().text.endsWith("zone:1700"));
    EXPECT_TRUE(window->viewer()->LblInfo()->text().endsWith(" -- Entete:40/ Pied: 120"));

    // Unchecking the header forgets its row and goes back to measuring; the footer stays.
    item("mnu_entete")->trigger();
    EXPECT_FALSE(item("mnu_entete")->isChecked());
    EXPECT_EQ(window->job().lLigneEntete, 0);
    EXPECT_EQ(window->job().lLignePied, 120);
    EXPECT_EQ(window->viewer()->iModeClic(), kClickMeasures);
    // Opening a page goes back to measuring without touching the check marks.
    item("mnu_pied")->trigger();
    item("mnu_pied")->trigger();
    item("mnu_ouvririmg")->trigger();
    EXPECT_EQ(window->viewer()->iModeClic(), kClickMeasures);
    EXPECT_TRUE(item("mnu_pied")->isChecked());
}

TEST_F(PageViewerTest, PagesBeyondSixteenBitScrollValuesScrollToTheirEnd) {
    PageViewer* viewer = window->viewer();
    const QSize frame = viewer->PicBIG()->size();
    for (const bool tall : {true, false}) { // the tall page's scroll is undone by the wide one
        viewer->showJobPage(QString(), tall ? plainPage(20, 400000) : plainPage(400000, 20));
        QScrollBar* bar = tall ? viewer->verticalBar() : viewer->horizontalBar();
        const int most = bar->maximum();
        EXPECT_GT(most, 32767);
        EXPECT_TRUE(bar->isVisible());
        bar->setValue(most);
        EXPECT_EQ(picture->pos(), tall ? QPoint(0, -10 * most) : QPoint(-10 * most, 0));
        const QPoint end = picture->geometry().bottomRight() + QPoint(1, 1);
        EXPECT_NEAR(tall ? end.y() : end.x(), tall ? frame.height() : frame.width(), 5);
    }
}

// The dialog alone, on the fixture's program folder (no main window).
class JpegSettingsDialog : public MainWindowTest {
protected:
    void SetUp() override { state.sFichierParam = home.file("param.ini"); }

    std::unique_ptr<fSaveJPG> open() {
        auto dialog = std::make_unique<fSaveJPG>(state);
        dialog->show();
        return dialog;
    }

    // Component count and first sampling factors in the frame a copy of the encoder writes.
    static std::tuple<int, int, int> sampling(const cJpeg* jpeg) {
        cJpeg copy = *jpeg;
        cImage picture;
        EXPECT_TRUE(picture.Create(8, 8, 24));
        EXPECT_EQ(copy.SampleHDC(picture.hDC(), 8, 8), 0);
        const QByteArray file = copy.FileBytes();
        const QByteArray frame = file.mid(file.indexOf("\xFF\xC0") + 4);
        return {frame.at(5), frame.at(7) >> 4, frame.at(7) & 15};
    }
};

// No param.ini, saved settings, and refused ones: the defaults and a message box.
TEST_F(JpegSettingsDialog, OpensOnTheSavedSettingsOrTheDefaults) {
    struct Case {
        QByteArray keys;
        const char *sampling, *quality;
        bool grey;
        int errors;
    };
    const Case cases[] = {
        {QByteArray(), "2:2  [Default]", "Quality: 75", false, 0},
        {"JPG_SAMPLE_INDEX=7\r\nJPG_QUALITY=40\r\nJPG_GREYSCALE=1\r\n", "3:2", "Quality: 40 ???",
         true, 0},
        {"JPG_SAMPLE_INDEX=16\r\nJPG_QUALITY=abc\r\nJPG_GREYSCALE=oui\r\n", "2:2  [Default]",
         "Quality: 75", false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys.toStdString());
        if (!c.keys.isEmpty())
            writeParamIni("[PARAM]\r\n" + c.keys);
        const auto dialog = open();
        EXPECT_EQ(dialog->cboSubSample->currentText(), QLatin1String(c.sampling));
        EXPECT_EQ(dialog->lblQuality->text(), QLatin1String(c.quality));
        EXPECT_EQ(dialog->chkGreyscale->isChecked(), c.grey);
        EXPECT_EQ(dialog->cboSubSample->isEnabled(), !c.grey);
        EXPECT_EQ(dialog->encoder()->Quality(), dialog->hscQuality->value());
        EXPECT_EQ(sampling(dialog->encoder()), c.grey ? std::tuple(1, 1, 1) : std::tuple(3, 2, 2));
        ASSERT_EQ(dialog->loadErrors().size(), c.errors);
        EXPECT_TRUE(c.errors == 0 || dialog->loadErrors()[1].contains(u"« abc » de JPG_QUALITY"));
        const auto* box = dialog->findChild<QMessageBox*>();
        EXPECT_EQ(box && box->isVisible(), c.errors > 0);
    }
}

TEST_F(JpegSettingsDialog, QualityLabelAndGreyscaleFollowTheControls) {
    const auto dialog = open();
    const std::pair<int, const char*> marks[] = {
        {49, "Quality: 49 ???"}, {50, "Quality: 50"}, {95, "Quality: 95"}, {96, "Quality: 96 ???"}};
    for (const auto& [value, text] : marks) {
        dialog->hscQuality->setValue(value);
        EXPECT_EQ(dialog->lblQuality->text(), QLatin1String(text));
        EXPECT_EQ(dialog->encoder()->Quality(), value);
    }

    dialog->cboSubSample->setCurrentIndex(10); // "4:1"
    for (const bool grey : {true, false}) {    // back to the chosen sampling when unchecked
        dialog->chkGreyscale->click();
        EXPECT_EQ(dialog->cboSubSample->isEnabled(), !grey);
        EXPECT_EQ(sampling(dialog->encoder()), grey ? std::tuple(1, 1, 1) : std::tuple(3, 4, 1));
    }
}

TEST_F(JpegSettingsDialog, AnnulerWritesNothingOkWritesTheFourKeysInOrderOrStaysOpen) {
    writeParamIni("[PARAM]\r\nLANGUE=FRANCAIS\r\n");
    const QByteArray before = readFileBytes(state.sFichierParam);
    for (const int button : {0, 1}) {
        SCOPED_TRACE(button == 0 ? "Annuler" : "OK");
        const auto dialog = open();
        dialog->cboSubSample->setCurrentIndex(7);
        dialog->hscQuality->setValue(60);
        dialog->cmdFinish[button]->click();
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->encoder(), nullptr);
        EXPECT_TRUE(button == 1 || readFileBytes(state.sFichierParam) == before);
    }
    EXPECT_EQ(readFileBytes(state.sFichierParam),
              QByteArray("[PARAM]\r\nLANGUE=FRANCAIS\r\nJPG_SAMPLE=3:2\r\nJPG_SAMPLE_INDEX=7\r\n"
                         "JPG_QUALITY=60\r\nJPG_GREYSCALE=0\r\n"));

    // An OK that cannot write keeps the window open, and says so.
    state.sFichierParam = home.file("absent/param.ini");
    const auto dialog = open();
    dialog->cmdFinish[1]->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->encoder(), nullptr);
    const auto* box = dialog->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("n'ont pas pu être enregistrés"));
}

const QColor kBackground(200, 200, 200);
// The red bar drawn over the grey background: not-XOR of the two.
const QColor kBar(255 - (255 ^ 200), 255 - (0 ^ 200), 255 - (0 ^ 200));

// Over 100 the label is inverted under the bar, not hidden (white); a label pushes the bar right.
TEST(ProgressPanel, BarRunsFromNothingToTheWholePanelRightOfItsLabel) {
    QStatusBar statusBar;
    Pgb2Panel panel;
    panel.resize(200, 20);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, kBackground);
    panel.setPalette(palette);
    panel.setProgressColor(QColor(255, 0, 0));
    panel.setTextColor(QColor(0, 0, 255));
    panel.DrawPanel(50, "Page");
    EXPECT_TRUE(panel.picture().isNull()); // nothing is drawn before Initialize
    panel.Initialize(&statusBar);
    const auto at = [&](int x, int y) { return panel.picture().pixelColor(x, y); };
    const auto count = [&](QRect area, const std::function<bool(QColor)>& test) {
        int found = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            for (int y = area.top(); y <= area.bottom(); ++y)
                found += test(at(x, y));
        return found;
    };

    for (const int value : {0, -5}) {
        panel.DrawPanel(value, QString());
        EXPECT_EQ(panel.shownValue(), value);
        EXPECT_EQ(at(0, 0), kBackground);
        EXPECT_EQ(at(199, 0), kBackground);
    }
    panel.DrawPanel(150, QString());
    EXPECT_EQ(panel.shownValue(), 100);
    EXPECT_EQ(at(0, 0), kBar);
    EXPECT_EQ(at(199, 0), kBar);
    EXPECT_GT(count({60, 0, 80, 20}, [](QColor c) { return c.green() > 150; }), 15);

    panel.DrawPanel(100, "1er passe de page1.jpg");
    EXPECT_EQ(at(0, 0), kBackground);
    EXPECT_EQ(at(199, 0), kBar);
    EXPECT_GT(count({0, 0, 40, 20}, [](QColor c) { return c.blue() > 150 && c.red() < 100; }), 0);
    // At 50%, half the panel right of the label.
    panel.DrawPanel(50, "1er passe de page1.jpg");
    int barStart = 0;
    while (barStart < 200 && at(barStart, 0) != kBar)
        ++barStart;
    const int barLength =
        count({barStart, 0, 200 - barStart, 1}, [](QColor c) { return c == kBar; });
    EXPECT_GT(barStart, 40);
    EXPECT_NEAR(barLength, (200 - barStart) / 2.0, 1.0);
}

const QChar kNul(u'\0');

// NUL-separated descriptions and patterns become Qt's name filters matched in any case.
TEST(CommonDialogs, FilterListsBecomeCaseBlindNameFilters) {
    QString filter = AjouterFiltre(QString(), "JPG Files (*.JPG)", "*.JPG;*.jpeg");
    filter = AjouterFiltre(filter, "Tout");
    EXPECT_EQ(qtNameFilters(filter),
              (QStringList{"JPG Files (*.JPG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])", "Tout (*)"}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
    EXPECT_EQ(CouperAuNul(QStringLiteral("a.jpg") + kNul + "reste"), "a.jpg");
}

// JPEG files shown in any case, sorted as the language sorts (numbers by value, accents by letter).
TEST(CommonDialogs, PictureDialogShowsJpegFilesInAnyCase) {
    TempFolder folder;
    for (const char* name :
         {"PAGE.JPG", "page10.jpg", "page2.jpg", "Page3.Jpg", "pagé1.jpg", "notes.txt", "scan.gif"})
        ASSERT_TRUE(writeFileBytes(folder.file(QString::fromUtf8(name)), "x"));
    ModCommonDialog module;
    const auto dialog = module.buildImageDialog();
    dialog->setDirectory(folder.path());
    dialog->show();
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex racine = model->index(dialog->directory().absolutePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(racine) >= 5; }, 5000));
    QTest::qWait(100); // lets anything the filter failed to hide arrive, and the sort run
    QStringList visibles;
    for (int row = 0; row < model->rowCount(racine); ++row)
        visibles += model->index(row, 0, racine).data().toString();
    EXPECT_EQ(visibles,
              (QStringList{"PAGE.JPG", "pagé1.jpg", "page2.jpg", "Page3.Jpg", "page10.jpg"}));
    dialog->hide();
}

// The dialogs open where the user last went (DERNIER_DOSSIER), else in the current folder.
TEST(CommonDialogs, ChosenPathCancelAndFlags) {
    TempFolder folder, home;
    ModCommonDialog module;
    module.setPlacesFile(home.file("param.ini"));
    EXPECT_EQ(module.buildImageDialog()->directory(), QDir::current());
    module.setExecution([&](QFileDialog& dialog) {
        dialog.selectFile(folder.file("PAGE.JPG"));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(module.ChoisirImage(), folder.file("PAGE.JPG"));
    EXPECT_EQ(module.lastPath(), folder.file("PAGE.JPG"));
    EXPECT_EQ(module.buildOutputDialog()->directory(), QDir(folder.path()));

    FileRequest request{.flags = kOfnHideReadOnly, .defaultExtension = "png"};
    EXPECT_FALSE(module.DialogueFichier(request).isEmpty());
    EXPECT_EQ(request.flags, kOfnHideReadOnly | kOfnExtensionDifferent);

    module.setExecution([](QFileDialog&) { return int(QDialog::Rejected); });
    request.flags = kOfnHideReadOnly;
    EXPECT_EQ(module.DialogueFichier(request), QString());
    EXPECT_EQ(request.flags, kOfnHideReadOnly);
    EXPECT_EQ(module.ChoisirSortie(), QString());
    EXPECT_EQ(module.lastPath(), QString());
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    EXPECT_EQ(module.buildImageDialog()->directory(), QDir::current());
}

TEST(CommonDialogs, OutputDialogTakesANewNameThroughItsModalLoop) {
    TempFolder folder;
    const QString nouveau = folder.file("nouvelle.jpg");
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->nameFilters().size(), 1);
        dialog->selectFile(nouveau);
        auto* buttons = dialog->findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        buttons->button(QDialogButtonBox::Open)->click();
    });
    ModCommonDialog module;
    EXPECT_EQ(module.ChoisirSortie(), nouveau);
}

class JpegCommand : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(picture.save(input));
        ASSERT_TRUE(writeFileBytes(output, "old"));
    }
    ProcessResult run(const QStringList& options) const {
        return runVantola(QStringList{"jpeg", input, output, "--home", folder.path()} + options);
    }

    TempFolder folder;
    QString input = folder.file("in.png");
    QString output = folder.file("out.jpg");
    QImage picture = redOnBlue(64, 48);
};

TEST_F(JpegCommand, EncodesAndReplacesTheOutputTakingLeftOutSettingsFromParamIni) {
    QFile::setPermissions(output, QFileDevice::ReadOwner);
    const ProcessResult best = run({"--quality", "100", "--sampling", "1:1"});
    EXPECT_EQ(best.status, 0) << qPrintable(best.err);
    const DecodedJpeg decoded = decodeWithDjpeg(output);
    EXPECT_EQ(decoded.status, 0);
    EXPECT_TRUE(decoded.errors.isEmpty());
    EXPECT_LE(maxSampleDifference(decoded.picture, picture), 12);

    const ProcessResult grey = run({"--grey"});
    EXPECT_EQ(grey.status, 0) << qPrintable(grey.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    ASSERT_TRUE(writeFileBytes(output, "old"));
    ASSERT_TRUE(writeFileBytes(folder.file("param.ini"), "[PARAM]\r\nJPG_GREYSCALE=1\r\n"));
    const ProcessResult saved = run({});
    EXPECT_EQ(saved.status, 0) << qPrintable(saved.err);
    EXPECT_EQ(decodeWithDjpeg(output).picture.format(), QImage::Format_Grayscale8);

    // An output name at the file system's limit of 255 bytes.
    const QString longest = folder.file(QString(251, QLatin1Char('n')) + ".jpg");
    EXPECT_EQ(runVantola({"jpeg", input, longest, "--home", folder.path()}).status, 0);
    EXPECT_EQ(decodeWithDjpeg(longest).status, 0);
}

// Help, version and an unknown command; bad uses of jpeg are refused and leave the output alone.
TEST_F(JpegCommand, HelpVersionAndRefusedCommands) {
    const QString broken = folder.file("broken.png");
    ASSERT_TRUE(writeFileBytes(broken, "not a picture"));
    const std::tuple<QStringList, int, const char*> cases[] = {
        {{"--help"}, 0, "vantola cut PATH..."},
        {{"--version"}, 0, "vantola 0.5.0\n"},
        {{"frobnicate"}, 2, "frobnicate"},
        {{"jpeg", input, output, "--sampling", "5:1"}, 2, "jpeg"},
        {{"jpeg", input, output, "--quality", "high"}, 2, "jpeg"},
        {{"jpeg", input, output, "--level", "1400"}, 2, "jpeg"},
        {{"jpeg", input}, 2, "jpeg"},
        {{"jpeg", input, output, "--quality=90"}, 2, "unknown option --quality=90"},
        {{"jpeg", input, output, "--frob", "--quality", "x"}, 2, "unknown option --frob"},
        {{"jpeg", broken, output}, 2, "Invalid picture"},
    };
    for (const auto& [arguments, status, shown] : cases) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const QStringList home{"--home", folder.path()};
        const ProcessResult result =
            runVantola(arguments + (arguments[0] == "jpeg" ? home : QStringList{}));
        EXPECT_EQ(result.status, status);
        EXPECT_TRUE((status ? result.err : result.out).contains(QString::fromUtf8(shown)))
            << qPrintable(result.out + result.err);
    }
    EXPECT_EQ(readFileBytes(output), QByteArray("old"));
}

} // namespace
} // namespace vantola::test

#include "app_test.moc"
