#include "app/jpeg_settings_dialog.h"

#include "app/app_icon.h"
#include "app/single_window.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
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
constexpr Place kWindow{0, 0, 4455, 2535}; // the buttons' far corner plus the 120 margin
constexpr Place kSettingsFrame{120, 120, 4215, 1815};
// Inside settingsFrame:
constexpr Place kLblQuality{360, 360, 1215, 255};
constexpr Place kHscQuality{1920, 360, 2055, 255};
constexpr Place kLblSubSample{360, 840, 1455, 255};
constexpr Place kCboSubSample{1920, 840, 2055, 315};
constexpr Place kChkGreyscale{360, 1320, 1335, 255};
constexpr Place kCmdComment{2880, 1320, 1095, 255};
// In the window:
constexpr Place kCmdAnnuler{120, 2040, 1215, 375};
constexpr Place kCmdOK{3120, 2040, 1215, 375};

int pixels(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale / kTwipsParPixel));
}

QRect rectangle(const Place& place, double scale) {
    return {pixels(place.left, scale), pixels(place.top, scale), pixels(place.width, scale),
            pixels(place.height, scale)};
}

// How much a control must grow for its content to fit the place, 1 when it fits.
double enlargement(const QSize& content, const Place& place) {
    return std::max(content.width() * kTwipsParPixel / place.width,
                    content.height() * kTwipsParPixel / place.height);
}

QString qualityText(int value) {
    QString text = QStringLiteral("Quality: ") + QString::number(value);
    if (value < 50 || value >= 96)
        text += QStringLiteral(" ???");
    return text;
}

QString refusal(const QString& key, const QString& value, const QString& byDefault) {
    return QCoreApplication::translate(
               "vantola::fSaveJPG",
               "param.ini : la valeur « %1 » de %2 est refusée ; la valeur %3 est "
               "utilisée.")
        .arg(value, key, byDefault);
}

} // namespace

const QStringList& fSaveJPG::samplingEntries() {
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
    createControls();
    placeControls();
    loadSettings();
}

fSaveJPG::~fSaveJPG() = default;

