#include "app/about_box.h"
#include "app/jpeg_settings_dialog.h"
#include "app/menu_captions.h"
#include "app/progress_panel.h"
#include "main_window_test_fixture.h"

#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTimer>

namespace vantola::test {
namespace {

TEST_F(MainWindowTest, StartsWithDefaultsWithoutParamIniAndCloseCreatesIt) {
    openWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Vantola v0.5"));
    EXPECT_TRUE(window->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(state.lNiveauBlanc, 1450);
    for (const MenuCaption& caption : menuCaptions()) {
        QMenu* menu = window->menu(caption.name);
        const QString shown = menu ? menu->title() : window->menuItem(caption.name)->text();
        EXPECT_EQ(shown, caption.caption) << caption.name.toStdString();
    }
    EXPECT_EQ(item("mnu_horaire")->text(),
              QStringLiteral("Effectuer une rotation de 90° (sens &horaire)"));
    for (const char* unchecked : {"mnu_horaire", "mnu_antihoraire", "mnu_doublepasse", "mnu_entete",
                                  "mnu_pied", "mnu_pause"})
        EXPECT_FALSE(item(unchecked)->isChecked()) << unchecked;
    EXPECT_TRUE(item("mnu_couperbord")->isChecked());
    EXPECT_FALSE(item("mnu_couperbord")->isEnabled());
    EXPECT_FALSE(item("mnu_entete")->isEnabled());
    EXPECT_FALSE(item("mnu_pied")->isEnabled());
    EXPECT_TRUE(window->pgbTraitement()->isReady());
    EXPECT_TRUE(window->pgbTraitement()->picture().isNull()); // nothing drawn yet

    EXPECT_FALSE(QFile::exists(state.sFichierParam));
    window->close();
    EXPECT_EQ(quitCalls, 1);
    EXPECT_EQ(param("SENS"), QStringLiteral("SANS"));
    EXPECT_EQ(param("DOUBLEPASSE"), QStringLiteral("NON"));
}

TEST_F(MainWindowTest, ReadsSwitchesLevelAndCaptionsFromParamIni) {
    writeParamIni("[PARAM]\r\nLANGUE=ENGLISH\r\nSENS=ANTIHORAIRE\r\nDOUBLEPASSE=OUI\r\n"
                  "NIVEAU_DE_BLANC=1300\r\n[ENGLISH]\r\nT8=&File\r\nT16=&Quit\r\n"
                  "T26=&Double pass\r\nT22=White &level\r\n");
    openWindow();
    EXPECT_EQ(state.lNiveauBlanc, 1300);
    EXPECT_TRUE(item("mnu_antihoraire")->isChecked());
    EXPECT_FALSE(item("mnu_horaire")->isChecked());
    EXPECT_TRUE(item("mnu_doublepasse")->isChecked());
    EXPECT_TRUE(window->job().switches.doublePass);
    EXPECT_EQ(window->job().switches.rotation, Rotation::Anticlockwise);
    EXPECT_EQ(window->menu(QStringLiteral("mnu_Fichier"))->title(), QStringLiteral("&File"));
    EXPECT_EQ(item("mnu_quitter")->text(), QStringLiteral("&Quit"));
    EXPECT_EQ(item("mnu_doublepasse")->text(), QStringLiteral("&Double pass"));
    EXPECT_EQ(item("mnu_blanc")->text(), QStringLiteral("White &level"));
    // Keys the section lacks, and the items without a key, keep their French captions.
    EXPECT_EQ(item("mnu_ouvririmg")->text(), QStringLiteral("&Ouvrir une image"));
    EXPECT_EQ(window->menu(QStringLiteral("mnu_Divers"))->title(), QStringLiteral("Divers"));
    EXPECT_EQ(item("mnu_pause")->text(), QStringLiteral("&Pause"));
}

TEST_F(MainWindowTest, SavedRotationIsComparedExactly) {
    writeParamIni("[PARAM]\r\nSENS=horaire\r\nDOUBLEPASSE=oui\r\n");
    openWindow();
    EXPECT_FALSE(item("mnu_horaire")->isChecked());
    EXPECT_FALSE(item("mnu_antihoraire")->isChecked());
    EXPECT_FALSE(item("mnu_doublepasse")->isChecked());
}

TEST_F(MainWindowTest, RotationItemsAreExclusiveAndFollowedByTheJob) {
    openWindow();
    item("mnu_antihoraire")->trigger();
    item("mnu_horaire")->trigger();
    EXPECT_TRUE(item("mnu_horaire")->isChecked());
    EXPECT_FALSE(item("mnu_antihoraire")->isChecked());
    EXPECT_EQ(window->job().switches.rotation, Rotation::Clockwise);
    item("mnu_horaire")->trigger();
    EXPECT_FALSE(item("mnu_horaire")->isChecked());
    EXPECT_FALSE(item("mnu_antihoraire")->isChecked());
    EXPECT_EQ(window->job().switches.rotation, Rotation::None);
    item("mnu_doublepasse")->trigger();
    EXPECT_TRUE(window->job().switches.doublePass);
}

// The real end of the program, under a running event loop: "&Quitter" ends it without saving,
// even when its window is closed afterwards; closing the window saves the switches and ends it.
TEST_F(MainWindowTest, QuitterEndsWithoutSavingCloseSavesTheSwitches) {
    writeParamIni("[PARAM]\r\nDOUBLEPASSE=NON\r\n");
    for (const bool quitter : {true, false}) {
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
        EXPECT_EQ(param("DOUBLEPASSE"), quitter ? QStringLiteral("NON") : QStringLiteral("OUI"));
        EXPECT_EQ(param("SENS"), quitter ? QStringLiteral("(absent)") : QStringLiteral("HORAIRE"));
    }
}

TEST_F(MainWindowTest, AboutBoxAndJpegSettingsOpenWithoutBlocking) {
    openWindow();
    item("mnu_apropos")->trigger();
    item("mnu_paramJPG")->trigger();
    auto* about = window->findChild<frmAbout*>();
    auto* jpeg = window->findChild<fSaveJPG*>();
    ASSERT_TRUE(about && jpeg);
    EXPECT_TRUE(about->isVisible() && jpeg->isVisible());
    EXPECT_FALSE(about->isModal() || jpeg->isModal());
}

TEST_F(MainWindowTest, WhiteLevelPrompt) {
    openWindow();
    nextAnswer = QStringLiteral("1500");
    item("mnu_blanc")->trigger();
    EXPECT_EQ(askedTitle, QStringLiteral("PARAMETRAGE DU NIVEAU DE BLANC"));
    EXPECT_EQ(askedPrompt,
              QStringLiteral("Renseigner la valeur minimum du blanc de votre scan (0 à 1680)\r\n"
                             "Ceci dans le but de détecter les lignes horizontales de séparation"));
    EXPECT_EQ(askedProposal, QStringLiteral("1450"));
    EXPECT_EQ(state.lNiveauBlanc, 1500);
    EXPECT_EQ(param("NIVEAU_DE_BLANC"), QStringLiteral("1500"));

    // Letters, an empty answer and Cancel change nothing, in memory or in the file.
    for (const std::optional<QString>& answer :
         {std::optional<QString>(QStringLiteral("abc")), std::optional<QString>(QString()),
          std::optional<QString>()}) {
        nextAnswer = answer;
        item("mnu_blanc")->trigger();
        EXPECT_EQ(askedProposal, QStringLiteral("1500"));
        EXPECT_EQ(state.lNiveauBlanc, 1500);
        EXPECT_EQ(param("NIVEAU_DE_BLANC"), QStringLiteral("1500"));
    }

    // Blanks around a decimal answer; halves go to the even neighbour.
    nextAnswer = QStringLiteral(" 1600,5 ");
    item("mnu_blanc")->trigger();
    EXPECT_EQ(state.lNiveauBlanc, 1600);
    EXPECT_EQ(param("NIVEAU_DE_BLANC"), QStringLiteral("1600"));
}

} // namespace
} // namespace vantola::test
