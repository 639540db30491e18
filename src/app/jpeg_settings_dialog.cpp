#include "app/jpeg_settings_dialog.h"

#include "app/app_icon.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

namespace vantola {

namespace {

const QString kSection = kParamSection;
const QString kCleIndex = QStringLiteral("JPG_SAMPLE_INDEX");
const QString kCleQualite = QStringLiteral("JPG_QUALITY");
const QString kCleGris = QStringLiteral("JPG_GREYSCALE");
const QString kCleEchantillon = QStringLiteral("JPG_SAMPLE");
const QString kIndexParDefaut = QStringLiteral("3");
const QString kQualiteParDefaut = QStringLiteral("75");
const QString kGrisParDefaut = QStringLiteral("0");

constexpr int kQualiteMin = 1;
constexpr int kQualiteMax = 100;

// Places are given in twips, 15 to a pixel at the normal scale.
constexpr double kTwipsParPixel = 15.0;
struct Place {
    int left, top, width, height;
};
constexpr Place kFenetre{0, 0, 4455, 2535}; // the buttons' far corner plus the 120 margin
constexpr Place kFrame1{120, 120, 4215, 1815};
// Inside Frame1:
constexpr Place kLblQuality{360, 360, 1215, 255};
constexpr Place kHscQuality{1920, 360, 2055, 255};
constexpr Place kLblSubSample{360, 840, 1455, 255};
constexpr Place kCboSubSample{1920, 840, 2055, 315};
constexpr Place kChkGreyscale{360, 1320, 1335, 255};
constexpr Place kCmdComment{2880, 1320, 1095, 255};
// In the window:
constexpr Place kCmdAnnuler{120, 2040, 1215, 375};
constexpr Place kCmdOK{3120, 2040, 1215, 375};

int pixels(int twips, double echelle) {
    return static_cast<int>(std::lround(twips * echelle / kTwipsParPixel));
}

QRect rectangle(const Place& place, double echelle) {
    return {pixels(place.left, echelle), pixels(place.top, echelle), pixels(place.width, echelle),
            pixels(place.height, echelle)};
}

// How much a control must grow for its content to fit the place, 1 when it fits.
double agrandissement(const QSize& contenu, const Place& place) {
    return std::max(contenu.width() * kTwipsParPixel / place.width,
                    contenu.height() * kTwipsParPixel / place.height);
}

QString texteQualite(int valeur) {
    QString texte = QStringLiteral("Quality: ") + QString::number(valeur);
    if (valeur < 50 || valeur >= 96)
        texte += QStringLiteral(" ???");
    return texte;
}

QString refus(const QString& cle, const QString& valeur, const QString& parDefaut) {
    return QStringLiteral("param.ini : la valeur « %1 » de %2 est refusée ; la valeur %3 est "
                          "utilisée.")
        .arg(valeur, cle, parDefaut);
}

} // namespace

const QStringList& fSaveJPG::elementsEchantillonnage() {
    static const QStringList elements = {
        QStringLiteral("1:1  [Max Quality]"),
        QStringLiteral("1:2"),
        QStringLiteral("2:1"),
        QStringLiteral("2:2  [Default]"),
        QStringLiteral("1:3"),
        QStringLiteral("3:1"),
        QStringLiteral("2:3"),
        QStringLiteral("3:2"),
        QStringLiteral("3:3"),
        QStringLiteral("1:4"),
        QStringLiteral("4:1"),
        QStringLiteral("2:4"),
        QStringLiteral("4:2"),
        QStringLiteral("3:4"),
        QStringLiteral("4:3"),
        QStringLiteral("4:4  [Max Compress]"),
    };
    return elements;
}

fSaveJPG::fSaveJPG(const ProgramState& state, QWidget* parent)
    : QDialog(parent), sFichierParam_(state.sFichierParam), jpeg_(std::make_unique<cJpeg>()) {
    setWindowTitle(QStringLiteral("JPEG Compression Settings"));
    setWindowIcon(vantolaIcon());
    creerControles();
    placerControles();
    chargerReglages();
}

fSaveJPG::~fSaveJPG() = default;

fSaveJPG* fSaveJPG::ouvrir(const ProgramState& state, QWidget* parent) {
    auto* fenetre = new fSaveJPG(state, parent);
    fenetre->setAttribute(Qt::WA_DeleteOnClose);
    fenetre->show();
    return fenetre;
}

void fSaveJPG::creerControles() {
    Frame1 = new QFrame(this);
    Frame1->setFrameShape(QFrame::Box);
    Frame1->setFrameShadow(QFrame::Sunken);

    lblQuality = new QLabel(QStringLiteral("Quality:"), Frame1);
    hscQuality = new QScrollBar(Qt::Horizontal, Frame1);
    hscQuality->setRange(kQualiteMin, kQualiteMax);
    hscQuality->setPageStep(10);
    lblSubSample = new QLabel(QStringLiteral("Sub Sampling:"), Frame1);
    cboSubSample = new QComboBox(Frame1);
    cboSubSample->addItems(elementsEchantillonnage());
    chkGreyscale = new QCheckBox(QStringLiteral("Greyscale"), Frame1);
    // The comment button has no action: it is shown greyed out.
    cmdComment = new QPushButton(QStringLiteral("Comment"), Frame1);
    cmdComment->setEnabled(false);

    cmdFinish[0] = new QPushButton(QStringLiteral("Annuler"), this);
    cmdFinish[1] = new QPushButton(QStringLiteral("OK"), this);
    cmdFinish[1]->setDefault(true);

    setTabOrder(hscQuality, cboSubSample);
    setTabOrder(cboSubSample, chkGreyscale);
    setTabOrder(chkGreyscale, cmdComment);
    setTabOrder(cmdComment, cmdFinish[0]);
    setTabOrder(cmdFinish[0], cmdFinish[1]);

    connect(hscQuality, &QScrollBar::valueChanged, this, &fSaveJPG::hscQuality_Change);
    connect(cboSubSample, &QComboBox::currentIndexChanged, this, &fSaveJPG::cboSubSample_Click);
    connect(chkGreyscale, &QCheckBox::toggled, this, &fSaveJPG::cboSubSample_Click);
    for (int index = 0; index < 2; ++index)
        connect(cmdFinish[index], &QPushButton::clicked, this,
                [this, index] { cmdFinish_Click(index); });
}

// Every control at its place, in pixels at 15 twips each; when the font is wider than the
// places allow (the widest texts must fit: "Quality: 100 ???", the longest list item), the
// whole window grows by one factor so that its proportions stay.
void fSaveJPG::placerControles() {
    const QFontMetrics mesure = fontMetrics();
    const int hauteur = mesure.height();
    const int marge = mesure.averageCharWidth();
    const QSize qualite(mesure.horizontalAdvance(texteQualite(100)) + marge, hauteur);
    const QSize sousEchantillon(mesure.horizontalAdvance(lblSubSample->text()) + marge, hauteur);
    const QSize commentaire(mesure.horizontalAdvance(cmdComment->text()) + 2 * marge, hauteur);
    const double echelle = std::max({1.0, agrandissement(qualite, kLblQuality),
                                     agrandissement(sousEchantillon, kLblSubSample),
                                     agrandissement(cboSubSample->sizeHint(), kCboSubSample),
                                     agrandissement(chkGreyscale->sizeHint(), kChkGreyscale),
                                     agrandissement(commentaire, kCmdComment)});

    Frame1->setGeometry(rectangle(kFrame1, echelle));
    lblQuality->setGeometry(rectangle(kLblQuality, echelle));
    hscQuality->setGeometry(rectangle(kHscQuality, echelle));
    lblSubSample->setGeometry(rectangle(kLblSubSample, echelle));
    cboSubSample->setGeometry(rectangle(kCboSubSample, echelle));
    chkGreyscale->setGeometry(rectangle(kChkGreyscale, echelle));
    cmdComment->setGeometry(rectangle(kCmdComment, echelle));
    cmdFinish[0]->setGeometry(rectangle(kCmdAnnuler, echelle));
    cmdFinish[1]->setGeometry(rectangle(kCmdOK, echelle));
    setFixedSize(rectangle(kFenetre, echelle).size());
}

void fSaveJPG::chargerReglages() {
    QString index = kIndexParDefaut;
    QString qualite = kQualiteParDefaut;
    QString gris = kGrisParDefaut;
    try {
        Cls_InitREG ini;
        index = ini.IniLire(kSection, kCleIndex, kIndexParDefaut, sFichierParam_);
        qualite = ini.IniLire(kSection, kCleQualite, kQualiteParDefaut, sFichierParam_);
        gris = ini.IniLire(kSection, kCleGris, kGrisParDefaut, sFichierParam_);
    } catch (const AppError&) {
        erreursOuverture_ += QStringLiteral("Le fichier %1 ne peut pas être lu : les réglages "
                                            "par défaut sont utilisés.")
                                 .arg(sFichierParam_);
        index = kIndexParDefaut;
        qualite = kQualiteParDefaut;
        gris = kGrisParDefaut;
    }

    // Each control takes its setting, then its handler runs, as when the user sets it.
    const QSignalBlocker bloqueListe(cboSubSample);
    const QSignalBlocker bloqueQualite(hscQuality);
    const QSignalBlocker bloqueGris(chkGreyscale);

    std::optional<qint32> position = numberFromText<qint32>(index);
    if (!position || *position < 0 || *position >= cboSubSample->count()) {
        erreursOuverture_ += refus(kCleIndex, index, kIndexParDefaut);
        position = kIndexParDefaut.toInt();
    }
    cboSubSample->setCurrentIndex(*position);
    cboSubSample_Click();

    std::optional<qint32> valeur = numberFromText<qint32>(qualite);
    if (!valeur || *valeur < kQualiteMin || *valeur > kQualiteMax) {
        erreursOuverture_ += refus(kCleQualite, qualite, kQualiteParDefaut);
        valeur = kQualiteParDefaut.toInt();
    }
    hscQuality->setValue(*valeur);
    hscQuality_Change(*valeur);

    // Any number other than 0 means grey, as for the piece writer.
    std::optional<qint32> coche = numberFromText<qint32>(gris);
    if (!coche) {
        erreursOuverture_ += refus(kCleGris, gris, kGrisParDefaut);
        coche = 0;
    }
    chkGreyscale->setChecked(*coche != 0);
    cboSubSample_Click();
}

void fSaveJPG::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (erreursOuverture_.isEmpty() || erreursMontrees_)
        return;
    erreursMontrees_ = true;
    auto* boite = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vantola"),
                                  erreursOuverture_.join(QLatin1Char('\n')), QMessageBox::Ok, this);
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->open();
}

