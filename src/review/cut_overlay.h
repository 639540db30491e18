#pragma once

#include "review/cut_sketch.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

namespace vantola {

// The drawing surface on which the review window sketches where a page was cut: a white
// surface, the outline of each cut rectangle (given in twips of the surface), and a notice when
// the cuts could not all be drawn.
class CutOverlay : public QWidget {
    Q_OBJECT

public:
    explicit CutOverlay(QWidget* parent = nullptr);

    // The surface's size in twips, the unit of the outlines.
    QSizeF sizeTwips() const;

    // Clears the surface, its outlines and its notice.
    void Cls();
    void drawOutline(const SketchOutline& outline, const QColor& colour);
    // A line of text at the bottom of the surface, saying what could not be drawn.
    void setNotice(const QString& notice);

    // What the surface shows.
    const QImage& surface() const { return surface_; }
    const QString& notice() const { return notice_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QImage surface_;
    QString notice_;
};

// The colours of the outlines: red for a piece that was cut again, black otherwise.
QColor outlineColour(const SketchOutline& outline);

} // namespace vantola
