#include "app/about_box.h"

#include "app/app_icon.h"
#include "version.h"

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

const QString kTitreApplication = QStringLiteral("Vantola");

QString version() {
    return QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision);
}

bool connu(const QString& valeur) {
    const QString texte = valeur.trimmed();
    return !texte.isEmpty() && texte.compare(QLatin1String("unknown"), Qt::CaseInsensitive) != 0;
}

QLabel* etiquetteLongue(const QString& texte, QWidget* parent) {
    auto* label = new QLabel(texte, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

QString informationsSysteme() {
    const std::pair<QString, QString> details[] = {
        {QStringLiteral("Système"), QSysInfo::prettyProductName()},
        {QStringLiteral("Noyau"),
         QSysInfo::kernelType() + QLatin1Char(' ') + QSysInfo::kernelVersion()},
        {QStringLiteral("Processeur"), QSysInfo::currentCpuArchitecture()},
        {QStringLiteral("Nom de la machine"), QSysInfo::machineHostName()},
    };
    QStringList lignes;
    for (const auto& [nom, valeur] : details)
        if (connu(valeur))
            lignes += nom + QStringLiteral(" : ") + valeur.trimmed();
    if (lignes.isEmpty())
        return {};
    lignes += QStringLiteral("Qt : ") + QString::fromLatin1(qVersion());
    return lignes.join(QLatin1Char('\n'));
}

frmAbout::frmAbout(QWidget* parent) : QDialog(parent), source_(informationsSysteme) {
    setWindowTitle(QStringLiteral("À propos de ") + kTitreApplication);
    setWindowIcon(vantolaIcon());

    picIcon = new QLabel(this);
    picIcon->setPixmap(vantolaIcon().pixmap(64, 64));
    picIcon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblTitle = new QLabel(kTitreApplication + QStringLiteral(" v ") + version(), this);
    QFont titre = lblTitle->font();
    titre.setPointSizeF(titre.pointSizeF() * 1.5);
    titre.setBold(true);
    lblTitle->setFont(titre);

    // Two sentences, the second on its own line.
    lblDescription = etiquetteLongue(
        QStringLiteral("Cet utilitaire permet de créer des petites images à partir de grandes "
                       "images.\nSi vous scanner vos BD, ce logiciel, vous decoupera "
                       "automatiquement les pages des bandes dessinées en vignettes."),
        this);
    lblDisclaimer = etiquetteLongue(QStringLiteral("Vous trouverez plus d'infos dans le fichier "
                                                   "notice.htm contenu dans le répertoire."),
                                    this);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&Infos système..."), this);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { StartSysInfo(); });

    auto* ligne = new QFrame(this);
    ligne->setFrameShape(QFrame::HLine);
    ligne->setFrameShadow(QFrame::Sunken);

    auto* boutons = new QVBoxLayout;
    boutons->addWidget(cmdOK);
    boutons->addWidget(cmdSysInfo);
    boutons->addStretch();

    // Icon at the left, the texts beside it, a rule, then the notice beside the buttons.
    auto* grille = new QGridLayout(this);
    grille->setHorizontalSpacing(16);
    grille->addWidget(picIcon, 0, 0, 2, 1);
    grille->addWidget(lblTitle, 0, 1, 1, 2);
    grille->addWidget(lblDescription, 1, 1, 1, 2);
    grille->addWidget(ligne, 2, 0, 1, 3);
    grille->addWidget(lblDisclaimer, 3, 0, 1, 2);
    grille->addLayout(boutons, 3, 2);
    grille->setColumnStretch(1, 1);
    grille->setSizeConstraint(QLayout::SetFixedSize);
    lblDescription->setFixedWidth(360);
}

frmAbout* frmAbout::ouvrir(QWidget* parent) {
    auto* boite = new frmAbout(parent);
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->show();
    return boite;
}

QMessageBox* frmAbout::StartSysInfo() {
    const QString details = source_ ? source_() : QString();
    auto* boite = details.isEmpty()
                      ? new QMessageBox(QMessageBox::Information, kTitreApplication,
                                        QStringLiteral("Les informations système ne sont pas "
                                                       "disponibles actuellement"),
                                        QMessageBox::Ok, this)
                      : new QMessageBox(QMessageBox::Information, QStringLiteral("Infos système"),
                                        details, QMessageBox::Ok, this);
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->open();
    return boite;
}

} // namespace vantola
