// The review window: its controls, its loading on the source folder, and the showing of a page
// (the page picture, the sketch of its cuts, the thumbnails of its pieces, the info label and
// the caption).
#include "review/frm_diapo.h"

#include "review/cut_overlay.h"
#include "review/cut_sketch.h"
#include "review/mdi_compare.h"
#include "review/picture_box.h"
#include "review/picture_preview.h"
#include "review/review_captions.h"
#include "review/review_host.h"
#include "review/shrink_to_fit.h"
#include "review/thumbnail_fit.h"
#include "review/thumbnail_slot.h"
#include "review/twips.h"
#include "settings/folder_listing.h"
#include "settings/path_parts.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>

namespace vantola {

namespace {

// The places of the controls, in twips, as the window was drawn (client area 14160 x 8220).
constexpr TwipsRect kColumnTitles[3] = {
    {120, 0, 1935, 255}, {3960, 0, 1935, 255}, {6000, 0, 1935, 255}};
constexpr TwipsRect kPageFrame{0, 240, 3855, 6135};
constexpr TwipsRect kPagePicture{120, 240, 3615, 5775}; // inside the page frame
constexpr TwipsRect kSketchSurface{3960, 360, 1935, 3135};
constexpr TwipsRect kThumbnailFrame{6000, 285, 7845, 5250};
constexpr TwipsRect kScreenBar{13920, 0, 240, 5340};
constexpr TwipsRect kInfoLabel{3960, 5640, 10185, 360};
constexpr TwipsRect kWhiteLevelLabel{3960, 6120, 1335, 255};
constexpr TwipsRect kWhiteLevelEdit{5400, 6120, 615, 285};
constexpr TwipsRect kDebugBox{6480, 6120, 1695, 255};
constexpr TwipsRect kPageBar{0, 6480, 3855, 375};
constexpr TwipsRect kRecutPageButton{3960, 6480, 2295, 375};
constexpr TwipsRect kRecutMarkedButton{6360, 6480, 3855, 375};
constexpr TwipsRect kRecutMarkBox{120, 6960, 3735, 255};
constexpr TwipsRect kRestoreButton{3960, 6960, 2295, 375}; // free room under the re-cut button
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

QString thumbnailToolTip() {
    return QCoreApplication::translate("vantola::frmDiapo", "Double clique = effacer le fichier");
}

// The real question box (QMessageBox with the buttons Yes and No), parented to the window.
ReviewHooks defaultReviewHooks(QWidget* parent) {
    ReviewHooks hooks;
    hooks.askYesNo = [parent](const QString& title, const QString& text) {
        return QMessageBox::question(parent, title, text, QMessageBox::Yes | QMessageBox::No) ==
               QMessageBox::Yes;
    };
    return hooks;
}

} // namespace

frmDiapo::frmDiapo(MDI_Compare& container, ReviewHost& host, QWidget* parent)
    : QWidget(parent), container_(container), host_(host), state_(host.state()),
      hooks_(defaultReviewHooks(this)) {
    setObjectName(QStringLiteral("frmDiapo"));
    setMinimumSize(toPixels(kClientArea).size());
    // The window itself takes the keys that step pages; the white level box gives them back.
    setFocusPolicy(Qt::StrongFocus);
    buildControls();
    buildThumbnailSlots();
    Form_Load();
    setFocus();
}

PictureBox* frmDiapo::thumbnail(int slot) const {
    return FrameContour(slot)->picture();
}

void frmDiapo::buildControls() {
    for (int column = 0; column < 3; ++column) {
        const std::string name = "columnTitle" + std::to_string(column);
        columnTitles_[std::size_t(column)] =
            placed(new QLabel(this), name.c_str(), kColumnTitles[column]);
    }
    pageFrame_ = placed(new QFrame(this), "pageFrame", kPageFrame);
    pageFrame_->setFrameShape(QFrame::Box);
    pageFrame_->setFrameShadow(QFrame::Sunken);
    pagePicture_ = placed(new PictureBox(pageFrame_), "ImageORIGINAL", kPagePicture);
    sketchSurface_ = placed(new CutOverlay(this), "PicCalque", kSketchSurface);

    thumbnailFrame_ = placed(new QFrame(this), "thumbnailFrame", kThumbnailFrame);
    setColours(thumbnailFrame_, QColor(64, 64, 64), Qt::white);
    screenBar_ = placed(new QScrollBar(Qt::Vertical, this), "ScrVerticale", kScreenBar);
    screenBar_->setRange(0, 0);
    screenBar_->setSingleStep(1);
    screenBar_->setPageStep(1);

    infoLabel_ = placed(new QLabel(this), "LblInfo", kInfoLabel);
    infoLabel_->setAlignment(Qt::AlignCenter);
    setColours(infoLabel_, Qt::black, QColor(255, 255, 0));
    QFont infoFont(QStringLiteral("MS Sans Serif"));
    infoFont.setPointSizeF(13.5);
    infoLabel_->setFont(infoFont);

    whiteLevelLabel_ = placed(new QLabel(this), "whiteLevelLabel", kWhiteLevelLabel);
    whiteLevelEdit_ = placed(new QLineEdit(this), "txtNbBlanc", kWhiteLevelEdit);
    debugBox_ = placed(new QCheckBox(this), "chkDebug", kDebugBox);
    debugBox_->setToolTip(QCoreApplication::translate(
        "vantola::frmDiapo", "Permet de savoir pourquoi une decoupe ne se fait pas "
                             "correctement via le log"));
    pageBar_ = placed(new QScrollBar(Qt::Horizontal, this), "HScrollFile", kPageBar);
    pageBar_->setSingleStep(1);
    pageBar_->setPageStep(1);
    recutPageButton_ = placed(new QPushButton(this), "CmdRedecouper", kRecutPageButton);
    recutMarkedButton_ = placed(new QPushButton(this), "CmdRecoupeALL", kRecutMarkedButton);
    recutMarkBox_ = placed(new QCheckBox(this), "chkRedecoupe", kRecutMarkBox);
    restoreButton_ = placed(
        new QPushButton(
            QCoreApplication::translate("vantola::frmDiapo", "Rétablir l'image effacée"), this),
        "CmdRetablir", kRestoreButton);
    restoreButton_->setToolTip(QStringLiteral("Ctrl+Z"));
    restoreButton_->setEnabled(false);

    connect(pageBar_, &QScrollBar::valueChanged, this, &frmDiapo::HScrollFile_Change);
    connect(screenBar_, &QScrollBar::valueChanged, this, &frmDiapo::ScrVerticale_Change);
    connect(recutMarkBox_, &QCheckBox::toggled, this, &frmDiapo::chkRedecoupe_Click);
    connect(recutPageButton_, &QPushButton::clicked, this, &frmDiapo::CmdRedecouper_Click);
    connect(recutMarkedButton_, &QPushButton::clicked, this, &frmDiapo::CmdRecoupeALL_Click);
    connect(restoreButton_, &QPushButton::clicked, this, &frmDiapo::RetablirDiapo);
    connect(whiteLevelEdit_, &QLineEdit::returnPressed, this, [this] { setFocus(); });
}

void frmDiapo::buildThumbnailSlots() {
    for (int index = 0; index < kThumbnailSlots; ++index) {
        auto* slot = new ThumbnailSlot(index, thumbnailFrame_);
        slot->setGeometry(toPixels(slotFrameTwips(index)));
        slot->hide();
        connect(slot, &ThumbnailSlot::doubleClicked, this, &frmDiapo::EffacerDiapo);
        connect(slot, &ThumbnailSlot::pressed, this, &frmDiapo::thumbnailPressed);
        thumbnailSlots_[std::size_t(index)] = slot;
    }
}

void frmDiapo::Form_Load() {
    const ReviewCaptions captions = readReviewCaptions(state_);
    setWindowTitle(captions.window);
    for (std::size_t column = 0; column < columnTitles_.size(); ++column)
        columnTitles_[column]->setText(captions.controls[column]);
    whiteLevelLabel_->setText(captions.controls[3]);
    debugBox_->setText(captions.controls[4]);
    recutPageButton_->setText(captions.controls[5]);
    recutMarkedButton_->setText(captions.controls[6]);
    recutMarkBox_->setText(captions.controls[7]);
    for (QWidget* control : std::initializer_list<QWidget*>{
             columnTitles_[0], columnTitles_[1], columnTitles_[2], whiteLevelLabel_, debugBox_,
             recutPageButton_, recutMarkedButton_, recutMarkBox_, restoreButton_})
        shrinkFontToFit(control);

    whiteLevelEdit_->setText(QString::number(state_.lNiveauBlanc));

    sourceFolder_ = state_.sRepSource;
    sourceFinder_ = state_.sourceFinder;
    // An empty folder name would list the working folder: no folder, no pages.
    if (!sourceFolder_.isEmpty()) {
        for (const QString& name : listFolderPages(sourceFolder_))
            pages_.push_back({name, QString()});
    }

    infoLabel_->setText(QCoreApplication::translate("vantola::frmDiapo", "Numero 1 / 1"));
    centreInfoLabel();
    screenBar_->setMaximum(0);

    if (pages_.empty()) {
        // No page to show: nothing is loaded, and the window says so instead.
        pageBar_->setRange(0, 0);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 pageBar_, recutPageButton_, recutMarkedButton_, recutMarkBox_, screenBar_})
            control->setEnabled(false);
        infoLabel_->setText(
            QCoreApplication::translate("vantola::frmDiapo", "Aucune image .JPG dans ") +
            sourceFolder_);
        pagePicture_->setNotice(
            QCoreApplication::translate("vantola::frmDiapo", "Aucune page à montrer"));
        return;
    }
    pageBar_->setRange(0, int(pages_.size()) - 1);
    AfficherImage();
}

