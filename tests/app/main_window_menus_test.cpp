#include "app/about_box.h"
#include "app/jpeg_settings_dialog.h"
#include "app/progress_panel.h"
#include "main_window_test_fixture.h"
#include "version.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QTimer>

namespace vantola::test {
namespace {

// Closing saves the switches (checked under a real event loop below); opening writes nothing.
TEST_F(MainWindowTest, StartsWithDefaultsWithoutParamIniAndTheJobFollowsTheSwitches) {
    openWindow();
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    for (const char* unchecked : {"mnu_horaire", "mnu_antihoraire", "mnu_doublepasse", "mnu_entete",
                                  "mnu_pied", "mnu_pause"})
        EXPECT_FALSE(item(unchecked)->isChecked()) << unchecked;
    EXPECT_TRUE(item("mnu_couperbord")->isChecked());
    for (const char* disabled : {"mnu_couperbord", "mnu_entete", "mnu_pied"})
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

TEST_F(MainWindowTest, ReadsSwitchesLevelAndCaptionsFromParamIni) {
    writeParamIni("[PARAM]\r\nLANGUE=ENGLISH\r\nSENS=ANTIHORAIRE\r\nDOUBLEPASSE=OUI\r\n"
                  "NIVEAU_DE_BLANC=1300\r\n[ENGLISH]\r\nT8=&File\r\n"
                  "T26=&Double pass\r\n");
    openWindow();
    EXPECT_EQ(state.lNiveauBlanc, 1300);
    EXPECT_TRUE(item("mnu_antihoraire")->isChecked() && item("mnu_doublepasse")->isChecked());
    EXPECT_FALSE(item("mnu_horaire")->isChecked());
    EXPECT_TRUE(window->job().switches.doublePass);
    EXPECT_EQ(window->job().switches.rotation, Rotation::Anticlockwise);
    EXPECT_EQ(window->menu("mnu_Fichier")->title(), "&File");
    EXPECT_EQ(item("mnu_doublepasse")->text(), "&Double pass");
    // Keys the section lacks, and the items without a key, keep their French captions.
    EXPECT_EQ(item("mnu_ouvririmg")->text(), "&Ouvrir une image");
    EXPECT_EQ(window->menu("mnu_Divers")->title(), "Divers");
    EXPECT_EQ(item("mnu_pause")->text(), "&Pause");

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
        QTimer::singleShot(0, window.get(), [this, quitter] {
            if (quitter)
                item("mnu_quitter")->trigger();
            window->close();
        });
        EXPECT_EQ(QApplication::exec(), 0);
        EXPECT_EQ(param("DOUBLEPASSE"), quitter ? "NON" : "OUI");
        EXPECT_EQ(param("SENS"), quitter ? "(absent)" : "HORAIRE");
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

    EXPECT_EQ(about->lblTitle->text(), "Vantola v " + QLatin1String(kVersionText));
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

} // namespace
} // namespace vantola::test
