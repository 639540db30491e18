#include "app/common_dialogs.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using namespace vantola;
using vantola::test::TempFolder;
using vantola::test::writeFileBytes;

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

// The type descriptions as written, in order; JPEG files shown whatever their extension's case.
TEST(CommonDialogs, PictureDialogListsItsTypesAndShowsJpegFilesInAnyCase) {
    TempFolder folder;
    for (const char* name : {"PAGE.JPG", "page2.jpg", "Page3.Jpg", "notes.txt", "scan.gif"})
        ASSERT_TRUE(writeFileBytes(folder.file(QLatin1String(name)), "x"));
    ModCommonDialog module;
    const auto dialog = module.buildImageDialog();
    const QComboBox* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    ASSERT_NE(types, nullptr);
    QStringList descriptions;
    for (int i = 0; i < types->count(); ++i)
        descriptions << types->itemText(i);
    EXPECT_EQ(descriptions,
              QStringList({"JPG Files (*.JPG)", "GIF Files (*.GIF)", "BMP Files (*.BMP)"}));

    dialog->setDirectory(folder.path());
    dialog->show();
    auto* model = dialog->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex racine = model->index(dialog->directory().absolutePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(racine) >= 3; }, 5000));
    QTest::qWait(100); // lets anything the filter failed to hide arrive
    QStringList visibles;
    for (int row = 0; row < model->rowCount(racine); ++row)
        visibles += model->index(row, 0, racine).data().toString();
    visibles.sort();
    EXPECT_EQ(visibles, (QStringList{"PAGE.JPG", "Page3.Jpg", "page2.jpg"}));
    dialog->hide();
}

TEST(CommonDialogs, ChosenPathCancelAndFlags) {
    TempFolder folder;
    ModCommonDialog module;
    module.setExecution([&](QFileDialog& dialog) {
        dialog.selectFile(folder.file("PAGE.JPG"));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(module.ChoisirImage(), folder.file("PAGE.JPG"));
    EXPECT_EQ(module.lastPath(), folder.file("PAGE.JPG"));

    FileRequest request{.flags = kOfnHideReadOnly, .defaultExtension = "png"};
    EXPECT_FALSE(module.DialogueFichier(request).isEmpty());
    EXPECT_EQ(request.flags, kOfnHideReadOnly | kOfnExtensionDifferent);

    module.setExecution([](QFileDialog&) { return int(QDialog::Rejected); });
    request.flags = kOfnHideReadOnly;
    EXPECT_EQ(module.DialogueFichier(request), QString());
    EXPECT_EQ(request.flags, kOfnHideReadOnly);
    EXPECT_EQ(module.ChoisirSortie(), QString());
    EXPECT_EQ(module.lastPath(), QString());
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

} // namespace