void frmDiapo::centreInfoLabel() {
    // Centred in the window, but never further left than it was drawn: in a window narrower
    // than twice the page frame's width it would cover the bottom of the page picture.
    const TwipsRect thumbnails = grownPlace(kThumbnailFrame, growth_);
    const int top = twipsToPixels(thumbnails.top + thumbnails.height + kInfoLabelGap);
    const int centred = (width() - infoLabel_->width()) / 2;
    infoLabel_->move(std::max(centred, twipsToPixels(movedPlace(kInfoLabel, growth_).left)), top);
}

void frmDiapo::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const LayoutGrowth growth = LayoutGrowth::forClientSize(size());
    const bool grew = growth.width != growth_.width || growth.height != growth_.height;
    growth_ = growth;
    layOut();
    // The pictures and the sketch are drawn again at their new size, once the resizing is over
    // (not while a re-cut runs: it shows the page again when it ends).
    if (!grew || pages_.empty() || refreshPending_)
        return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        if (isEnabled())
            AfficherImage();
    });
}

void frmDiapo::layOut() {
    for (std::size_t column = 0; column < columnTitles_.size(); ++column)
        columnTitles_[column]->setGeometry(toPixels(movedPlace(kColumnTitles[column], growth_)));
    const TwipsRect page = grownPlace(kPageFrame, growth_);
    pageFrame_->setGeometry(toPixels(page));
    pagePicture_->setGeometry(toPixels({kPagePicture.left, kPagePicture.top,
                                        page.width - (kPageFrame.width - kPagePicture.width),
                                        page.height - (kPageFrame.height - kPagePicture.height)}));
    sketchSurface_->setGeometry(toPixels(grownPlace(kSketchSurface, growth_)));
    const TwipsRect thumbnails = grownPlace(kThumbnailFrame, growth_);
    thumbnailFrame_->setGeometry(toPixels(thumbnails));
    thumbnailScaleX_ = thumbnails.width / kThumbnailFrame.width;
    thumbnailScaleY_ = thumbnails.height / kThumbnailFrame.height;
    for (int slot = 0; slot < kThumbnailSlots; ++slot)
        thumbnailSlots_[std::size_t(slot)]->setGeometry(
            toPixels(scaledSlot(slotFrameTwips(slot), thumbnailScaleX_, thumbnailScaleY_)));
    screenBar_->setGeometry(toPixels(grownPlace(kScreenBar, growth_)));
    pageBar_->setGeometry(toPixels(grownPlace(kPageBar, growth_)));
    const std::pair<QWidget*, const TwipsRect&> moved[] = {{whiteLevelLabel_, kWhiteLevelLabel},
                                                           {whiteLevelEdit_, kWhiteLevelEdit},
                                                           {debugBox_, kDebugBox},
                                                           {recutPageButton_, kRecutPageButton},
                                                           {recutMarkedButton_, kRecutMarkedButton},
                                                           {recutMarkBox_, kRecutMarkBox},
                                                           {restoreButton_, kRestoreButton}};
    for (const auto& [control, drawn] : moved)
        control->setGeometry(toPixels(movedPlace(drawn, growth_)));
    centreInfoLabel();
}

