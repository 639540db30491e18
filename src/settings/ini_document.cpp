#include "settings/ini_document.h"

#include "settings/ini_text_codec.h"

namespace vantola {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
constexpr QByteArrayView kCrLf("\r\n");

QString folded(QStringView name) {
    return name.trimmed().toString().toCaseFolded();
}

size_t sectionHash(const QString& foldedSection) {
    return qHash(foldedSection);
}

bool holdsLineBreak(QStringView text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// A key name that, written as "name=value", reads back as that same key.
bool isStorableKey(QStringView trimmedKey) {
    return !trimmedKey.isEmpty() && !trimmedKey.contains(QLatin1Char('=')) &&
           !holdsLineBreak(trimmedKey) && !trimmedKey.startsWith(QLatin1Char('[')) &&
           !trimmedKey.startsWith(QLatin1Char(';'));
}

QByteArray sectionLineBytes(QStringView section) {
    return (QLatin1Char('[') + section.toString() + QLatin1Char(']')).toUtf8();
}

QByteArray keyLineBytes(QStringView key, QStringView value) {
    return (key.toString() + QLatin1Char('=') + value.toString()).toUtf8();
}

} // namespace

IniDocument::LineKind IniDocument::classify(QStringView text, QStringView& name) {
    name = {};
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return LineKind::Blank;
    if (trimmed.front() == QLatin1Char('[')) {
        const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
        if (close <= 0)
            return LineKind::Other;
        name = trimmed.mid(1, close - 1);
        return LineKind::Section;
    }
    if (trimmed.front() == QLatin1Char(';'))
        return LineKind::Other;
    const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
    name = equals > 0 ? trimmed.left(equals).trimmed() : QStringView();
    return name.isEmpty() ? LineKind::Other : LineKind::Key;
}

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument document;
    document.text_ = bytes;
    document.byteOrderMark_ = bytes.startsWith(kByteOrderMark);
    document.rebuildIndex();
    return document;
}

QByteArray IniDocument::serialize() const {
    return text_;
}

IniDocument::LineSpan IniDocument::lineAt(qsizetype start) const {
    const qsizetype newline = text_.indexOf('\n', start);
    if (newline < 0)
        return {start, text_.size() - start, text_.size()};
    qsizetype end = newline;
    if (end > start && text_[end - 1] == '\r')
        --end;
    return {start, end - start, newline + 1};
}

QString IniDocument::lineText(const LineSpan& line) const {
    QByteArrayView bytes = QByteArrayView(text_).sliced(line.start, line.length);
    if (line.start == 0 && byteOrderMark_)
        bytes = bytes.sliced(kByteOrderMark.size());
    return decodeSettingsLine(bytes);
}

QString IniDocument::headerName(qsizetype section) const {
    const QString text = lineText(lineAt(sectionStarts_[section]));
    QStringView name;
    classify(text, name);
    return folded(name);
}

qsizetype IniDocument::sectionEnd(qsizetype section) const {
    return section + 1 < static_cast<qsizetype>(sectionStarts_.size()) ? sectionStarts_[section + 1]
                                                                       : text_.size();
}

std::optional<qsizetype> IniDocument::findSection(const QString& foldedSection) const {
    const auto found = sectionByHash_.constFind(sectionHash(foldedSection));
    if (found != sectionByHash_.cend() && headerName(*found) == foldedSection)
        return *found;
    if (!sectionHashesCollide_)
        return std::nullopt;
    for (qsizetype section = 0; section < static_cast<qsizetype>(sectionStarts_.size());
         ++section) {
        if (headerName(section) == foldedSection)
            return section;
    }
    return std::nullopt;
}

IniDocument::KeySearch IniDocument::findKey(qsizetype section, const QString& foldedKey) const {
    const LineSpan header = lineAt(sectionStarts_[section]);
    const qsizetype end = sectionEnd(section);
    KeySearch search;
    search.insertAt = header.next;
    for (qsizetype at = header.next; at < end;) {
        const LineSpan line = lineAt(at);
        at = line.next;
        const QString text = lineText(line);
        QStringView name;
        const LineKind kind = classify(text, name);
        if (kind == LineKind::Blank)
            continue;
        search.insertAt = line.next;
        if (kind == LineKind::Key && folded(name) == foldedKey) {
            search.key = line;
            break;
        }
    }
    return search;
}

