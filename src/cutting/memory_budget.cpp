#include "cutting/memory_budget.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <unistd.h>

namespace vantola {

namespace {

qint64 halfThePhysicalMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGE_SIZE);
    if (pages <= 0 || pageSize <= 0)
        return 2048 * kMebibyte;
    return qint64(pages) * qint64(pageSize) / 2;
}

} // namespace

qint64 jobMemorySetting(const QString& paramFile) {
    QString text;
    try {
        text = Cls_InitREG().IniLire(kParamSection, QStringLiteral("MEMOIRE_MAX"), QString(),
                                     paramFile);
    } catch (const AppError&) {
        return halfThePhysicalMemory();
    }
    const std::optional<qint32> mebibytes = numberFromText<qint32>(text);
    if (!mebibytes || *mebibytes < 1)
        return halfThePhysicalMemory();
    return *mebibytes * kMebibyte;
}

qint64 pageMemoryEstimate(QSize size) {
    // Four bytes a pixel each for the decoded picture, the grid and the pieces copied from it,
    // and as much again for the decoder's own buffers and format conversions.
    constexpr qint64 kBytesPerPixel = 16;
    return (qint64(size.width()) + 1) * (qint64(size.height()) + 1) * kBytesPerPixel;
}

void refuseBeyondBudget(QSize size, qint64 budget) {
    if (pageMemoryEstimate(size) > budget)
        raiseError(kErrOutOfMemory);
}

} // namespace vantola