void frmDiapo::AfficherImage() {
    if (pages_.empty())
        return;
    const int page = pageBar_->value();
    const QString& name = pages_[std::size_t(page)].name;
    const QString path = sourceFolder_ + name;

    showPagePicture(path, name);
    drawCutSketch(path);
    container_.renseigner_tableau(sourceFolder_, name);
    AfficherDiapos();
    infoLabel_->setText(QString::number(state_.tabDiapos.size()) +
                        QCoreApplication::translate("vantola::frmDiapo", " diapos sur ") + name);
    setWindowTitle(sourceFolder_ + QStringLiteral("   (") + QString::number(page) +
                   QLatin1Char('/') + QString::number(pageBar_->maximum()) + QLatin1Char(')'));
}

void frmDiapo::showPagePicture(const QString& path, const QString& name) {
    const PicturePreview preview =
        loadPreview(path, [this](QSize) { return pagePicture_->size(); });
    if (preview.shown())
        pagePicture_->setPicture(preview.image);
    else
        pagePicture_->setNotice(
            QCoreApplication::translate("vantola::frmDiapo", "Page non affichée : %1 (%2)")
                .arg(name, preview.problem));
}

void frmDiapo::drawCutSketch(const QString& path) {
    sketchSurface_->Cls();
    const CutSketch sketch =
        readCutSketch(path, sketchSurface_->sizeTwips(), state_.sFichierDecoupage);
    for (const SketchOutline& outline : sketch.outlines)
        sketchSurface_->drawOutline(outline, outlineColour(outline));
    if (!sketch.problem.isEmpty())
        sketchSurface_->setNotice(sketch.problem);
}