void fSaveJPG::SaveImage(cImage* TheImage, const QString& FileName) {
    TheImage_ = TheImage;
    FileName_ = FileName;
}

void fSaveJPG::hscQuality_Change(int valeur) {
    lblQuality->setText(texteQualite(valeur));
    if (jpeg_)
        jpeg_->setQuality(valeur);
}

void fSaveJPG::cboSubSample_Click() {
    const bool gris = chkGreyscale->isChecked();
    cboSubSample->setEnabled(!gris);
    if (!jpeg_)
        return;
    if (gris) {
        jpeg_->SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    } else {
        const QString choix = cboSubSample->currentText();
        jpeg_->SetSamplingFrequencies(characterDigitValue(choix, 1), characterDigitValue(choix, 3),
                                      1, 1, 1, 1);
    }
}

bool fSaveJPG::enregistrerReglages() {
    Cls_InitREG ini;
    const QString valeurs[][2] = {
        {kCleEchantillon, cboSubSample->currentText()},
        {kCleIndex, QString::number(cboSubSample->currentIndex())},
        {kCleQualite, QString::number(hscQuality->value())},
        {kCleGris, chkGreyscale->isChecked() ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const auto& [cle, valeur] : valeurs)
        if (ini.IniEcrire(kSection, cle, valeur, sFichierParam_) == 0)
            return false;
    return true;
}

void fSaveJPG::cmdFinish_Click(int index) {
    if (index == 0) {
        done(QDialog::Rejected);
        return;
    }
    if (enregistrerReglages()) {
        done(QDialog::Accepted);
        return;
    }
    // Nothing is lost: the window stays open with the choices, for another try.
    auto* boite =
        new QMessageBox(QMessageBox::Warning, QStringLiteral("Vantola"),
                        QStringLiteral("Les réglages JPEG n'ont pas pu être enregistrés dans %1.")
                            .arg(sFichierParam_),
                        QMessageBox::Ok, this);
    boite->setAttribute(Qt::WA_DeleteOnClose);
    boite->open();
}

void fSaveJPG::done(int resultat) {
    // The window lets go of the picture and of its encoder when it closes.
    jpeg_.reset();
    TheImage_ = nullptr;
    FileName_.clear();
    QDialog::done(resultat);
}

} // namespace vantola