fSaveJPG* fSaveJPG::showWindow(const ProgramState& state, QWidget* parent) {
    if (auto* open = raiseOpenWindow<fSaveJPG>(parent))
        return open;
    auto* window = new fSaveJPG(state, parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

void fSaveJPG::createControls() {
    settingsFrame = new QFrame(this);
    settingsFrame->setFrameShape(QFrame::Box);
    settingsFrame->setFrameShadow(QFrame::Sunken);

    lblQuality = new QLabel(QStringLiteral("Quality:"), settingsFrame);
    hscQuality = new QScrollBar(Qt::Horizontal, settingsFrame);
    hscQuality->setRange(kQualiteMin, kQualiteMax);
    hscQuality->setPageStep(10);
    // A scroll bar takes no focus by default: this one is first in the tab order, and the arrows
    // move it.
    hscQuality->setFocusPolicy(Qt::StrongFocus);
    // A scroll bar's keys are inverted for scrolling a view; here the right arrow raises the
    // quality.
    hscQuality->setInvertedControls(false);
    lblSubSample = new QLabel(QStringLiteral("Sub Sampling:"), settingsFrame);
    cboSubSample = new QComboBox(settingsFrame);
    cboSubSample->addItems(samplingEntries());
    chkGreyscale = new QCheckBox(QStringLiteral("Greyscale"), settingsFrame);
    // The comment button has no action: it is shown greyed out.
    cmdComment = new QPushButton(QStringLiteral("Comment"), settingsFrame);
    cmdComment->setEnabled(false);

    cmdFinish[0] =
        new QPushButton(QCoreApplication::translate("vantola::fSaveJPG", "Annuler"), this);
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
void fSaveJPG::placeControls() {
    const QFontMetrics metrics = fontMetrics();
    const int height = metrics.height();
    const int margin = metrics.averageCharWidth();
    const QSize quality(metrics.horizontalAdvance(qualityText(100)) + margin, height);
    const QSize sampling(metrics.horizontalAdvance(lblSubSample->text()) + margin, height);
    const QSize comment(metrics.horizontalAdvance(cmdComment->text()) + 2 * margin, height);
    const double scale = std::max(
        {1.0, enlargement(quality, kLblQuality), enlargement(sampling, kLblSubSample),
         enlargement(cboSubSample->sizeHint(), kCboSubSample),
         enlargement(chkGreyscale->sizeHint(), kChkGreyscale), enlargement(comment, kCmdComment)});

    settingsFrame->setGeometry(rectangle(kSettingsFrame, scale));
    lblQuality->setGeometry(rectangle(kLblQuality, scale));
    hscQuality->setGeometry(rectangle(kHscQuality, scale));
    lblSubSample->setGeometry(rectangle(kLblSubSample, scale));
    cboSubSample->setGeometry(rectangle(kCboSubSample, scale));
    chkGreyscale->setGeometry(rectangle(kChkGreyscale, scale));
    cmdComment->setGeometry(rectangle(kCmdComment, scale));
    cmdFinish[0]->setGeometry(rectangle(kCmdAnnuler, scale));
    cmdFinish[1]->setGeometry(rectangle(kCmdOK, scale));
    setFixedSize(rectangle(kWindow, scale).size());
}

void fSaveJPG::loadSettings() {
    QString index = kIndexParDefaut;
    QString quality = kQualiteParDefaut;
    QString grey = kGrisParDefaut;
    try {
        Cls_InitREG ini;
        index = ini.IniLire(kSection, kCleIndex, kIndexParDefaut, sFichierParam_);
        quality = ini.IniLire(kSection, kCleQualite, kQualiteParDefaut, sFichierParam_);
        grey = ini.IniLire(kSection, kCleGris, kGrisParDefaut, sFichierParam_);
    } catch (const AppError&) {
        loadErrors_ += QCoreApplication::translate(
                           "vantola::fSaveJPG", "Le fichier %1 ne peut pas être lu : les réglages "
                                                "par défaut sont utilisés.")
                           .arg(sFichierParam_);
        index = kIndexParDefaut;
        quality = kQualiteParDefaut;
        grey = kGrisParDefaut;
    }

    // Each control takes its setting, then its handler runs, as when the user sets it.
    const QSignalBlocker listBlocker(cboSubSample);
    const QSignalBlocker qualityBlocker(hscQuality);
    const QSignalBlocker greyBlocker(chkGreyscale);

    std::optional<qint32> position = numberFromText<qint32>(index);
    if (!position || *position < 0 || *position >= cboSubSample->count()) {
        loadErrors_ += refusal(kCleIndex, index, kIndexParDefaut);
        position = kIndexParDefaut.toInt();
    }
    cboSubSample->setCurrentIndex(*position);
    cboSubSample_Click();

    std::optional<qint32> value = numberFromText<qint32>(quality);
    if (!value || *value < kQualiteMin || *value > kQualiteMax) {
        loadErrors_ += refusal(kCleQualite, quality, kQualiteParDefaut);
        value = kQualiteParDefaut.toInt();
    }
    hscQuality->setValue(*value);
    hscQuality_Change(*value);

    // Any number other than 0 means grey, as for the piece writer.
    std::optional<qint32> checked = numberFromText<qint32>(grey);
    if (!checked) {
        loadErrors_ += refusal(kCleGris, grey, kGrisParDefaut);
        checked = 0;
    }
    chkGreyscale->setChecked(*checked != 0);
    cboSubSample_Click();
}

void fSaveJPG::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (loadErrors_.isEmpty() || errorsShown_)
        return;
    errorsShown_ = true;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Vantola"),
                                loadErrors_.join(QLatin1Char('\n')), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void fSaveJPG::SaveImage(cImage* TheImage, const QString& FileName) {
    TheImage_ = TheImage;
    FileName_ = FileName;
}

void fSaveJPG::hscQuality_Change(int value) {
    lblQuality->setText(qualityText(value));
    if (jpeg_)
        jpeg_->setQuality(value);
}

void fSaveJPG::cboSubSample_Click() {
    const bool grey = chkGreyscale->isChecked();
    cboSubSample->setEnabled(!grey);
    if (!jpeg_)
        return;
    if (grey) {
        jpeg_->SetSamplingFrequencies(1, 1, 0, 0, 0, 0);
    } else {
        const QString chosen = cboSubSample->currentText();
        jpeg_->SetSamplingFrequencies(characterDigitValue(chosen, 1),
                                      characterDigitValue(chosen, 3), 1, 1, 1, 1);
    }
}

bool fSaveJPG::saveSettings() {
    Cls_InitREG ini;
    const QString values[][2] = {
        {kCleEchantillon, cboSubSample->currentText()},
        {kCleIndex, QString::number(cboSubSample->currentIndex())},
        {kCleQualite, QString::number(hscQuality->value())},
        {kCleGris, chkGreyscale->isChecked() ? QStringLiteral("1") : QStringLiteral("0")},
    };
    for (const auto& [key, value] : values)
        if (ini.IniEcrire(kSection, key, value, sFichierParam_) == 0)
            return false;
    return true;
}

void fSaveJPG::cmdFinish_Click(int index) {
    if (index == 0) {
        done(QDialog::Rejected);
        return;
    }
    if (saveSettings()) {
        done(QDialog::Accepted);
        return;
    }
    // Nothing is lost: the window stays open with the choices, for another try.
    auto* box = new QMessageBox(
        QMessageBox::Warning, QStringLiteral("Vantola"),
        QCoreApplication::translate("vantola::fSaveJPG",
                                    "Les réglages JPEG n'ont pas pu être enregistrés dans %1.")
            .arg(sFichierParam_),
        QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void fSaveJPG::done(int result) {
    // The window lets go of the picture and of its encoder when it closes.
    jpeg_.reset();
    TheImage_ = nullptr;
    FileName_.clear();
    QDialog::done(result);
}

} // namespace vantola
