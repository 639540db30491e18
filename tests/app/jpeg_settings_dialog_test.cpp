#include "app/jpeg_settings_dialog.h"
#include "support/temp_folder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace vantola;
using vantola::test::readFileBytes;
using vantola::test::TempFolder;
using vantola::test::writeFileBytes;

class JpegSettingsDialog : public ::testing::Test {
protected:
    void SetUp() override { state.sFichierParam = home.file(QStringLiteral("param.ini")); }

    void writeParam(const QByteArray& keys) {
        ASSERT_TRUE(writeFileBytes(state.sFichierParam, "[PARAM]\r\n" + keys));
    }

    std::unique_ptr<fSaveJPG> open() {
        auto dialog = std::make_unique<fSaveJPG>(state);
        dialog->show();
        return dialog;
    }

    static void expectSampling(const cJpeg& jpeg, int components, int h, int v) {
        ASSERT_EQ(static_cast<int>(jpeg.components().size()), components);
        EXPECT_EQ(jpeg.components()[0].H, h);
        EXPECT_EQ(jpeg.components()[0].V, v);
    }

    TempFolder home;
    ProgramState state;
};

TEST_F(JpegSettingsDialog, OpensOnDefaultsWithoutParamIni) {
    const auto dialog = open();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("JPEG Compression Settings"));
    ASSERT_EQ(dialog->cboSubSample->count(), 16);
    EXPECT_EQ(dialog->cboSubSample->itemText(0), QStringLiteral("1:1  [Max Quality]"));
    EXPECT_EQ(dialog->cboSubSample->itemText(15), QStringLiteral("4:4  [Max Compress]"));
    EXPECT_EQ(dialog->cboSubSample->currentText(), QStringLiteral("2:2  [Default]"));
    EXPECT_EQ(dialog->hscQuality->value(), 75);
    EXPECT_EQ(dialog->lblQuality->text(), QStringLiteral("Quality: 75"));
    EXPECT_FALSE(dialog->chkGreyscale->isChecked());
    EXPECT_TRUE(dialog->cboSubSample->isEnabled());
    EXPECT_TRUE(dialog->erreursOuverture().isEmpty());
    EXPECT_EQ(dialog->encodeur()->Quality(), 75);
    expectSampling(*dialog->encodeur(), 3, 2, 2);
    // The buttons sit under the frame, "Annuler" at the left, "OK" at the right.
    EXPECT_GT(dialog->cmdFinish[0]->y(), dialog->Frame1->geometry().bottom());
    EXPECT_LT(dialog->cmdFinish[0]->x(), dialog->cmdFinish[1]->x());
    EXPECT_EQ(dialog->cmdFinish[0]->text(), QStringLiteral("Annuler"));
    EXPECT_EQ(dialog->cmdFinish[1]->text(), QStringLiteral("OK"));
}

TEST_F(JpegSettingsDialog, OpensOnTheSavedSettings) {
    writeParam("JPG_SAMPLE_INDEX=7\r\nJPG_QUALITY=40\r\nJPG_GREYSCALE=1\r\n");
    const auto dialog = open();
    EXPECT_EQ(dialog->cboSubSample->currentText(), QStringLiteral("3:2"));
    EXPECT_EQ(dialog->lblQuality->text(), QStringLiteral("Quality: 40 ???"));
    EXPECT_TRUE(dialog->chkGreyscale->isChecked());
    EXPECT_FALSE(dialog->cboSubSample->isEnabled());
    EXPECT_EQ(dialog->encodeur()->Quality(), 40);
    expectSampling(*dialog->encodeur(), 1, 1, 1);
}

TEST_F(JpegSettingsDialog, RefusedSettingsFallBackAndAreReported) {
    writeParam("JPG_SAMPLE_INDEX=16\r\nJPG_QUALITY=abc\r\nJPG_GREYSCALE=oui\r\n");
    const auto dialog = open();
    EXPECT_EQ(dialog->cboSubSample->currentIndex(), 3);
    EXPECT_EQ(dialog->hscQuality->value(), 75);
    EXPECT_FALSE(dialog->chkGreyscale->isChecked());
    ASSERT_EQ(dialog->erreursOuverture().size(), 3);
    EXPECT_TRUE(dialog->erreursOuverture()[1].contains(QStringLiteral("« abc » de JPG_QUALITY")));
    const auto* box = dialog->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->isVisible());
}

TEST_F(JpegSettingsDialog, QualityLabelAndGreyscaleFollowTheControls) {
    const auto dialog = open();
    const std::pair<int, const char*> marks[] = {
        {1, "Quality: 1 ???"}, {49, "Quality: 49 ???"}, {50, "Quality: 50"},
        {95, "Quality: 95"},   {96, "Quality: 96 ???"}, {100, "Quality: 100 ???"}};
    for (const auto& [value, text] : marks) {
        dialog->hscQuality->setValue(value);
        EXPECT_EQ(dialog->lblQuality->text(), QLatin1String(text));
        EXPECT_EQ(dialog->encodeur()->Quality(), value);
    }

    dialog->cboSubSample->setCurrentIndex(10); // "4:1"
    expectSampling(*dialog->encodeur(), 3, 4, 1);
    dialog->chkGreyscale->click();
    EXPECT_FALSE(dialog->cboSubSample->isEnabled());
    expectSampling(*dialog->encodeur(), 1, 1, 1);
    dialog->chkGreyscale->click();
    EXPECT_TRUE(dialog->cboSubSample->isEnabled());
    expectSampling(*dialog->encodeur(), 3, 4, 1);
}

TEST_F(JpegSettingsDialog, OkWritesTheFourKeysInOrder) {
    writeParam("LANGUE=FRANCAIS\r\n");
    const auto dialog = open();
    dialog->cboSubSample->setCurrentIndex(7);
    dialog->hscQuality->setValue(60);
    dialog->cmdFinish[1]->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->encodeur(), nullptr);
    EXPECT_EQ(readFileBytes(state.sFichierParam),
              QByteArray("[PARAM]\r\nLANGUE=FRANCAIS\r\nJPG_SAMPLE=3:2\r\nJPG_SAMPLE_INDEX=7\r\n"
                         "JPG_QUALITY=60\r\nJPG_GREYSCALE=0\r\n"));
}

TEST_F(JpegSettingsDialog, AnnulerWritesNothing) {
    const auto dialog = open();
    dialog->hscQuality->setValue(20);
    dialog->chkGreyscale->click();
    dialog->cmdFinish[0]->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->encodeur(), nullptr);
    EXPECT_FALSE(QFile::exists(state.sFichierParam));
}

TEST_F(JpegSettingsDialog, OkThatCannotWriteKeepsTheWindowOpen) {
    state.sFichierParam = home.file(QStringLiteral("absent/param.ini"));
    const auto dialog = open();
    dialog->cmdFinish[1]->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_NE(dialog->encodeur(), nullptr);
    const auto* box = dialog->findChild<QMessageBox*>();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("n'ont pas pu être enregistrés")));
}

} // namespace
