#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace vantola {

// A picture stretched over the whole box (its proportions are not kept), or, when the picture
// could not be shown, a short notice in its place. Optionally outlined by a one-pixel border.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    void setPicture(const QImage& picture);
    // Shows the text instead of a picture.
    void setNotice(const QString& notice);
    void clear();

    const QImage& picture() const { return picture_; }
    const QString& notice() const { return notice_; }

    // The path of the file shown (the piece a thumbnail stands for).
    const QString& tag() const { return tag_; }
    void setTag(const QString& tag) { tag_ = tag; }

    bool bordered() const { return bordered_; }
    void setBordered(bool bordered);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QString notice_;
    QString tag_;
    bool bordered_ = false;
};

} // namespace vantola
