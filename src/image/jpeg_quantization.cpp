#include "image/jpeg_quantization.h"

#include "image/jpeg_tables.h"
#include "settings/app_error.h"

#include <algorithm>
#include <cmath>

namespace vantola::jpeg {

std::int32_t qualityScale(std::int32_t quality) {
    if (quality >= 50)
        return 200 - 2 * quality;
    return static_cast<std::int32_t>(std::nearbyint(5000.0 / quality));
}

void scaleQuantTable(const std::array<std::int16_t, 64>& base, std::int32_t scale,
                     QuantTable& table) {
    for (int k = 0; k < 64; ++k) {
        const double biased = double(base[k]) * double(scale) + 50.0;
        const double value = std::nearbyint(biased / 100.0);
        table.Qk[k] = static_cast<std::uint16_t>(std::clamp(value, 1.0, 255.0));
    }
}

void prepareMultipliers(QuantTable& table, std::int32_t precision) {
    const std::int32_t largest = precision == 12 ? 65535 : 255;
    for (int u = 0; u < 8; ++u) {
        for (int v = 0; v < 8; ++v) {
            const int k = kZigZag[u][v];
            const std::int32_t q = table.Qk[k];
            if (q < 1 || q > largest)
                throw AppError(kErrEncoder, QStringLiteral("Bad Quantization Table"));
            table.FScale[k] = static_cast<float>(kAanScale[u] * kAanScale[v] / double(q));
        }
    }
}

} // namespace vantola::jpeg
