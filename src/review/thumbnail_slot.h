#pragma once

#include <QFrame>

namespace vantola {

class PictureBox;

// One thumbnail slot of the review window: the bordered frame FrameContour(i) holding the
// thumbnail's picture, whose tag is the path of the piece shown. Mouse presses and double clicks
// on the picture or on the frame are reported with the slot's index; while a press is handled
// the picture carries a border.
class ThumbnailSlot : public QFrame {
    Q_OBJECT

public:
    ThumbnailSlot(int index, QWidget* parent = nullptr);

    int index() const { return index_; }
    PictureBox* picture() const { return picture_; }
    // The slot chosen by a left click, which the Delete key deletes: drawn with a thick frame.
    bool isSelected() const { return lineWidth() > 1; }
    void setSelected(bool selected);

signals:
    void pressed(int index, Qt::MouseButton button);
    void doubleClicked(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int index_;
    PictureBox* picture_;
};

} // namespace vantola
