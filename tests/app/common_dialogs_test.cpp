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

TEST(CommonDialogs, FilterListHelpers) {
    EXPECT_EQ(AjouterFiltre(QString(), QStringLiteral("Tout")),
              QStringLiteral("Tout") + kNul + QStringLiteral("*.*") + kNul);
    EXPECT_EQ(CouperAuNul(QStringLiteral("a.jpg") + kNul + QStringLiteral("reste")),
              QStringLiteral("a.jpg"));
    EXPECT_EQ(CouperAuNul(QStringLiteral("sans nul")), QStringLiteral("sans nul"));

    QString filtre = AjouterFiltre(QString(), QStringLiteral("JPG Files (*.JPG)"),
                                   QStringLiteral("*.JPG;*.jpeg"));
    filtre = AjouterFiltre(filtre, QStringLiteral("Tout"));
    EXPECT_EQ(filtresPourQFileDialog(filtre),
              (QStringList{QStringLiteral("JPG Files (*.JPG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])"),
                           QStringLiteral("Tout (*)")}));
    EXPECT_TRUE(filtresPourQFileDialog(QString()).isEmpty());
}

TEST(CommonDialogs, PictureAndOutputDialogsAreConfigured) {
    ModCommonDialog module;
    const auto image = module.construireDialogueImage();
    EXPECT_EQ(image->windowTitle(), QStringLiteral("Nom du fichier en entrée..."));
    EXPECT_EQ(image->nameFilters().size(), 3);
    EXPECT_EQ(image->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(image->fileMode(), QFileDialog::AnyFile);
    EXPECT_TRUE(image->testOption(QFileDialog::DontUseNativeDialog));
    // The user reads the descriptions as they are written, in their order.
    const QComboBox* types = image->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    ASSERT_EQ(types->count(), 3);
    EXPECT_EQ(types->itemText(0), QStringLiteral("JPG Files (*.JPG)"));
    EXPECT_EQ(types->itemText(1), QStringLiteral("GIF Files (*.GIF)"));
    EXPECT_EQ(types->itemText(2), QStringLiteral("BMP Files (*.BMP)"));
    EXPECT_EQ(module.filtre(), QStringLiteral("JPG Files (*.JPG)") + kNul + "*.JPG" + kNul +
                                   "GIF Files (*.GIF)" + kNul + "*.GIF" + kNul +
                                   "BMP Files (*.BMP)" + kNul + "*.BMP" + kNul);

    const auto sortie = module.construireDialogueSortie();
    EXPECT_EQ(sortie->windowTitle(), QStringLiteral("Nom du fichier en sortie..."));
    EXPECT_EQ(sortie->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(sortie->nameFilters().size(), 1);
    EXPECT_EQ(module.filtre(), QStringLiteral("JPG Files (*.JPG)") + kNul + "*.JPG" + kNul);
}

TEST(CommonDialogs, JpgFilterShowsJpegFilesInAnyCase) {
    TempFolder folder;
    for (const char* name : {"PAGE.JPG", "page2.jpg", "Page3.Jpg", "notes.txt", "scan.gif"})
        ASSERT_TRUE(writeFileBytes(folder.file(QLatin1String(name)), "x"));

    ModCommonDialog module;
    auto dialogue = module.construireDialogueImage();
    dialogue->setDirectory(folder.path());
    dialogue->show();
    auto* model = dialogue->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex racine = model->index(dialogue->directory().absolutePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(racine) >= 3; }, 5000));
    QTest::qWait(100); // anything the filter should have hidden would have come by now
    QStringList visibles;
    for (int row = 0; row < model->rowCount(racine); ++row)
        visibles += model->index(row, 0, racine).data().toString();
    visibles.sort();
    EXPECT_EQ(visibles, (QStringList{"PAGE.JPG", "Page3.Jpg", "page2.jpg"}));
    dialogue->hide();
}

TEST(CommonDialogs, ChosenPathCancelAndFlags) {
    TempFolder folder;
    ModCommonDialog module;
    module.setExecution([&](QFileDialog& dialogue) {
        dialogue.selectFile(folder.file(QStringLiteral("PAGE.JPG")));
        return int(QDialog::Accepted);
    });
    EXPECT_EQ(module.ChoisirImage(), folder.file(QStringLiteral("PAGE.JPG")));
    EXPECT_EQ(module.dernierChemin(), folder.file(QStringLiteral("PAGE.JPG")));

    DemandeFichier demande{.lFlags = kOfnHideReadOnly, .sExtensionParDefaut = "png"};
    EXPECT_FALSE(module.DialogueFichier(demande).isEmpty());
    EXPECT_EQ(demande.lFlags, kOfnHideReadOnly | kOfnExtensionDifferent);

    module.setExecution([](QFileDialog&) { return int(QDialog::Rejected); });
    demande.lFlags = kOfnHideReadOnly;
    EXPECT_EQ(module.DialogueFichier(demande), QString());
    EXPECT_EQ(demande.lFlags, kOfnHideReadOnly);
    EXPECT_EQ(module.ChoisirSortie(), QString());
    EXPECT_EQ(module.dernierChemin(), QString());
}

TEST(CommonDialogs, OutputDialogTakesANewNameThroughItsModalLoop) {
    TempFolder folder;
    const QString nouveau = folder.file(QStringLiteral("nouvelle.jpg"));
    QTimer::singleShot(0, [&] {
        auto* dialogue = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialogue, nullptr);
        dialogue->selectFile(nouveau);
        auto* boutons = dialogue->findChild<QDialogButtonBox*>();
        ASSERT_NE(boutons, nullptr);
        boutons->button(QDialogButtonBox::Open)->click();
    });
    ModCommonDialog module;
    EXPECT_EQ(module.ChoisirSortie(), nouveau);
}

} // namespace
