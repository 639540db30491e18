#include "review/frm_diapo.h"

#include "app/main_window.h"
#include "review/cut_overlay.h"
#include "review/picture_box.h"
#include "review/review_captions.h"
#include "review/shrink_to_fit.h"
#include "review/thumbnail_fit.h"
#include "review/thumbnail_slot.h"
#include "review/twips.h"
#include "settings/folder_listing.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <algorithm>

namespace vantola {

namespace {

// The places of the controls, in twips, as the window was drawn (client area 14160 x 8220).
constexpr TwipsRect kLabeltxt[3] = {
    {120, 0, 1935, 255}, {3960, 0, 1935, 255}, {6000, 0, 1935, 255}};
constexpr TwipsRect kFrame2{0, 240, 3855, 6135};
constexpr TwipsRect kImageOriginal{120, 240, 3615, 5775}; // inside Frame2
constexpr TwipsRect kPicCalque{3960, 360, 1935, 3135};
constexpr TwipsRect kFrame1{6000, 285, 7845, 5250};
constexpr TwipsRect kScrVerticale{13920, 0, 240, 5340};
constexpr TwipsRect kLblInfo{3960, 5640, 10185, 360};
constexpr TwipsRect kLabel1{3960, 6120, 1335, 255};
constexpr TwipsRect kTxtNbBlanc{5400, 6120, 615, 285};
constexpr TwipsRect kChkDebug{6480, 6120, 1695, 255};
constexpr TwipsRect kHScrollFile{0, 6480, 3855, 375};
constexpr TwipsRect kCmdRedecouper{3960, 6480, 2295, 375};
constexpr TwipsRect kCmdRecoupeAll{6360, 6480, 3855, 375};
constexpr TwipsRect kChkRedecoupe{120, 6960, 3735, 255};
constexpr TwipsRect kClientArea{0, 0, 14160, 8220};
// The info label sits this far below the thumbnail frame.
constexpr double kInfoLabelGap = 100;

template <class Widget>
Widget* placed(Widget* widget, const char* name, const TwipsRect& where) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(toPixels(where));
    return widget;
}

void setColours(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmDiapo::frmDiapo(MDI_Compare& container, frmBD& mainWindow, QWidget* parent)
    : QWidget(parent), container_(container), mainWindow_(mainWindow), state_(mainWindow.state()),
      hooks_(defaultReviewHooks(this)) {
    setObjectName(QStringLiteral("frmDiapo"));
    setMinimumSize(toPixels(kClientArea).size());
    buildControls();
    buildThumbnailSlots();
    Form_Load();
}

PictureBox* frmDiapo::Image1(int index) const {
    return FrameContour(index)->picture();
}

void frmDiapo::buildControls() {
    for (int i = 0; i < 3; ++i) {
        const std::string name = "Labeltxt" + std::to_string(i);
        labeltxt_[std::size_t(i)] = placed(new QLabel(this), name.c_str(), kLabeltxt[i]);
    }
    frame2_ = placed(new QFrame(this), "Frame2", kFrame2);
    frame2_->setFrameShape(QFrame::Box);
    frame2_->setFrameShadow(QFrame::Sunken);
    imageOriginal_ = placed(new PictureBox(frame2_), "ImageORIGINAL", kImageOriginal);
    picCalque_ = placed(new CutOverlay(this), "PicCalque", kPicCalque);

    frame1_ = placed(new QFrame(this), "Frame1", kFrame1);
    setColours(frame1_, QColor(64, 64, 64), Qt::white);
    scrVerticale_ = placed(new QScrollBar(Qt::Vertical, this), "ScrVerticale", kScrVerticale);
    scrVerticale_->setRange(0, 0);
    scrVerticale_->setSingleStep(1);
    scrVerticale_->setPageStep(1);

    lblInfo_ = placed(new QLabel(this), "LblInfo", kLblInfo);
    lblInfo_->setAlignment(Qt::AlignCenter);
    setColours(lblInfo_, Qt::black, QColor(255, 255, 0));
    QFont infoFont(QStringLiteral("MS Sans Serif"));
    infoFont.setPointSizeF(13.5);
    lblInfo_->setFont(infoFont);

    label1_ = placed(new QLabel(this), "Label1", kLabel1);
    txtNbBlanc_ = placed(new QLineEdit(this), "txtNbBlanc", kTxtNbBlanc);
    chkDebug_ = placed(new QCheckBox(this), "chkDebug", kChkDebug);
    chkDebug_->setToolTip(QStringLiteral("Permet de savoir pourquoi une decoupe ne se fait pas "
                                         "correctement via le log"));
    hScrollFile_ = placed(new QScrollBar(Qt::Horizontal, this), "HScrollFile", kHScrollFile);
    hScrollFile_->setSingleStep(1);
    hScrollFile_->setPageStep(1);
    cmdRedecouper_ = placed(new QPushButton(this), "CmdRedecouper", kCmdRedecouper);
    cmdRecoupeAll_ = placed(new QPushButton(this), "CmdRecoupeALL", kCmdRecoupeAll);
    chkRedecoupe_ = placed(new QCheckBox(this), "chkRedecoupe", kChkRedecoupe);

    connect(hScrollFile_, &QScrollBar::valueChanged, this, &frmDiapo::HScrollFile_Change);
    connect(scrVerticale_, &QScrollBar::valueChanged, this, &frmDiapo::ScrVerticale_Change);
    connect(chkRedecoupe_, &QCheckBox::toggled, this, &frmDiapo::chkRedecoupe_Click);
    connect(cmdRedecouper_, &QPushButton::clicked, this, &frmDiapo::CmdRedecouper_Click);
    connect(cmdRecoupeAll_, &QPushButton::clicked, this, &frmDiapo::CmdRecoupeALL_Click);
}

void frmDiapo::buildThumbnailSlots() {
    for (int i = 0; i < kThumbnailSlots; ++i) {
        auto* slot = new ThumbnailSlot(i, frame1_);
        slot->setGeometry(toPixels(slotFrameTwips(i)));
        slot->hide();
        connect(slot, &ThumbnailSlot::doubleClicked, this, &frmDiapo::EffacerDiapo);
        connect(slot, &ThumbnailSlot::pressed, this, &frmDiapo::thumbnail_MouseDown);
        slots_[std::size_t(i)] = slot;
    }
}

void frmDiapo::Form_Load() {
    const ReviewCaptions captions = readReviewCaptions(state_);
    setWindowTitle(captions.window);
    for (int i = 0; i < 3; ++i)
        labeltxt_[std::size_t(i)]->setText(captions.controls[std::size_t(i)]);
    label1_->setText(captions.controls[3]);
    chkDebug_->setText(captions.controls[4]);
    cmdRedecouper_->setText(captions.controls[5]);
    cmdRecoupeAll_->setText(captions.controls[6]);
    chkRedecoupe_->setText(captions.controls[7]);
    for (QWidget* control :
         std::initializer_list<QWidget*>{labeltxt_[0], labeltxt_[1], labeltxt_[2], label1_,
                                         chkDebug_, cmdRedecouper_, cmdRecoupeAll_, chkRedecoupe_})
        shrinkFontToFit(control);

    txtNbBlanc_->setText(QString::number(state_.lNiveauBlanc));

    sRepSource_ = state_.sRepSource;
    // An empty folder name would list the working folder: no folder, no pages.
    if (!sRepSource_.isEmpty()) {
        for (const QString& name : listJpegPages(sRepSource_))
            tabImages_.push_back({name, QString()});
    }

    lblInfo_->setText(QStringLiteral("Numero 1 / 1"));
    centreInfoLabel();
    scrVerticale_->setMaximum(0);

    if (tabImages_.empty()) {
        // No page to show: nothing is loaded, and the window says so instead.
        hScrollFile_->setRange(0, 0);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 hScrollFile_, cmdRedecouper_, cmdRecoupeAll_, chkRedecoupe_, scrVerticale_})
            control->setEnabled(false);
        lblInfo_->setText(QStringLiteral("Aucune image .JPG dans ") + sRepSource_);
        imageOriginal_->setNotice(QStringLiteral("Aucune page à montrer"));
        return;
    }
    hScrollFile_->setRange(0, int(tabImages_.size()) - 1);
    AfficherImage();
}

void frmDiapo::centreInfoLabel() {
    // Centred in the window, but never further left than it was drawn: in a window narrower
    // than twice the page frame's width it would cover the bottom of the page picture.
    const int top = twipsToPixels(kFrame1.top + kFrame1.height + kInfoLabelGap);
    const int centred = (width() - lblInfo_->width()) / 2;
    lblInfo_->move(std::max(centred, twipsToPixels(kLblInfo.left)), top);
}

void frmDiapo::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The label stays centred in the window, whatever its size.
    centreInfoLabel();
}

} // namespace vantola
