// Fuzzing the INI reader and writer. The input is a settings file followed by a list of reads and
// writes of keys, existing ones or new ones, in sections whose names hold "[", "]", "=", blanks,
// line breaks and characters outside the Basic Multilingual Plane. Checked for every input:
// - the file reads and writes back byte for byte;
// - a write is refused exactly when no INI line can hold its names and value, and otherwise
//   changes only the lines it must: the key's own line, one inserted line, or lines appended;
// - a read after a write gives the value written, trimmed; the document edited in memory reads
//   the same as its bytes parsed afresh;
// - for part of the inputs, the same through Cls_InitREG on a real file: the bytes on disk are
//   those of the document, IniLire gives the value cut to 254 characters.
#include "fuzz_support.h"
#include "settings/cls_initreg.h"
#include "settings/ini_document.h"
#include "settings/ini_file_cache.h"
#include "settings/ini_text_codec.h"
#include "settings/text_characters.h"

#include <QFile>
#include <QList>
#include <QStringList>
#include <fuzzer/FuzzedDataProvider.h>

namespace vantola {
namespace {

// Characters that matter to the INI syntax, to the trimming and to the case folding, and a few
// that merely take more than one byte.
constexpr char16_t kInterestingCharacters[] = {
    u'[',   u']',   u'=',   u';',   u' ',   u'\t',  u'\r',   u'\n',  u'a',
    u'B',   u'k',   u'0',   u'\\',  u'"',   u'\0',  u'\x7f', 0x00E9, 0x00C9,
    0x00DF, 0x00A0, 0x0085, 0x2028, 0x20AC, 0xFEFF, 0x0130,  0x212A, 0x3000};
constexpr int kInterestingCount = int(std::size(kInterestingCharacters));

QString fuzzText(FuzzedDataProvider& data) {
    QString text;
    const int pieces = data.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < pieces; ++i) {
        const int choice = data.ConsumeIntegralInRange(0, kInterestingCount + 2);
        if (choice < kInterestingCount) {
            text += QChar(kInterestingCharacters[choice]);
        } else if (choice == kInterestingCount) {
            text += QString::fromUcs4(U"\U0001F600", 1); // a surrogate pair
        } else if (choice == kInterestingCount + 1) {
            // A long run, to cross the 254-character cut of the reads.
            text += QString(data.ConsumeIntegralInRange(0, 300), QLatin1Char('x'));
        } else {
            text += QString::fromUtf8(data.ConsumeBytesAsString(data.ConsumeIntegralInRange(0, 6)));
        }
    }
    return text;
}

// Section and key names that the file seems to hold, found without the parser under test: the
// text between "[" and the last "]" of a line, the text before the first "=".
struct NamesInFile {
    QStringList sections;
    QStringList keys;
};

NamesInFile namesIn(const QByteArray& bytes) {
    NamesInFile names;
    for (const QByteArray& line : bytes.split('\n')) {
        const QString text = decodeSettingsLine(line);
        const qsizetype open = text.indexOf(QLatin1Char('['));
        const qsizetype close = text.lastIndexOf(QLatin1Char(']'));
        if (open >= 0 && close > open)
            names.sections << text.mid(open + 1, close - open - 1);
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (equals > 0)
            names.keys << text.left(equals);
    }
    return names;
}

// A name from the file (as it is, in upper case, or padded with blanks), or a fresh one.
QString fuzzName(FuzzedDataProvider& data, const QStringList& known) {
    if (known.isEmpty() || data.ConsumeBool())
        return fuzzText(data);
    QString name = known.at(data.ConsumeIntegralInRange<qsizetype>(0, known.size() - 1));
    switch (data.ConsumeIntegralInRange(0, 2)) {
    case 1:
        name = name.toUpper();
        break;
    case 2:
        name = QStringLiteral(" \t") + name + QLatin1Char(' ');
        break;
    default:
        break;
    }
    return name;
}

bool holdsLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// The rule under which a write is refused: a line break in the section or the value, or a key
// name (without its surrounding blanks) that a key line could not hold: empty, holding "=" or a
// line break, starting with "[" or ";".
bool writeMustBeRefused(const QString& section, const QString& key, const QString& value) {
    const QString name = key.trimmed();
    return holdsLineBreak(section) || holdsLineBreak(name) || holdsLineBreak(value) ||
           name.isEmpty() || name.contains(QLatin1Char('=')) || name.startsWith(QLatin1Char('[')) ||
           name.startsWith(QLatin1Char(';'));
}

// The lines of a file, each with its line end.
QList<QByteArray> linesWithEnds(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype end = newline < 0 ? bytes.size() : newline + 1;
        lines << bytes.mid(start, end - start);
        start = end;
    }
    return lines;
}

// Lines removed and lines added between two versions of a file, around their common start and
// common end.
struct LineDifference {
    qsizetype removed = 0;
    qsizetype added = 0;
};

LineDifference differenceOf(const QByteArray& before, const QByteArray& after) {
    const QList<QByteArray> a = linesWithEnds(before);
    const QList<QByteArray> b = linesWithEnds(after);
    qsizetype prefix = 0;
    while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
           a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    return {a.size() - prefix - suffix, b.size() - prefix - suffix};
}

// The edited document reads like its own bytes parsed again, for every name tried.
void checkReadsLikeItsBytes(const IniDocument& document, const QStringList& sections,
                            const QStringList& keys) {
    const IniDocument reparsed = IniDocument::parse(document.serialize());
    FUZZ_CHECK(reparsed.serialize() == document.serialize());
    for (const QString& section : sections) {
        FUZZ_CHECK(document.hasSection(section) == reparsed.hasSection(section));
        for (const QString& key : keys)
            FUZZ_CHECK(document.value(section, key) == reparsed.value(section, key));
    }
}

void writeAndCheck(IniDocument& document, const QString& section, const QString& key,
                   const QString& value) {
    const QByteArray before = document.serialize();
    const IniChange change = document.setValue(section, key, value);
    const QByteArray after = document.serialize();
    FUZZ_CHECK((change.kind == IniChange::Kind::Refused) ==
               writeMustBeRefused(section, key, value));
    const LineDifference difference = differenceOf(before, after);
    switch (change.kind) {
    case IniChange::Kind::Refused:
    case IniChange::Kind::None:
        FUZZ_CHECK(after == before);
        break;
    case IniChange::Kind::Append:
        // A new key, or a new section and its key, at the end; the last line may gain its end.
        FUZZ_CHECK(after == before + change.appended);
        FUZZ_CHECK(difference.added >= 1 && difference.added <= 2 + difference.removed);
        FUZZ_CHECK(difference.removed <= 1);
        break;
    case IniChange::Kind::Rewrite:
        // The key's own line changed, or one new line went into its section.
        FUZZ_CHECK(difference.added == 1 && difference.removed <= 1);
        break;
    }
    if (change.kind != IniChange::Kind::Refused) {
        FUZZ_CHECK(document.value(section, key) == value.trimmed());
        FUZZ_CHECK(IniDocument::parse(after).value(section, key) == value.trimmed());
    }
}

// The same reads and writes through Cls_InitREG on a real file, against the document as a model.
void fuzzRealFile(FuzzedDataProvider& data, const QByteArray& original, const NamesInFile& names) {
    static int fileNumber = 0;
    const QString path = fuzz::scratchFolder() + QStringLiteral("settings%1.ini").arg(++fileNumber);
    fuzz::writeWholeFile(path, original);
    IniDocument model = IniDocument::parse(original);
    Cls_InitREG ini;
    const QString fallback = QStringLiteral("<default>");
    const int operations = data.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < operations; ++i) {
        const QString section = fuzzName(data, names.sections);
        const QString key = fuzzName(data, names.keys);
        if (data.ConsumeBool()) {
            const QString value = fuzzText(data);
            const bool refused =
                model.setValue(section, key, value).kind == IniChange::Kind::Refused;
            FUZZ_CHECK((ini.IniEcrire(section, key, value, path) != 0) == !refused);
            FUZZ_CHECK(fuzz::readWholeFile(path) == model.serialize());
        }
        const std::optional<QString> stored = model.value(section, key);
        const QString expected = stored ? leftCharacters(*stored, kIniValueLength) : fallback;
        FUZZ_CHECK(ini.IniLire(section, key, fallback, path) == expected);
    }
    QFile::remove(path);
    // Every allocation of the input is undone, so libFuzzer has no reason to run a leak check.
    IniFileCache::instance().clear();
}

} // namespace
} // namespace vantola

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    vantola::fuzz::startQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
    using namespace vantola;
    FuzzedDataProvider data(bytes, size);
    const std::string text = data.ConsumeRandomLengthString(4096);
    const QByteArray original(text.data(), qsizetype(text.size()));
    IniDocument document = IniDocument::parse(original);
    FUZZ_CHECK(document.serialize() == original);

    const NamesInFile names = namesIn(original);
    QStringList sectionsTried = names.sections;
    QStringList keysTried = names.keys;
    const int operations = data.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < operations; ++i) {
        const QString section = fuzzName(data, names.sections);
        const QString key = fuzzName(data, names.keys);
        sectionsTried << section;
        keysTried << key;
        switch (data.ConsumeIntegralInRange(0, 4)) {
        case 0:
            // A read alone must agree with a parse of the current bytes.
            FUZZ_CHECK(document.value(section, key) ==
                       IniDocument::parse(document.serialize()).value(section, key));
            break;
        case 1:
            document.addSection(section);
            FUZZ_CHECK(holdsLineBreak(section) || document.hasSection(section));
            break;
        case 2:
            document.removeSection(section);
            break;
        default:
            writeAndCheck(document, section, key, fuzzText(data));
            break;
        }
    }
    checkReadsLikeItsBytes(document, sectionsTried, keysTried);

    if (data.remaining_bytes() > 0 && data.ConsumeIntegralInRange(0, 3) == 0)
        fuzzRealFile(data, original, names);
    return 0;
}