void frmDiapo::AfficherDiapos() {
    const qsizetype screen = screenBar_->value();
    const qsizetype count = state_.tabDiapos.size();
    hideThumbnails();
    QProgressBar* bar = container_.progressBar();
    bar->setRange(0, kThumbnailSlots);
    bar->setValue(0);
    bar->show();
    {
        const BusyCursor busy;
        for (int slot = 0; slot < kThumbnailSlots; ++slot) {
            bar->setValue(slot);
            const qsizetype piece = screen * kThumbnailSlots + slot;
            if (piece < count)
                showThumbnail(slot, state_.tabDiapos[piece]);
        }
        bar->setValue(kThumbnailSlots);
        bar->hide();
    }
    // One position per screen of sixteen pieces. Lowering the maximum below the current screen
    // moves the scroll bar, whose change lays the thumbnails out again.
    screenBar_->setMaximum(int(count / kThumbnailSlots));
}

void frmDiapo::showThumbnail(int slot, const QString& piecePath) {
    ThumbnailSlot* frame = thumbnailSlots_[std::size_t(slot)];
    PictureBox* picture = frame->picture();
    frame->show();
    frame->setToolTip(thumbnailToolTip());
    picture->setToolTip(thumbnailToolTip());

    QRect place;
    const PicturePreview preview = loadPreview(piecePath, [&](QSize natural) {
        place = toPixels(
            scaledThumbnail(fitThumbnail(natural, slot), thumbnailScaleX_, thumbnailScaleY_));
        return place.size().expandedTo(QSize(1, 1));
    });
    if (preview.shown()) {
        picture->setPicture(preview.image);
    } else {
        place = toPixels(
            scaledThumbnail(fitThumbnail(QSize(), slot), thumbnailScaleX_, thumbnailScaleY_));
        picture->setNotice(
            QStringLiteral("%1\n(%2)").arg(ExtraireNomFichier(piecePath), preview.problem));
    }
    picture->setTag(piecePath);
    picture->setGeometry(QRect(place.topLeft(), place.size().expandedTo(QSize(1, 1))));
}

void frmDiapo::hideThumbnails() {
    selectSlot(-1);
    for (ThumbnailSlot* slot : thumbnailSlots_) {
        slot->hide();
        slot->picture()->clear();
    }
}

void frmDiapo::HScrollFile_Change() {
    AfficherImage();
    if (pages_.empty())
        return;
    const PageRow& row = pages_[std::size_t(pageBar_->value())];
    recutMarkBox_->setChecked(row.mark == QLatin1String("OK"));
}

void frmDiapo::selectSlot(int slot) {
    selectedSlot_ = slot;
    for (ThumbnailSlot* each : thumbnailSlots_)
        each->setSelected(each->index() == slot);
}

void frmDiapo::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Undo)) {
        RetablirDiapo();
        return;
    }
    switch (event->key()) {
    case Qt::Key_PageDown:
    case Qt::Key_Right:
    case Qt::Key_Down:
        pageBar_->setValue(pageBar_->value() + 1);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_Left:
    case Qt::Key_Up:
        pageBar_->setValue(pageBar_->value() - 1);
        break;
    case Qt::Key_Home:
        pageBar_->setValue(pageBar_->minimum());
        break;
    case Qt::Key_End:
        pageBar_->setValue(pageBar_->maximum());
        break;
    case Qt::Key_Delete:
        if (selectedSlot_ >= 0)
            askAndDelete(selectedSlot_);
        break;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4:
    case Qt::Key_5:
    case Qt::Key_6:
    case Qt::Key_7:
    case Qt::Key_8:
    case Qt::Key_9: {
        // The digit selects the shown piece of that place, as a left click does.
        const auto place = std::size_t(event->key() - Qt::Key_1);
        if (place < thumbnailSlots_.size() && !thumbnailSlots_[place]->isHidden())
            selectSlot(thumbnailSlots_[place]->index());
        break;
    }
    case Qt::Key_Escape:
        setFocus();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void frmDiapo::ScrVerticale_Change() {
    hideThumbnails();
    AfficherDiapos();
}

} // namespace vantola
