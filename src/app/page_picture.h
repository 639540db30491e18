#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

namespace vantola {

// The page picture shown at its natural size inside the page view's frame. A drag over it draws
// the rubber band: every rectangle between the press point and the pointer stays drawn while the
// button is held, and the release clears them. The picture reports the release with the press
// point; the press point then goes back to (0, 0), which means "no press pending".
class PagePicture : public QWidget {
    Q_OBJECT

public:
    explicit PagePicture(QWidget* parent = nullptr);

    // Shows a page (kept as 32-bit RGB) and sizes the picture to it.
    void setPage(const QImage& page);
    const QImage& page() const { return page_; }

    QPoint pressPoint() const { return press_; }
    // The rectangles of the rubber band drawn since the press.
    const std::vector<QRect>& drawings() const { return drawings_; }

signals:
    // The mouse was released at `release` after a press at `press` (pixels of the page).
    void released(QPoint press, QPoint release);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage page_;
    QPoint press_;
    std::vector<QRect> drawings_;
};

// A mouse position in page pixels, each coordinate rounded to the nearest integer, halves to
// even.
QPoint roundedPosition(const QPointF& position);

} // namespace vantola
