#include "frame_pages.h"

#include "page_generator.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QTransform>
#include <cmath>
#include <random>

namespace vantola::generator {

namespace {

// A white balloon with a black outline, centred on the gutter between the first two panels of
// the first tier that has two: it overlaps both. Returns its bounding rectangle.
QRect drawBalloonAcrossGutter(QImage& image, const PageLayout& layout) {
    for (const TierLayout& tier : layout.tiers) {
        if (tier.panels.size() < 2)
            continue;
        const QRect& left = tier.panels[0];
        const QRect& right = tier.panels[1];
        const QPointF centre((left.right() + right.left()) / 2.0, left.center().y());
        const double w = std::min(left.width(), right.width()) * 0.5;
        const double h = left.height() * 0.25;
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(Qt::black, 2.0));
        painter.setBrush(Qt::white);
        painter.drawEllipse(centre, w / 2, h / 2);
        return QRectF(centre.x() - w / 2, centre.y() - h / 2, w, h).toAlignedRect();
    }
    return {};
}

// The page turned by `degrees` about its centre on paper of `paper`, and its panels' bounding
// rectangles once turned.
void skew(FramePage& page, double degrees, QRgb paper) {
    const QPointF centre(page.image.width() / 2.0, page.image.height() / 2.0);
    QTransform turn;
    turn.translate(centre.x(), centre.y()).rotate(degrees).translate(-centre.x(), -centre.y());
    QImage turned = plainPage(page.image.width(), page.image.height(), paper);
    QPainter painter(&turned);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setTransform(turn);
    painter.drawImage(0, 0, page.image);
    painter.end();
    page.image = turned;
    for (QRect& panel : page.panels)
        panel = turn.mapRect(QRectF(panel)).toAlignedRect().intersected(page.image.rect());
}

// The page once written as a JPEG file at a low quality and read back.
QImage throughJpeg(const QImage& image, int quality) {
    QByteArray bytes;
    QBuffer out(&bytes);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    return QImageReader(&in, "jpeg").read().convertToFormat(QImage::Format_RGB32);
}

// Two columns of text, lines of words drawn as black bars: in each, a paragraph of two lines,
// then after a blank line a long one. Each column is one block of text.
FramePage textColumns(const PageSpec& spec) {
    std::mt19937_64 random(spec.seed);
    const int lineHeight = 12;
    const int linePitch = 22;    // lines of a paragraph are this far apart
    const int paragraphGap = 30; // a blank line between paragraphs
    const int margin = spec.width / 10;
    const int columnWidth = (spec.width - 3 * margin) / 2;
    FramePage page{plainPage(spec.width, spec.height, spec.paper), {}, {}};
    QPainter painter(&page.image);
    for (int column = 0; column < 2; ++column) {
        const int left = margin + column * (columnWidth + margin);
        int y = margin + int(random() % 40);
        const int top = y;
        const int longLines = 14 + int(random() % 8);
        for (const int lines : {2, longLines}) {
            for (int line = 0; line < lines; ++line, y += linePitch) {
                for (int x = left; x < left + columnWidth;) {
                    const int word = std::min(20 + int(random() % 60), left + columnWidth - x);
                    painter.fillRect(x, y, word, lineHeight, Qt::black);
                    x += word + 8;
                }
            }
            y += paragraphGap - (linePitch - lineHeight);
        }
        page.panels.push_back(QRect(left, top, columnWidth, y - paragraphGap - top));
    }
    return page;
}

// A length of `side` at `share` of it, or up to `spread` of it further, as the seed draws.
int nearShare(std::mt19937_64& random, double share, double spread, int side) {
    const auto steps = unsigned(std::lround(spread * 1000.0)) + 1;
    return int((share + double(random() % steps) / 1000.0) * side);
}

// Short strokes of art within a panel.
void drawStrokes(QPainter& painter, const QRect& panel, std::mt19937_64& random) {
    painter.setPen(QPen(Qt::black, 2));
    for (int stroke = 0; stroke < 30; ++stroke) {
        const QPoint from(panel.left() + int(random() % unsigned(panel.width())),
                          panel.top() + int(random() % unsigned(panel.height())));
        const QPoint by(int(random() % 61) - 30, int(random() % 61) - 30);
        painter.drawLine(from, QPoint(std::clamp(from.x() + by.x(), panel.left(), panel.right()),
                                      std::clamp(from.y() + by.y(), panel.top(), panel.bottom())));
    }
}

// A panel in a light tone of the seed's choosing, with short strokes of art and a black frame.
void drawFramedPanel(QPainter& painter, const QRect& panel, std::mt19937_64& random) {
    painter.fillRect(panel, QColor::fromHsv(int(random() % 360), 60, 220));
    drawStrokes(painter, panel, random);
    painter.setPen(QPen(Qt::black, 3));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(panel.adjusted(1, 1, -1, -1));
}

// Four framed panels with short strokes of art: one at the top left, one at the top right whose
// frame shares its left side with the first, one below that one sharing its top side (the three
// make an L), and one at the bottom left apart from them. Sizes vary with the seed.
FramePage touchingFrames(const PageSpec& spec) {
    std::mt19937_64 random(spec.seed);
    const auto at = [&](double share, int side) { return nearShare(random, share, 0.02, side); };
    const int w = spec.width;
    const int h = spec.height;
    const int middle = at(0.47, w);
    const int shelf = at(0.40, h);
    FramePage page{plainPage(w, h, spec.paper), {}, {}};
    page.panels = {QRect(QPoint(at(0.08, w), at(0.05, h)), QPoint(middle, at(0.46, h))),
                   QRect(QPoint(middle, at(0.10, h)), QPoint(at(0.90, w), shelf)),
                   QRect(QPoint(at(0.53, w), shelf), QPoint(at(0.90, w), at(0.88, h))),
                   QRect(QPoint(at(0.08, w), at(0.53, h)), QPoint(at(0.46, w), at(0.88, h)))};
    QPainter painter(&page.image);
    for (const QRect& panel : page.panels) {
        drawStrokes(painter, panel, random);
        painter.fillRect(panel.left(), panel.top(), panel.width(), 3, Qt::black);
        painter.fillRect(panel.left(), panel.bottom() - 2, panel.width(), 3, Qt::black);
        painter.fillRect(panel.left(), panel.top(), 3, panel.height(), Qt::black);
        painter.fillRect(panel.right() - 2, panel.top(), 3, panel.height(), Qt::black);
    }
    return page;
}

// Four panels painted in light tones without a frame line, turning about the page's middle (a
// tall one at the top left, a wide one at the top right, a tall one at the bottom right, a wide
// one at the bottom left) so that no straight line crosses the page between them, and art that
// crosses three of the gutters from one panel into the next: one region, which only the panels'
// straight edges part. A balloon leaves the top right panel over its upper edge.
FramePage joinedFrames(const PageSpec& spec) {
    std::mt19937_64 random(spec.seed);
    const int w = spec.width;
    const int h = spec.height;
    const auto at = [&](double share, int side) { return nearShare(random, share, 0.01, side); };
    FramePage page{plainPage(w, h, spec.paper), {}, {}};
    const QRect topLeft(QPoint(at(0.06, w), at(0.05, h)), QPoint(at(0.39, w), at(0.55, h)));
    const QRect topRight(QPoint(at(0.41, w), at(0.05, h)), QPoint(at(0.92, w), at(0.39, h)));
    const QRect bottomRight(QPoint(at(0.61, w), at(0.41, h)), QPoint(at(0.92, w), at(0.93, h)));
    const QRect bottomLeft(QPoint(at(0.06, w), at(0.57, h)), QPoint(at(0.59, w), at(0.93, h)));
    page.panels = {topLeft, topRight, bottomRight, bottomLeft};
    QPainter painter(&page.image);
    for (const QRect& panel : page.panels) {
        painter.fillRect(panel, QColor::fromHsv(int(random() % 360), 60, 200));
        drawStrokes(painter, panel, random);
    }
    // Arms across the gutters, each from a tenth inside one panel to a tenth inside the next.
    const int arm = w / 35;
    const QColor skin(60, 40, 30);
    painter.fillRect(
        QRect(QPoint(topLeft.right() - topLeft.width() / 10, topRight.center().y()),
              QPoint(topRight.left() + topRight.width() / 10, topRight.center().y() + arm)),
        skin);
    painter.fillRect(
        QRect(
            QPoint(bottomRight.center().x(), topRight.bottom() - topRight.height() / 10),
            QPoint(bottomRight.center().x() + arm, bottomRight.top() + bottomRight.height() / 10)),
        skin);
    painter.fillRect(
        QRect(QPoint(bottomLeft.right() - bottomLeft.width() / 10, bottomLeft.center().y()),
              QPoint(bottomRight.left() + bottomRight.width() / 10, bottomLeft.center().y() + arm)),
        skin);
    // A balloon over the top right panel's upper edge, half of it on the paper above.
    page.balloon = QRect(topRight.center().x(), topRight.top() - h / 30, w / 5, h / 15);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 2.0));
    painter.setBrush(Qt::white);
    painter.drawEllipse(page.balloon);
    return page;
}

