#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

class QStatusBar;

namespace vantola {

// A packed colour R + 256*G + 65536*B as a Qt colour.
QColor colourFromPacked(quint32 packed);

// A progress bar drawn into one panel of a status bar: a label at the left, the percentage
// centred in the rest of the panel, and the bar drawn over it in an inverting mode so that the
// part of the percentage under the bar stays readable. The widget is the panel; the drawing is
// kept in an off-screen picture that the widget shows.
class Pgb2Panel : public QWidget {
    Q_OBJECT

public:
    explicit Pgb2Panel(QWidget* parent = nullptr);

    // Makes the panel ready to draw inside the status bar, whose height it takes.
    void Initialize(QStatusBar* StatBar);
    bool isReady() const { return statusBar_ != nullptr; }

    QColor TextColor() const { return textColor_; }
    void setTextColor(const QColor& Couleur);
    QColor ProgressColor() const { return progressColor_; }
    void setProgressColor(const QColor& Couleur);

    // Draws the label and the percentage (values above 100 show as 100, values below 0 are
    // kept and draw no bar). Does nothing before Initialize.
    void DrawPanel(qint16 Valeur, const QString& TextBefore);

    // What the panel shows: null until the first DrawPanel after Initialize.
    const QImage& picture() const { return picture_; }
    // The percentage and label last drawn.
    int shownValue() const { return value_; }
    const QString& shownText() const { return text_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void render();

    QStatusBar* statusBar_ = nullptr;
    QColor textColor_;
    QColor progressColor_;
    QImage picture_;
    int value_ = 0;
    QString text_;
};

} // namespace vantola
