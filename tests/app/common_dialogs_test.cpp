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

// A filter list of description and patterns separated by NULs becomes Qt's name filters, the
// patterns matched in any case, "*.*" as "*".
TEST(CommonDialogs, FilterListsBecomeCaseBlindNameFilters) {
    QString filtre = AjouterFiltre(QString(), QStringLiteral("JPG Files (*.JPG)"),
                                   QStringLiteral("*.JPG;*.jpeg"));
    filtre = AjouterFiltre(filtre, QStringLiteral("Tout"));
    EXPECT_EQ(filtresPourQFileDialog(filtre),
              (QStringList{QStringLiteral("JPG Files (*.JPG) (*.[jJ][pP][gG] *.[jJ][pP][eE][gG])"),
                           QStringLiteral("Tout (*)")}));
    EXPECT_TRUE(filtresPourQFileDialog(QString()).isEmpty());
    EXPECT_EQ(CouperAuNul(QStringLiteral("a.jpg") + kNul + QStringLiteral("reste")),
              QStringLiteral("a.jpg"));
}

// The user reads the type descriptions as they are written, in their order, and sees the JPEG
// files whatever the case of their extension.
TEST(CommonDialogs, PictureDialogListsItsTypesAndShowsJpegFilesInAnyCase) {
    TempFolder folder;
    for (const char* name : {"PAGE.JPG", "page2.jpg", "Page3.Jpg", "notes.txt", "scan.gif"})
        ASSERT_TRUE(writeFileBytes(folder.file(QLatin1String(name)), "x"));
    ModCommonDialog module;
    const auto dialogue = module.construireDialogueImage();
    const QComboBox* types = dialogue->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    ASSERT_NE(types, nullptr);
    QStringList descriptions;
    for (int i = 0; i < types->count(); ++i)
        descriptions << types->itemText(i);
    EXPECT_EQ(descriptions,
              QStringList({"JPG Files (*.JPG)", "GIF Files (*.GIF)", "BMP Files (*.BMP)"}));

    dialogue->setDirectory(folder.path());
    dialogue->show();
    auto* model = dialogue->findChild<QFileSystemModel*>();
    ASSERT_NE(model, nullptr);
    const QModelIndex racine = model->index(dialogue->directory().absolutePath());
    EXPECT_TRUE(QTest::qWaitFor([&] { return model->rowCount(racine) >= 3; }, 5000));
    QTest::qWait(100); // lets anything the filter failed to hide arrive
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
        EXPECT_EQ(dialogue->windowTitle(), QStringLiteral("Nom du fichier en sortie..."));
        EXPECT_EQ(dialogue->nameFilters().size(), 1);
        dialogue->selectFile(nouveau);
        auto* boutons = dialogue->findChild<QDialogButtonBox*>();
        ASSERT_NE(boutons, nullptr);
        boutons->button(QDialogButtonBox::Open)->click();
    });
    ModCommonDialog module;
    EXPECT_EQ(module.ChoisirSortie(), nouveau);
}

} // namespace