// Two framed panels, one over the top half and one at the bottom left, and a figure without a
// frame standing in front of the second's right side and leaving the page at the bottom: the
// second panel's frame is seen on three sides and at the top of the fourth.
FramePage figureOverFrame(const PageSpec& spec) {
    std::mt19937_64 random(spec.seed);
    const int w = spec.width;
    const int h = spec.height;
    const auto at = [&](double share, int side) { return nearShare(random, share, 0.02, side); };
    FramePage page{plainPage(w, h, spec.paper), {}, {}};
    const QRect top(QPoint(at(0.06, w), at(0.05, h)), QPoint(at(0.92, w), at(0.48, h)));
    const QRect framed(QPoint(at(0.06, w), at(0.54, h)), QPoint(at(0.52, w), at(0.90, h)));
    QPainter painter(&page.image);
    for (const QRect& panel : {top, framed})
        drawFramedPanel(painter, panel, random);
    // The figure: a body as wide as a third of the page, its head over the frame's corner.
    const QRect figure(
        QPoint(framed.right() - framed.width() / 8, framed.top() + framed.height() / 4),
        QPoint(at(0.80, w), h - 1));
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(70, 50, 40));
    painter.drawRoundedRect(figure, figure.width() / 3, figure.width() / 3);
    page.panels = {top, framed, figure};
    return page;
}

