#include "app/jpeg_settings_dialog.h"
#include "main_window_test_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <memory>
#include <tuple>

namespace vantola::test {
namespace {

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

TEST_F(JpegSettingsDialog, AnnulerWritesNothingOkWritesTheFourKeysInOrder) {
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
}

TEST_F(JpegSettingsDialog, OkThatCannotWriteKeepsTheWindowOpen) {
    state.sFichierParam = home.file("absent/param.ini");
    const auto dialog = open();
    dialog->cmdFinish[1]->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->encoder(), nullptr);
    const auto* box = dialog->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains("n'ont pas pu être enregistrés"));
}

} // namespace
} // namespace vantola::test
