#include "review/cut_sketch.h"

#include "cutting/cut_record.h"
#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vantola {

namespace {

// Piece numbers are 16-bit in the cutter: no record goes beyond this one.
constexpr int kLastPieceNumber = std::numeric_limits<qint16>::max();

// A record value scaled to the surface; far-out values are held to what a surface can show.
int scaled(qint32 value, double surfaceLength, qint32 pageLength) {
    const double exact = surfaceLength * double(value) / double(pageLength);
    constexpr double kLimit = 1.0e8;
    return static_cast<int>(std::nearbyint(std::clamp(exact, -kLimit, kLimit)));
}

class RecordReader {
public:
    RecordReader(const QString& section, const QString& file) : section_(section), file_(file) {}

    QString text(const QString& key, const QString& fallback) {
        return ini_.IniLire(section_, key, fallback, file_);
    }
    std::optional<qint32> number(const QString& key, const QString& fallback) {
        return numberFromText<qint32>(text(key, fallback));
    }
    bool hasSecondPiece(const QString& pieceSection) {
        return !ini_.IniLire(pieceSection, cutRecordKey::piecePath(2), QString(), file_).isEmpty();
    }

private:
    Cls_InitREG ini_;
    QString section_;
    QString file_;
};

} // namespace

CutSketch readCutSketch(const QString& pagePath, QSizeF surfaceTwips,
                        const QString& sFichierDecoupage) {
    CutSketch sketch;
    RecordReader record(pagePath, sFichierDecoupage);
    try {
        const std::optional<qint32> width =
            record.number(cutRecordKey::kWidth, QStringLiteral("1"));
        const std::optional<qint32> height =
            record.number(cutRecordKey::kHeight, QStringLiteral("1"));
        if (!width || !height) {
            sketch.problem = QCoreApplication::translate(
                "vantola::frmDiapo", "Découpe non dessinée : WIDTH ou HEIGHT n'est pas un "
                                     "nombre dans le fichier de découpe.");
            return sketch;
        }
        if (*width == 0 || *height == 0) {
            sketch.problem = QCoreApplication::translate(
                "vantola::frmDiapo", "Découpe non dessinée : WIDTH ou HEIGHT vaut 0 dans "
                                     "le fichier de découpe.");
            return sketch;
        }
        for (int n = 1; n <= kLastPieceNumber; ++n) {
            const std::optional<qint32> top =
                record.number(cutRecordKey::top(n), QStringLiteral("0"));
            const std::optional<qint32> bottom =
                record.number(cutRecordKey::bottom(n), QStringLiteral("0"));
            const std::optional<qint32> left =
                record.number(cutRecordKey::left(n), QStringLiteral("0"));
            const std::optional<qint32> right =
                record.number(cutRecordKey::right(n), QStringLiteral("0"));
            if (!top || !bottom || !left || !right) {
                sketch.problem =
                    QCoreApplication::translate("vantola::frmDiapo",
                                                "Découpe %1 non dessinée : une coordonnée n'est "
                                                "pas un nombre dans le fichier de découpe.")
                        .arg(n);
                return sketch;
            }
            SketchOutline outline;
            outline.x1 = scaled(*left, surfaceTwips.width(), *width);
            outline.x2 = scaled(*right, surfaceTwips.width(), *width);
            outline.y1 = scaled(*top, surfaceTwips.height(), *height);
            outline.y2 = scaled(*bottom, surfaceTwips.height(), *height);
            if (outline.x1 == 0 && outline.x2 == 0 && outline.y1 == 0 && outline.y2 == 0)
                break;
            outline.x2 -= kSketchGapRight;
            outline.y2 -= kSketchGapBottom;
            outline.piecePath = record.text(cutRecordKey::piecePath(n), QString());
            // A piece without a path has no section of its own (the empty section belongs to
            // clipboard and PDF pages).
            outline.split =
                !outline.piecePath.isEmpty() && record.hasSecondPiece(outline.piecePath);
            sketch.outlines.push_back(outline);
        }
    } catch (const AppError&) {
        sketch.problem = QCoreApplication::translate(
            "vantola::frmDiapo",
            "Découpe non dessinée : le fichier de découpe ne peut pas être lu.");
    }
    return sketch;
}

} // namespace vantola