// Two framed panels side by side over the top half, a narrow gutter apart, and below them two
// figures without a frame, one of them under a balloon: facing each other in one panel across a
// space of paper three times as wide as that gutter, or as two panels a gutter apart.
FramePage figuresBesideFrames(const PageSpec& spec, bool onePanel) {
    std::mt19937_64 random(spec.seed);
    const int w = spec.width;
    const int h = spec.height;
    const auto at = [&](double share, int side) { return nearShare(random, share, 0.005, side); };
    FramePage page{plainPage(w, h, spec.paper), {}, {}};
    const QRect left(QPoint(at(0.06, w), at(0.05, h)), QPoint(at(0.48, w), at(0.47, h)));
    const int gutter = w * 3 / 200;
    const QRect right(QPoint(left.right() + gutter, left.top()),
                      QPoint(at(0.92, w), left.bottom()));
    QPainter painter(&page.image);
    for (const QRect& panel : {left, right})
        drawFramedPanel(painter, panel, random);
    const QRect first(QPoint(at(0.10, w), at(0.58, h)), QPoint(at(0.44, w), at(0.92, h)));
    const int apart = onePanel ? 3 * gutter : gutter;
    const QRect second(QPoint(first.right() + apart, at(0.56, h)),
                       QPoint(at(0.86, w), first.bottom()));
    painter.setPen(QPen(Qt::black, 2));
    for (const QRect& figure : {first, second}) {
        painter.setBrush(QColor::fromHsv(int(random() % 360), 120, 120));
        painter.drawRoundedRect(figure, figure.width() / 3, figure.width() / 3);
    }
    // The balloon over the first figure's head, its lower part in front of it.
    const QRect balloon(first.left() + first.width() / 4, first.top() - h / 24, first.width() / 2,
                        h / 16);
    painter.setBrush(Qt::white);
    painter.drawEllipse(balloon);
    page.panels = {left, right, first.united(balloon)};
    if (onePanel)
        page.panels.back() |= second;
    else
        page.panels.push_back(second);
    return page;
}

