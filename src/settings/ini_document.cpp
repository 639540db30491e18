#include "settings/ini_document.h"

#include "settings/ini_text_codec.h"

#include <utility>

namespace vantola {

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
constexpr QByteArrayView kCrLf("\r\n");

QString folded(QStringView name) {
    return name.trimmed().toString().toCaseFolded();
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

IniDocument::Line IniDocument::makeLine(QByteArray bytes, LineEnding ending, QStringView text) {
    Line line{std::move(bytes), ending, LineKind::Other, {}};
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        line.kind = LineKind::Blank;
    } else if (trimmed.front() == QLatin1Char('[')) {
        const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
        if (close > 0) {
            line.kind = LineKind::Section;
            line.foldedName = folded(trimmed.mid(1, close - 1));
        }
    } else if (trimmed.front() != QLatin1Char(';')) {
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        const QStringView name = equals > 0 ? trimmed.left(equals).trimmed() : QStringView();
        if (!name.isEmpty()) {
            line.kind = LineKind::Key;
            line.foldedName = folded(name);
        }
    }
    return line;
}

IniDocument IniDocument::parse(const QByteArray& bytes) {
    IniDocument document;
    document.byteOrderMark_ = bytes.startsWith(kByteOrderMark);
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        qsizetype end = newline < 0 ? bytes.size() : newline;
        LineEnding ending = LineEnding::None;
        if (newline >= 0) {
            ending = LineEnding::Lf;
            if (end > start && bytes[end - 1] == '\r') {
                --end;
                ending = LineEnding::CrLf;
            }
        }
        QByteArray content = bytes.mid(start, end - start);
        QByteArrayView decoded = content;
        if (document.lines_.empty() && document.byteOrderMark_)
            decoded = decoded.sliced(kByteOrderMark.size());
        const QString text = decodeSettingsLine(decoded);
        document.lines_.push_back(makeLine(std::move(content), ending, text));
        start = newline < 0 ? bytes.size() : newline + 1;
    }
    document.rebuildIndex();
    return document;
}

QByteArray IniDocument::serialize() const {
    qsizetype total = 0;
    for (const Line& line : lines_)
        total += line.bytes.size() + 2;
    QByteArray bytes;
    bytes.reserve(total);
    for (const Line& line : lines_) {
        bytes += line.bytes;
        if (line.ending == LineEnding::CrLf)
            bytes += kCrLf;
        else if (line.ending == LineEnding::Lf)
            bytes += '\n';
    }
    return bytes;
}

QString IniDocument::lineText(qsizetype index) const {
    QByteArrayView bytes = lines_[index].bytes;
    if (index == 0 && byteOrderMark_)
        bytes = bytes.sliced(kByteOrderMark.size());
    return decodeSettingsLine(bytes);
}

const IniDocument::SectionEntry* IniDocument::findSection(QStringView section) const {
    const auto found = sectionByName_.constFind(folded(section));
    return found == sectionByName_.cend() ? nullptr : &sections_[*found];
}

