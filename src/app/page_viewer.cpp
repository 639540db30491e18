#include "app/page_viewer.h"

#include "app/page_picture.h"
#include "app/zone_measurement.h"
#include "image/picture_loader.h"
#include "settings/app_error.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <cmath>

namespace vantola {

namespace {

// Pixels that one scroll-bar unit moves the page.
constexpr int kScrollUnit = 10;

// The largest scroll value that still shows the end of the page: the page's extent less the
// frame's, in scroll units (halves to even). Negative when the page is smaller than the frame.
int scrollMaximum(int pageExtent, int frameExtent) {
    return int(
        std::nearbyint(double(pageExtent) / kScrollUnit - double(frameExtent) / kScrollUnit));
}

QString pageSizeText(const QImage& page) {
    return QCoreApplication::translate("vantola::PageViewer", "        Largeur: ") +
           QString::number(page.width()) +
           QCoreApplication::translate("vantola::PageViewer", " / Longueur:") +
           QString::number(page.height());
}

} // namespace

PageViewer::PageViewer(CuttingJob& job, WindowHooks& hooks, QWidget* parent)
    : QWidget(parent), job_(job), hooks_(hooks), info_(new QLabel(this)),
      hint_(new QLabel(tr("Pour commencer, ouvrez une image (Ctrl+O) ou déposez ici des "
                          "pages, un dossier, un PDF ou une archive de BD."),
                       this)),
      area_(new QWidget(this)), frame_(new QFrame(area_)), picture_(new PagePicture(frame_)),
      hScroll_(new QScrollBar(Qt::Horizontal, area_)),
      vScroll_(new QScrollBar(Qt::Vertical, area_)) {
    info_->setObjectName(QStringLiteral("LblInfo"));
    info_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    frame_->setObjectName(QStringLiteral("PicBIG"));
    frame_->setFrameShape(QFrame::Box);
    frame_->setBackgroundRole(QPalette::Dark);
    frame_->setAutoFillBackground(true);
    frame_->setMinimumSize(50, 50);
    area_->hide();
    hint_->setObjectName(QStringLiteral("startHint"));
    hint_->setAlignment(Qt::AlignCenter);
    hint_->setWordWrap(true);
    hint_->setForegroundRole(QPalette::PlaceholderText);
    picture_->setObjectName(QStringLiteral("PictureFROM"));
    hScroll_->setObjectName(QStringLiteral("HScroll1"));
    vScroll_->setObjectName(QStringLiteral("VScroll1"));
    for (QScrollBar* bar : {hScroll_, vScroll_}) {
        bar->setRange(0, 0);
        bar->setSingleStep(1);
        bar->hide();
    }

    auto* areaLayout = new QGridLayout(area_);
    areaLayout->setContentsMargins(0, 0, 0, 0);
    areaLayout->setSpacing(0);
    areaLayout->addWidget(frame_, 0, 0);
    areaLayout->addWidget(vScroll_, 0, 1);
    areaLayout->addWidget(hScroll_, 1, 0);
    areaLayout->setRowStretch(0, 1);
    areaLayout->setColumnStretch(0, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    // The label stays at the top when the frame is hidden (at the end of a job).
    layout->addWidget(info_, 0, Qt::AlignTop);
    layout->addWidget(area_, 1);
    layout->addWidget(hint_, 1);

    connect(vScroll_, &QScrollBar::valueChanged, this,
            [this](int v) { picture_->move(picture_->x(), -kScrollUnit * v); });
    connect(hScroll_, &QScrollBar::valueChanged, this,
            [this](int h) { picture_->move(-kScrollUnit * h, picture_->y()); });
    connect(picture_, &PagePicture::released, this, &PageViewer::onReleased);
    frame_->installEventFilter(this);
    picture_->installEventFilter(this);
}

bool PageViewer::openPage(const QString& path) {
    QImage page;
    try {
        page = loadPicture(path);
    } catch (const AppError& error) {
        hooks_.showMessage(tr("OUVRIR UNE IMAGE"), tr("L'image ne peut pas être ouverte : ") +
                                                       path + QStringLiteral("\r\n") +
                                                       error.description() +
                                                       tr(" (erreur %1)").arg(error.number()));
        return false;
    }
    setFrameVisible(true);
    setPage(page);
    info_->setText(path + pageSizeText(page));
    modeClic_ = kClickMeasures;
    return true;
}

void PageViewer::showJobPage(const QString& path, const QImage& page) {
    setPage(page);
    AfficherInfo(path);
}

void PageViewer::setPage(const QImage& page) {
    picture_->setPage(page);
    picture_->move(0, 0);
    // The values go back to the top-left corner without moving the page again.
    const QSignalBlocker blockH(hScroll_);
    const QSignalBlocker blockV(vScroll_);
    hScroll_->setValue(0);
    vScroll_->setValue(0);
    updateScrollRanges();
}

void PageViewer::updateScrollRanges() {
    const QImage& page = picture_->page();
    if (page.isNull())
        return;
    const int vMax = scrollMaximum(page.height(), frame_->height());
    const int hMax = scrollMaximum(page.width(), frame_->width());
    // Qt's scroll values are int: a page far taller than 16-bit values allow still scrolls to
    // its end. A page smaller than the frame gives a negative maximum, which the bar shows as
    // an empty range.
    vScroll_->setRange(0, vMax);
    hScroll_->setRange(0, hMax);
    vScroll_->setPageStep(std::max(1, frame_->height() / kScrollUnit));
    hScroll_->setPageStep(std::max(1, frame_->width() / kScrollUnit));
    if (vMax != 0)
        vScroll_->show();
    if (hMax != 0)
        hScroll_->show();
}

void PageViewer::AfficherInfo(const QString& text) {
    info_->setText(text + pageSizeText(picture_->page()) + tr(" -- Entete:") +
                   QString::number(job_.lLigneEntete) + tr("/ Pied: ") +
                   QString::number(job_.lLignePied));
}

void PageViewer::setFrameVisible(bool visible) {
    area_->setVisible(visible);
    hint_->setVisible(!visible);
}

void PageViewer::hideVerticalScrollBar() {
    vScroll_->hide();
}

void PageViewer::onReleased(QPoint press, QPoint release) {
    const ZoneMeasurement zone = measureZone(picture_->page(), press, release);
    const QString text = measurementText(zone);
    switch (modeClic_) {
    case kClickSetsHeader:
        job_.lLigneEntete = release.y();
        hooks_.showMessage(tr("ENTETE DEFINIE SUR LA LIGNE ") + QString::number(release.y()), text);
        break;
    case kClickSetsFooter:
        job_.lLignePied = release.y();
        hooks_.showMessage(tr("PIED DE PAGE DEFINI SUR LA LIGNE ") + QString::number(release.y()),
                           text);
        break;
    default:
        job_.lLigneEntete = 0;
        job_.lLignePied = 0;
        hooks_.showMessage(QStringLiteral("INFO"), text);
        break;
    }
    AfficherInfo(QString());
}

bool PageViewer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == frame_ && event->type() == QEvent::Resize)
        updateScrollRanges();
    // The wheel over the page scrolls it as the vertical bar would (the horizontal one with
    // a sideways wheel or Shift).
    if (event->type() == QEvent::Wheel && (watched == frame_ || watched == picture_)) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const bool sideways =
            wheel->angleDelta().x() != 0 || (wheel->modifiers() & Qt::ShiftModifier);
        QScrollBar* bar = sideways ? hScroll_ : vScroll_;
        if (bar->isVisible())
            QApplication::sendEvent(bar, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantola
