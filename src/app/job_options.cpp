#include "app/job_options.h"

#include "cutting/thread_setting.h"
#include "settings/number_text.h"

#include <QCommandLineParser>
#include <QHash>
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

// One option of the job commands: its name, the name of its value (empty for a switch) and what
// it does to the options, returning an error text for a value it refuses.
struct OptionRule {
    const char* name;
    const char* valueName;
    QString (*apply)(const QString& value, JobOptions& options);
};

// Reads the option's value into target as a whole number; the error text when it is none.
QString readNumber(const char* name, const QString& value, std::optional<qint32>& target) {
    target = numberFromText<qint32>(value);
    if (target)
        return QString();
    return QStringLiteral("--%1 needs a whole number, not '%2'").arg(QLatin1String(name), value);
}

// The rule of a switch: it sets one field of the options to one value.
template <auto field, bool value>
QString setSwitch(const QString&, JobOptions& options) {
    options.*field = value;
    return QString();
}

const OptionRule kOptionRules[] = {
    {"home", "DIR",
     [](const QString& value, JobOptions& options) {
         options.home = value;
         return QString();
     }},
    {"level", "N",
     [](const QString& value, JobOptions& options) {
         return readNumber("level", value, options.level);
     }},
    {"double-pass", "", setSwitch<&JobOptions::doublePass, true>},
    {"single-pass", "", setSwitch<&JobOptions::doublePass, false>},
    {"rotate", "none|cw|ccw",
     [](const QString& value, JobOptions& options) {
         options.rotation = rotationFromText(value);
         return options.rotation ? QString() : QStringLiteral("--rotate takes none, cw or ccw");
     }},
    {"rtl", "", setSwitch<&JobOptions::rightToLeft, true>},
    {"ltr", "", setSwitch<&JobOptions::rightToLeft, false>},
    {"strip", "", setSwitch<&JobOptions::strip, true>},
    {"finder", "gutters|frames",
     [](const QString& value, JobOptions& options) {
         if (value == QLatin1String("gutters"))
             options.finder = PanelFinder::Gutters;
         else if (value == QLatin1String("frames"))
             options.finder = PanelFinder::Frames;
         else
             return QStringLiteral("--finder takes gutters or frames");
         return QString();
     }},
    {"cbz", "", setSwitch<&JobOptions::panelBook, true>},
    {"frames", "", setSwitch<&JobOptions::panelMaps, true>},
    {"header", "ROW",
     [](const QString& value, JobOptions& options) {
         return readNumber("header", value, options.headerRow);
     }},
    {"footer", "ROW",
     [](const QString& value, JobOptions& options) {
         return readNumber("footer", value, options.footerRow);
     }},
    {"quality", "Q",
     [](const QString& value, JobOptions& options) {
         std::optional<qint32> quality;
         if (QString error = readNumber("quality", value, quality); !error.isEmpty())
             return error;
         options.jpeg.quality = QString::number(*quality);
         if (*quality < 1 || *quality > 100)
             return QStringLiteral("--quality takes a value from 1 to 100");
         return QString();
     }},
    {"sampling", "H:V",
     [](const QString& value, JobOptions& options) {
         options.jpeg.sample = value;
         if (!options.jpeg.greyscale)
             options.jpeg.greyscale = QStringLiteral("0");
         if (!isSamplingText(value))
             return QStringLiteral("--sampling takes H:V with H and V from 1 to 4");
         return QString();
     }},
    {"grey", "",
     [](const QString&, JobOptions& options) {
         options.jpeg.greyscale = QStringLiteral("1");
         return QString();
     }},
    {"threads", "N",
     [](const QString& value, JobOptions& options) {
         if (QString error = readNumber("threads", value, options.threads); !error.isEmpty())
             return error;
         if (*options.threads < 1 || *options.threads > kMaxJobThreads)
             return QStringLiteral("--threads takes a value from 1 to %1").arg(kMaxJobThreads);
         return QString();
     }},
    {"memory", "MIB",
     [](const QString& value, JobOptions& options) {
         if (QString error = readNumber("memory", value, options.memory); !error.isEmpty())
             return error;
         if (*options.memory < 1)
             return QStringLiteral("--memory takes a number of MiB from 1");
         return QString();
     }},
    {"debug", "", setSwitch<&JobOptions::debug, true>},
    {"quiet", "", setSwitch<&JobOptions::quiet, true>},
};

const OptionRule* ruleFor(const QString& name) {
    for (const OptionRule& rule : kOptionRules) {
        if (name == QLatin1String(rule.name))
            return &rule;
    }
    return nullptr;
}

// QCommandLineParser reads "-x" as short options, "--" as the end of the options and
// "--name=value" as an option with its value, where the job commands take the first as a path
// and refuse the other two as unknown options. Such arguments, and every option that the parser
// does not know, reach it as stand-ins that it takes as plain arguments and values (argv holds no
// NUL character, so no argument looks like one), and come back as they were typed.
class ShieldedArguments {
public:
    ShieldedArguments(const QStringList& arguments, const QStringList& optionNames)
        : arguments_(arguments) {
        // The parser skips its first argument, the program's name.
        forParser_ << QString();
        for (qsizetype index = 0; index < arguments.size(); ++index) {
            const QString& argument = arguments.at(index);
            const bool known =
                argument.startsWith(QLatin1String("--")) && optionNames.contains(argument.mid(2));
            if (known || !argument.startsWith(QLatin1Char('-')) || argument.size() == 1)
                forParser_ << argument;
            else
                forParser_ << QChar(0) + QString::number(index);
        }
    }

    const QStringList& forParser() const { return forParser_; }

    // Where a stand-in came from in the arguments; -1 for an argument given as it is.
    qsizetype indexOf(const QString& argument) const {
        return argument.startsWith(QChar(0)) ? QStringView(argument).mid(1).toLongLong() : -1;
    }
    QString restored(const QString& argument) const {
        const qsizetype index = indexOf(argument);
        return index < 0 ? argument : arguments_.at(index);
    }

private:
    const QStringList& arguments_;
    QStringList forParser_;
};

} // namespace

ParsedJobOptions parseJobOptions(const QStringList& arguments,
                                 const QStringList& extraValueOptions) {
    QCommandLineParser parser;
    QStringList optionNames;
    for (const OptionRule& rule : kOptionRules) {
        optionNames << QLatin1String(rule.name);
        parser.addOption(
            QCommandLineOption(optionNames.last(), QString(), QLatin1String(rule.valueName)));
    }
    for (const QString& extra : extraValueOptions) {
        optionNames << extra.mid(2);
        parser.addOption(
            QCommandLineOption(optionNames.last(), QString(), QStringLiteral("VALUE")));
    }
    const ShieldedArguments shielded(arguments, optionNames);
    // Fails only for an option given last without its value, which the loop below reports.
    static_cast<void>(parser.parse(shielded.forParser()));

    ParsedJobOptions parsed;
    for (const QString& positional : parser.positionalArguments()) {
        const QString argument = shielded.restored(positional);
        if (argument.startsWith(QLatin1String("--"))) {
            // An unknown option is the error unless an option before it refuses its value.
            parsed =
                parseJobOptions(arguments.mid(0, shielded.indexOf(positional)), extraValueOptions);
            if (parsed.error.isEmpty())
                parsed.error = QStringLiteral("unknown option ") + argument;
            return parsed;
        }
        parsed.options.positional << argument;
    }
    // The options are applied in the order given, a repeated one taking its values in turn: the
    // first refused value is the error, as when reading left to right.
    QHash<QString, qsizetype> seen;
    for (const QString& name : parser.optionNames()) {
        const QStringList values = parser.values(name);
        const qsizetype occurrence = seen[name]++;
        const OptionRule* rule = ruleFor(name);
        const bool takesValue = !rule || *rule->valueName;
        if (takesValue && occurrence >= values.size())
            parsed.error = QStringLiteral("--%1 needs a value").arg(name);
        else if (rule)
            parsed.error = rule->apply(shielded.restored(values.value(occurrence)), parsed.options);
        else
            parsed.extraValues.append(
                {QStringLiteral("--") + name, shielded.restored(values.at(occurrence))});
        if (!parsed.error.isEmpty())
            break;
    }
    return parsed;
}

void applyJobOptions(const JobOptions& options, ProgramState& state, CuttingJob& job) {
    // An option given replaces what param.ini gave; one left out changes nothing.
    const auto take = [](auto& target, const auto& given) {
        if (given)
            target = *given;
    };
    take(state.lNiveauBlanc, options.level);
    take(job.switches.doublePass, options.doublePass);
    take(job.switches.rotation, options.rotation);
    take(job.switches.rightToLeft, options.rightToLeft);
    take(job.switches.strip, options.strip);
    take(job.switches.panelBook, options.panelBook);
    take(job.switches.panelMaps, options.panelMaps);
    take(job.switches.finder, options.finder);
    take(job.lLigneEntete, options.headerRow);
    if (options.footerRow) {
        job.lLignePied = *options.footerRow;
        job.switches.footerEnabled = true;
    }
    job.jpegOverrides = options.jpeg;
    take(job.threads, options.threads);
    take(job.memoryMebibytes, options.memory);
    state.bModeDebug = options.debug;
    // The command line prints its own summary instead of a message box.
    state.bSansMessage = true;
}

} // namespace vantola