// A framed panel over the top half, and below it a drawing without a frame in pieces each
// smaller than a panel: blobs along a line of ground, one or two of their sizes apart, and a
// figure at its end.
FramePage scatteredDrawing(const PageSpec& spec) {
    std::mt19937_64 random(spec.seed);
    const int w = spec.width;
    const int h = spec.height;
    FramePage page{plainPage(w, h, spec.paper), {}, {}};
    QPainter painter(&page.image);
    const QRect framed(w / 10, h / 20, w * 8 / 10, h * 45 / 100);
    painter.fillRect(framed, QColor(120, 160, 90));
    page.panels.push_back(framed);
    const int ground = h * 80 / 100;
    QRect drawing;
    painter.setPen(Qt::NoPen);
    const auto blob = [&](QRect shape) {
        painter.setBrush(QColor::fromHsv(int(random() % 360), 200, 150));
        painter.drawEllipse(shape);
        drawing = drawing.isNull() ? shape : drawing.united(shape);
    };
    int x = w / 6 + int(random() % 40);
    for (; x < w * 2 / 3; x += 60 + int(random() % 20)) {
        const int size = 20 + int(random() % 20);
        blob(QRect(x, ground - size - int(random() % 40), size, size));
    }
    blob(QRect(x, ground - 160, 60, 160)); // the figure
    page.panels.push_back(drawing);
    return page;
}

} // namespace

FramePage framePage(FramePageKind kind, std::uint64_t seed) {
    PageSpec spec;
    spec.seed = seed;
    spec.minPanels = 1;
    spec.maxPanels = 3;
    switch (kind) {
    case FramePageKind::BlackPaper:
        spec.paper = qRgb(0, 0, 0);
        break;
    case FramePageKind::ColouredPaper:
        spec.paper = qRgb(90, 140, 200);
        break;
    case FramePageKind::EmptyFrames:
        spec.emptyPanels = true;
        break;
    case FramePageKind::BalloonAcrossGutter:
        spec.panelsPerTier = {2, 2, 2};
        break;
    case FramePageKind::Bleeding:
        // Two panels or more a tier: a panel as wide as the page in one flat tone would be paper.
        spec.minPanels = 2;
        spec.margin = 0;
        spec.borders = false;
        break;
    case FramePageKind::Frameless:
        spec.borders = false;
        break;
    case FramePageKind::JpegNoise:
        spec.noise = 8;
        break;
    case FramePageKind::Skewed:
    case FramePageKind::NoPanel:
    case FramePageKind::TextColumns:
    case FramePageKind::TouchingFrames:
    case FramePageKind::ScatteredDrawing:
    case FramePageKind::JoinedFrames:
    case FramePageKind::FigureOverFrame:
    case FramePageKind::FiguresWithoutFrame:
    case FramePageKind::FramelessBesideFrames:
        break;
    }
    if (kind == FramePageKind::TextColumns)
        return textColumns(spec);
    if (kind == FramePageKind::TouchingFrames)
        return touchingFrames(spec);
    if (kind == FramePageKind::ScatteredDrawing)
        return scatteredDrawing(spec);
    if (kind == FramePageKind::JoinedFrames)
        return joinedFrames(spec);
    if (kind == FramePageKind::FigureOverFrame)
        return figureOverFrame(spec);
    if (kind == FramePageKind::FiguresWithoutFrame || kind == FramePageKind::FramelessBesideFrames)
        return figuresBesideFrames(spec, kind == FramePageKind::FiguresWithoutFrame);
    if (kind == FramePageKind::NoPanel)
        return {plainPage(spec.width, spec.height, spec.paper), {}, {}};
    const GeneratedPage generated = generatePage(spec);
    FramePage page{generated.image, generated.layout.panels(), {}};
    if (kind == FramePageKind::BalloonAcrossGutter)
        page.balloon = drawBalloonAcrossGutter(page.image, generated.layout);
    if (kind == FramePageKind::Skewed)
        skew(page, 1.0, spec.paper);
    if (kind == FramePageKind::JpegNoise)
        page.image = throughJpeg(page.image, 40);
    return page;
}

} // namespace vantola::generator
