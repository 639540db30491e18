#include "cutting/thread_setting.h"

#include "settings/app_error.h"
#include "settings/cls_initreg.h"
#include "settings/number_text.h"

#include <QThread>
#include <algorithm>

namespace vantola {

int coreCount() {
    return std::clamp(QThread::idealThreadCount(), 1, kMaxJobThreads);
}

int jobThreadsSetting(const QString& paramFile) {
    QString text;
    try {
        text =
            Cls_InitREG().IniLire(kParamSection, QStringLiteral("THREADS"), QString(), paramFile);
    } catch (const AppError&) {
        return coreCount();
    }
    const std::optional<qint32> threads = numberFromText<qint32>(text);
    if (!threads || *threads < 1 || *threads > kMaxJobThreads)
        return coreCount();
    return *threads;
}

} // namespace vantola
