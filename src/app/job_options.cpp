#include "app/job_options.h"

#include "cutting/thread_setting.h"
#include "settings/number_text.h"

#include <QRegularExpression>

namespace vantola {

namespace {

std::optional<Rotation> rotationFromText(const QString& text) {
    if (text == QLatin1String("none"))
        return Rotation::None;
    if (text == QLatin1String("cw"))
        return Rotation::Clockwise;
    if (text == QLatin1String("ccw"))
        return Rotation::Anticlockwise;
    return std::nullopt;
}

bool isSamplingText(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^[1-4]:[1-4]$"));
    return pattern.match(text).hasMatch();
}

} // namespace

ParsedJobOptions parseJobOptions(const QStringList& arguments,
                                 const QStringList& extraValueOptions) {
    ParsedJobOptions parsed;
    JobOptions& options = parsed.options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const auto takeValue = [&](QString& value) {
            if (i + 1 >= arguments.size()) {
                parsed.error = argument + QStringLiteral(" needs a value");
                return false;
            }
            value = arguments.at(++i);
            return true;
        };
        const auto takeNumber = [&](std::optional<qint32>& target) {
            QString value;
            if (!takeValue(value))
                return;
            target = numberFromText<qint32>(value);
            if (!target)
                parsed.error = argument + QStringLiteral(" needs a whole number, not '") + value +
                               QLatin1Char('\'');
        };
        QString value;
        if (argument == QLatin1String("--home")) {
            takeValue(options.home);
        } else if (argument == QLatin1String("--level")) {
            takeNumber(options.level);
        } else if (argument == QLatin1String("--double-pass")) {
            options.doublePass = true;
        } else if (argument == QLatin1String("--single-pass")) {
            options.doublePass = false;
        } else if (argument == QLatin1String("--rotate")) {
            if (takeValue(value)) {
                options.rotation = rotationFromText(value);
                if (!options.rotation)
                    parsed.error = QStringLiteral("--rotate takes none, cw or ccw");
            }
        } else if (argument == QLatin1String("--header")) {
            takeNumber(options.headerRow);
        } else if (argument == QLatin1String("--footer")) {
            takeNumber(options.footerRow);
        } else if (argument == QLatin1String("--quality")) {
            std::optional<qint32> quality;
            takeNumber(quality);
            if (quality && (*quality < 1 || *quality > 100))
                parsed.error = QStringLiteral("--quality takes a value from 1 to 100");
            if (quality)
                options.jpeg.quality = QString::number(*quality);
        } else if (argument == QLatin1String("--sampling")) {
            if (takeValue(value)) {
                if (!isSamplingText(value))
                    parsed.error = QStringLiteral("--sampling takes H:V with H and V from 1 to 4");
                options.jpeg.sample = value;
                if (!options.jpeg.greyscale)
                    options.jpeg.greyscale = QStringLiteral("0");
            }
        } else if (argument == QLatin1String("--grey")) {
            options.jpeg.greyscale = QStringLiteral("1");
        } else if (argument == QLatin1String("--threads")) {
            takeNumber(options.threads);
            if (options.threads && (*options.threads < 1 || *options.threads > kMaxJobThreads))
                parsed.error =
                    QStringLiteral("--threads takes a value from 1 to %1").arg(kMaxJobThreads);
        } else if (argument == QLatin1String("--memory")) {
            takeNumber(options.memory);
            if (options.memory && *options.memory < 1)
                parsed.error = QStringLiteral("--memory takes a number of MiB from 1");
        } else if (argument == QLatin1String("--debug")) {
            options.debug = true;
        } else if (argument == QLatin1String("--quiet")) {
            options.quiet = true;
        } else if (extraValueOptions.contains(argument)) {
            if (takeValue(value))
                parsed.extraValues.append({argument, value});
        } else if (argument.startsWith(QLatin1String("--"))) {
            parsed.error = QStringLiteral("unknown option ") + argument;
        } else {
            options.positional << argument;
        }
        if (!parsed.error.isEmpty())
            return parsed;
    }
    return parsed;
}

void applyJobOptions(const JobOptions& options, ProgramState& state, CuttingJob& job) {
    if (options.level)
        state.lNiveauBlanc = *options.level;
    if (options.doublePass)
        job.switches.doublePass = *options.doublePass;
    if (options.rotation)
        job.switches.rotation = *options.rotation;
    if (options.headerRow)
        job.lLigneEntete = *options.headerRow;
    if (options.footerRow) {
        job.lLignePied = *options.footerRow;
        job.switches.footerEnabled = true;
    }
    job.jpegOverrides = options.jpeg;
    if (options.threads)
        job.threads = *options.threads;
    if (options.memory)
        job.memoryMebibytes = *options.memory;
    state.bModeDebug = options.debug;
    // The command line prints its own summary instead of a message box.
    state.bSansMessage = true;
}

} // namespace vantola
