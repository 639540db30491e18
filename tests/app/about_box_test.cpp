#include "app/about_box.h"
#include "version.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace {

using vantola::frmAbout;

QMessageBox* shownMessage(QWidget* owner) {
    for (QMessageBox* box : owner->findChildren<QMessageBox*>())
        if (box->isVisible())
            return box;
    return nullptr;
}

TEST(AboutBox, ShowsVersionAndIconAndSystemInformationOrItsAbsence) {
    frmAbout* about = frmAbout::showWindow(nullptr);
    EXPECT_EQ(about->lblTitle->text(),
              QStringLiteral("Vantola v ") + QLatin1String(vantola::kVersionText));
    EXPECT_FALSE(about->picIcon->pixmap().isNull()); // the icon is in the program's resources

    about->cmdSysInfo->click();
    QMessageBox* details = shownMessage(about);
    ASSERT_NE(details, nullptr);
    EXPECT_TRUE(details->text().contains(QSysInfo::currentCpuArchitecture()));
    details->button(QMessageBox::Ok)->click();
    EXPECT_EQ(shownMessage(about), nullptr);

    about->setSourceInformations([] { return QString(); });
    about->cmdSysInfo->click();
    QMessageBox* absent = shownMessage(about);
    ASSERT_NE(absent, nullptr);
    EXPECT_EQ(absent->buttons().size(), 1);
    absent->button(QMessageBox::Ok)->click();

    about->cmdOK->click();
    EXPECT_FALSE(about->isVisible());
}

} // namespace