void IniDocument::indexSection(qsizetype section, const QString& foldedSection) {
    const size_t hash = sectionHash(foldedSection);
    const auto found = sectionByHash_.constFind(hash);
    if (found == sectionByHash_.cend())
        sectionByHash_.insert(hash, section);
    else if (headerName(*found) != foldedSection)
        sectionHashesCollide_ = true;
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const std::optional<qsizetype> found = findSection(folded(section));
    if (!found)
        return std::nullopt;
    const KeySearch search = findKey(*found, folded(key));
    if (!search.key)
        return std::nullopt;
    const QString text = lineText(*search.key);
    return text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniDocument::hasSection(QStringView section) const {
    return findSection(folded(section)).has_value();
}

bool IniDocument::hasSectionStartingWith(QStringView prefix) const {
    const QString foldedPrefix = prefix.toString().toCaseFolded();
    for (qsizetype section = 0; section < static_cast<qsizetype>(sectionStarts_.size());
         ++section) {
        if (headerName(section).startsWith(foldedPrefix))
            return true;
    }
    return false;
}

IniChange IniDocument::setValue(QStringView section, QStringView key, QStringView value) {
    const QStringView keyName = key.trimmed();
    if (holdsLineBreak(section) || !isStorableKey(keyName) || holdsLineBreak(value))
        return {IniChange::Kind::Refused, {}};
    const QString foldedSection = folded(section);

    const std::optional<qsizetype> found = findSection(foldedSection);
    if (!found) {
        qsizetype header = 0;
        const IniChange change =
            appendLines({sectionLineBytes(section), keyLineBytes(keyName, value)}, header);
        sectionStarts_.push_back(header);
        indexSection(static_cast<qsizetype>(sectionStarts_.size()) - 1, foldedSection);
        return change;
    }

    const KeySearch search = findKey(*found, folded(keyName));
    if (search.key) {
        const LineSpan& line = *search.key;
        const QString text = lineText(line);
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (text.mid(equals + 1).trimmed() == value.trimmed())
            return {IniChange::Kind::None, {}};
        QByteArray bytes = keyLineBytes(QStringView(text).left(equals).trimmed(), value);
        if (line.start == 0 && byteOrderMark_)
            bytes.prepend(kByteOrderMark);
        text_.replace(line.start, line.length, bytes);
        shiftSectionsAfter(*found, bytes.size() - line.length);
        return {IniChange::Kind::Rewrite, {}};
    }

    if (search.insertAt == text_.size()) {
        qsizetype start = 0;
        return appendLines({keyLineBytes(keyName, value)}, start);
    }
    // A line follows, so the line before the new one has its line end.
    const QByteArray line = keyLineBytes(keyName, value) + kCrLf.toByteArray();
    text_.insert(search.insertAt, line);
    shiftSectionsAfter(*found, line.size());
    return {IniChange::Kind::Rewrite, {}};
}

IniChange IniDocument::addSection(QStringView section) {
    if (holdsLineBreak(section))
        return {IniChange::Kind::Refused, {}};
    const QString foldedSection = folded(section);
    if (findSection(foldedSection))
        return {IniChange::Kind::None, {}};
    qsizetype header = 0;
    const IniChange change = appendLines({sectionLineBytes(section)}, header);
    sectionStarts_.push_back(header);
    indexSection(static_cast<qsizetype>(sectionStarts_.size()) - 1, foldedSection);
    return change;
}

IniChange IniDocument::removeSection(QStringView section) {
    const std::optional<qsizetype> found = findSection(folded(section));
    if (!found)
        return {IniChange::Kind::None, {}};
    const qsizetype from = sectionStarts_[*found];
    text_.remove(from, sectionEnd(*found) - from);
    if (from == 0)
        byteOrderMark_ = false;
    rebuildIndex();
    return {IniChange::Kind::Rewrite, {}};
}

IniChange IniDocument::appendLines(const std::vector<QByteArray>& added, qsizetype& firstStart) {
    IniChange change{IniChange::Kind::Append, {}};
    if (!text_.isEmpty() && !text_.endsWith('\n')) {
        // The last line had no line end: it gets one, its bytes stay as they were.
        change.appended += kCrLf;
    }
    firstStart = text_.size() + change.appended.size();
    for (const QByteArray& content : added) {
        change.appended += content;
        change.appended += kCrLf;
    }
    text_ += change.appended;
    return change;
}

void IniDocument::shiftSectionsAfter(qsizetype section, qsizetype delta) {
    for (auto start = sectionStarts_.begin() + section + 1; start != sectionStarts_.end(); ++start)
        *start += delta;
}

void IniDocument::rebuildIndex() {
    sectionStarts_.clear();
    sectionByHash_.clear();
    sectionHashesCollide_ = false;
    for (qsizetype at = 0; at < text_.size();) {
        const LineSpan line = lineAt(at);
        const QString text = lineText(line);
        QStringView name;
        if (classify(text, name) == LineKind::Section) {
            sectionStarts_.push_back(at);
            indexSection(static_cast<qsizetype>(sectionStarts_.size()) - 1, folded(name));
        }
        at = line.next;
    }
}

} // namespace vantola
