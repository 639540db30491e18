#include "cutting/grid_rotation.h"

#include "settings/app_error.h"

#include <algorithm>

namespace vantola {

void rotateGrid(PageGrid& tabPixels, qint32 W, qint32 H, Rotation rotation) {
    if (rotation == Rotation::None) {
        return;
    }
    if (W < 0 || H < 0 || tabPixels.columnCount() <= W || tabPixels.rowCount() <= H) {
        raiseError(kErrSubscript);
    }
    PageGrid turned(H, W);
    // Square tiles keep both the rows read and the rows written in the cache.
    constexpr qint64 kTile = 64;
    const bool anticlockwise = rotation == Rotation::Anticlockwise;
    for (qint64 y0 = 0; y0 <= H; y0 += kTile) {
        const qint64 y1 = std::min<qint64>(y0 + kTile - 1, H);
        for (qint64 x0 = 0; x0 <= W; x0 += kTile) {
            const qint64 x1 = std::min<qint64>(x0 + kTile - 1, W);
            for (qint64 y = y0; y <= y1; ++y) {
                const qint32* source = tabPixels.row(qint32(y));
                for (qint64 x = x0; x <= x1; ++x) {
                    if (anticlockwise) {
                        turned.row(qint32(W - x))[y] = source[x];
                    } else {
                        turned.row(qint32(x))[H - y] = source[x];
                    }
                }
            }
        }
    }
    tabPixels = std::move(turned);
}

} // namespace vantola