std::optional<QString> IniDocument::value(QStringView section, QStringView key) const {
    const SectionEntry* entry = findSection(section);
    if (entry == nullptr)
        return std::nullopt;
    const auto found = entry->keys.constFind(folded(key));
    if (found == entry->keys.cend())
        return std::nullopt;
    const QString text = lineText(*found);
    return text.mid(text.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool IniDocument::hasSection(QStringView section) const {
    return findSection(section) != nullptr;
}

bool IniDocument::hasSectionStartingWith(QStringView prefix) const {
    const QString foldedPrefix = prefix.toString().toCaseFolded();
    for (auto it = sectionByName_.cbegin(); it != sectionByName_.cend(); ++it) {
        if (it.key().startsWith(foldedPrefix))
            return true;
    }
    return false;
}

IniChange IniDocument::setValue(QStringView section, QStringView key, QStringView value) {
    const QStringView keyName = key.trimmed();
    if (holdsLineBreak(section) || !isStorableKey(keyName) || holdsLineBreak(value))
        return {IniChange::Kind::Refused, {}};

    const SectionEntry* found = findSection(section);
    if (found == nullptr) {
        const qsizetype header = static_cast<qsizetype>(lines_.size());
        std::vector<Line> added;
        added.push_back(
            {sectionLineBytes(section), LineEnding::CrLf, LineKind::Section, folded(section)});
        added.push_back(
            {keyLineBytes(keyName, value), LineEnding::CrLf, LineKind::Key, folded(keyName)});
        const IniChange change = appendLines(std::move(added));
        SectionEntry entry{header, header + 1, {}};
        entry.keys.insert(folded(keyName), header + 1);
        sectionByName_.insert(folded(section), static_cast<qsizetype>(sections_.size()));
        sections_.push_back(std::move(entry));
        return change;
    }

    SectionEntry& entry = sections_[found - sections_.data()];
    const QString foldedKey = folded(keyName);
    const auto existing = entry.keys.constFind(foldedKey);
    if (existing != entry.keys.cend()) {
        const qsizetype at = *existing;
        const QString text = lineText(at);
        const qsizetype equals = text.indexOf(QLatin1Char('='));
        if (text.mid(equals + 1).trimmed() == value.trimmed())
            return {IniChange::Kind::None, {}};
        QByteArray bytes = keyLineBytes(QStringView(text).left(equals).trimmed(), value);
        if (at == 0 && byteOrderMark_)
            bytes.prepend(kByteOrderMark);
        lines_[at].bytes = std::move(bytes);
        return {IniChange::Kind::Rewrite, {}};
    }

    const qsizetype insertAt = entry.lastContent + 1;
    Line line{keyLineBytes(keyName, value), LineEnding::CrLf, LineKind::Key, foldedKey};
    if (insertAt == static_cast<qsizetype>(lines_.size())) {
        std::vector<Line> added;
        added.push_back(std::move(line));
        const IniChange change = appendLines(std::move(added));
        entry.keys.insert(foldedKey, insertAt);
        entry.lastContent = insertAt;
        return change;
    }
    lines_.insert(lines_.begin() + insertAt, std::move(line));
    rebuildIndex();
    return {IniChange::Kind::Rewrite, {}};
}

IniChange IniDocument::addSection(QStringView section) {
    if (holdsLineBreak(section))
        return {IniChange::Kind::Refused, {}};
    if (hasSection(section))
        return {IniChange::Kind::None, {}};
    const qsizetype header = static_cast<qsizetype>(lines_.size());
    std::vector<Line> added;
    added.push_back(
        {sectionLineBytes(section), LineEnding::CrLf, LineKind::Section, folded(section)});
    const IniChange change = appendLines(std::move(added));
    sectionByName_.insert(folded(section), static_cast<qsizetype>(sections_.size()));
    sections_.push_back({header, header, {}});
    return change;
}

IniChange IniDocument::removeSection(QStringView section) {
    const SectionEntry* entry = findSection(section);
    if (entry == nullptr)
        return {IniChange::Kind::None, {}};
    const qsizetype first = entry->header;
    qsizetype end = first + 1;
    while (end < static_cast<qsizetype>(lines_.size()) && lines_[end].kind != LineKind::Section)
        ++end;
    if (first == 0)
        byteOrderMark_ = false;
    lines_.erase(lines_.begin() + first, lines_.begin() + end);
    rebuildIndex();
    return {IniChange::Kind::Rewrite, {}};
}

IniChange IniDocument::appendLines(std::vector<Line> added) {
    IniChange change{IniChange::Kind::Append, {}};
    if (!lines_.empty() && lines_.back().ending == LineEnding::None) {
        // The last line had no line end: it gets one, its bytes stay as they were.
        change.appended += kCrLf;
        lines_.back().ending = LineEnding::CrLf;
    }
    for (Line& line : added) {
        change.appended += line.bytes;
        change.appended += kCrLf;
        lines_.push_back(std::move(line));
    }
    return change;
}

void IniDocument::rebuildIndex() {
    sections_.clear();
    sectionByName_.clear();
    for (qsizetype i = 0; i < static_cast<qsizetype>(lines_.size()); ++i) {
        const Line& line = lines_[i];
        if (line.kind == LineKind::Section) {
            if (!sectionByName_.contains(line.foldedName))
                sectionByName_.insert(line.foldedName, static_cast<qsizetype>(sections_.size()));
            sections_.push_back({i, i, {}});
            continue;
        }
        if (sections_.empty() || line.kind == LineKind::Blank)
            continue;
        SectionEntry& current = sections_.back();
        current.lastContent = i;
        if (line.kind == LineKind::Key && !current.keys.contains(line.foldedName))
            current.keys.insert(line.foldedName, i);
    }
}

} // namespace vantola
