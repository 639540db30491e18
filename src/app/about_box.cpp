#include "app/about_box.h"

#include "app/app_icon.h"
#include "app/single_window.h"
#include "app/user_guide.h"
#include "app/window_hooks.h"
#include "version.h"

#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>
#include <utility>

namespace vantola {

namespace {

const QString kApplicationTitle = QStringLiteral("Vantola");

QString version() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

bool isKnown(const QString& value) {
    const QString text = value.trimmed();
    return !text.isEmpty() && text.compare(QLatin1String("unknown"), Qt::CaseInsensitive) != 0;
}

QLabel* longLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

QString systemInformation() {
    const std::pair<QString, QString> details[] = {
        {QCoreApplication::translate("vantola::frmAbout", "Système"),
         QSysInfo::prettyProductName()},
        {QCoreApplication::translate("vantola::frmAbout", "Noyau"),
         QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion()},
        {QCoreApplication::translate("vantola::frmAbout", "Processeur"),
         QSysInfo::currentCpuArchitecture()},
        {QCoreApplication::translate("vantola::frmAbout", "Nom de la machine"),
         QSysInfo::machineHostName()},
    };
    QStringList lines;
    for (const auto& [name, value] : details)
        if (isKnown(value))
            lines += name + QStringLiteral(" : ") + value.trimmed();
    if (lines.isEmpty())
        return {};
    lines += QStringLiteral("Qt : ") + QString::fromLatin1(qVersion());
    return lines.join(QLatin1Char('\n'));
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), source_(systemInformation) {
    setWindowTitle(tr("À propos de ") + kApplicationTitle);
    setWindowIcon(vantolaIcon());

    picIcon = new QLabel(this);
    picIcon->setPixmap(vantolaIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(kApplicationTitle + QStringLiteral(" v ") + version(), this);
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    // Two sentences, the second on its own line.
    lblDescription =
        longLabel(tr("Cet utilitaire permet de créer des petites images à partir de grandes "
                     "images.\nSi vous scanner vos BD, ce logiciel, vous decoupera "
                     "automatiquement les pages des bandes dessinées en vignettes."),
                  this);
    // The file name is a link that opens the user guide.
    lblDisclaimer = longLabel(tr("Vous trouverez plus d'infos dans le fichier "
                                 "<a href=\"notice.htm\">notice.htm</a> contenu dans "
                                 "le répertoire."),
                              this);
    lblDisclaimer->setTextFormat(Qt::RichText);
    lblDisclaimer->setTextInteractionFlags(Qt::LinksAccessibleByMouse |
                                           Qt::LinksAccessibleByKeyboard);
    connect(lblDisclaimer, &QLabel::linkActivated, this, [this] { OpenNotice(); });

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(tr("&Infos système..."), this);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch();

    // Icon at the left, the texts beside it, a rule, then the notice beside the buttons.
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(16);
    grid->addWidget(picIcon, 0, 0, 2, 1);
    grid->addWidget(lblTitle, 0, 1, 1, 2);
    grid->addWidget(lblDescription, 1, 1, 1, 2);
    grid->addWidget(line, 2, 0, 1, 3);
    grid->addWidget(lblDisclaimer, 3, 0, 1, 2);
    grid->addLayout(buttons, 3, 2);
    grid->setColumnStretch(1, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    lblDescription->setFixedWidth(360);
}

frmAbout* frmAbout::showWindow(QWidget* parent) {
    if (auto* open = raiseOpenWindow<frmAbout>(parent))
        return open;
    auto* box = new frmAbout(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    return box;
}

QMessageBox* frmAbout::showInformation(const QString& title, const QString& text) {
    auto* box =
        new QMessageBox(QMessageBox::Information, title, dialogText(text), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

QMessageBox* frmAbout::StartSysInfo() {
    const QString details = source_ ? source_() : QString();
    if (details.isEmpty())
        return showInformation(kApplicationTitle, tr("Les informations système ne sont pas "
                                                     "disponibles actuellement"));
    return showInformation(tr("Infos système"), details);
}

bool frmAbout::OpenNotice() {
    return openUserGuide(
        [this](const QString& title, const QString& text) { showInformation(title, text); });
}

} // namespace vantola
