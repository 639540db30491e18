#include "app/progress_panel.h"

#include <QPainter>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

namespace vantola {

namespace {

// Room between the label and the panel's left edge.
constexpr int kTextMargin = 3;

} // namespace

QColor colourFromPacked(quint32 packed) {
    return QColor(int(packed & 0xff), int((packed >> 8) & 0xff), int((packed >> 16) & 0xff));
}

Pgb2Panel::Pgb2Panel(QWidget* parent)
    : QWidget(parent), textColor_(palette().color(QPalette::WindowText)),
      progressColor_(palette().color(QPalette::Highlight)) {
    setMinimumWidth(120);
    setMinimumHeight(fontMetrics().height() + 6);
}

void Pgb2Panel::Initialize(QStatusBar* StatBar) {
    statusBar_ = StatBar;
}

void Pgb2Panel::setTextColor(const QColor& Couleur) {
    textColor_ = Couleur;
}

void Pgb2Panel::setProgressColor(const QColor& Couleur) {
    progressColor_ = Couleur;
}

QSize Pgb2Panel::sizeHint() const {
    return QSize(300, fontMetrics().height() + 6);
}

void Pgb2Panel::DrawPanel(qint16 Valeur, const QString& TextBefore) {
    if (!isReady())
        return;
    // Redrawing the same bar would only cost time: the cutter reports the page's progress
    // on every row.
    const int value = std::min<int>(Valeur, 100);
    if (!picture_.isNull() && value == value_ && TextBefore == text_ && picture_.size() == size())
        return;
    value_ = value;
    text_ = TextBefore;
    render();
    update();
}

void Pgb2Panel::render() {
    const int width = std::max(1, this->width());
    const int height = std::max(1, this->height());
    picture_ = QImage(width, height, QImage::Format_RGB32);
    picture_.fill(palette().color(QPalette::Window));

    QPainter painter(&picture_);
    painter.setFont(font());
    int barLeft = 0;
    if (!text_.isEmpty()) {
        painter.setPen(textColor_);
        const QRect textArea(kTextMargin, 0, width - kTextMargin, height);
        QRect drawn;
        painter.drawText(textArea, Qt::AlignLeft | Qt::AlignVCenter, text_, &drawn);
        barLeft = std::min(width, drawn.right() + 1 + kTextMargin);
    }
    painter.setPen(progressColor_);
    painter.drawText(QRect(barLeft, 0, width - barLeft, height), Qt::AlignCenter,
                     QString::number(value_) + QLatin1Char('%'));
    if (value_ > 0) {
        const int barWidth = int(std::nearbyint(double(width - barLeft) * value_ / 100.0));
        // Not-XOR of the bar's colour and what lies under it: the percentage under the bar is
        // inverted, not hidden.
        painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        painter.fillRect(QRect(barLeft, 0, barWidth, height), progressColor_);
    }
}

void Pgb2Panel::paintEvent(QPaintEvent* event) {
    Q_UNUSED(event);
    if (picture_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, picture_);
}

void Pgb2Panel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!picture_.isNull())
        render();
}

} // namespace vantola
