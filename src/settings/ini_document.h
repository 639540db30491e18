#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace vantola {

// What an edit did to a document, so that the file on disk can follow with the least work.
struct IniChange {
    enum class Kind {
        Refused, // the names or the value cannot be stored as an INI line; nothing changed
        None,    // the document already held it
        Append,  // lines were added at the end: `appended` holds exactly the bytes to add
        Rewrite, // lines were changed, inserted or removed: the whole file must be written again
    };
    Kind kind = Kind::None;
    QByteArray appended;
};

// An INI file held as the exact bytes read, so that writing the file back reproduces every line
// that no edit touched, byte for byte (odd encodings, binary junk, LF-only or missing line ends
// included).
//
// Reading rules, those of the Windows profile functions:
// - a section line is "[" + name + "]": the name is everything between the first "[" and the
//   last "]" of the line, so names may themselves hold "[", "]" or "=" (page paths do);
// - a key line is name "=" value; name and value are trimmed of surrounding blanks;
// - section and key names match without regard to case; the first matching section, and in it
//   the first matching key, win;
// - lines before the first section, lines starting with ";", and lines without "=" belong to no
//   key and are kept as they are.
// Text is UTF-8, or Windows-1252 for a line that is not valid UTF-8; new lines are written in
// UTF-8 and end with CR LF.
//
// Writing rules: an existing key keeps its place and gets the new value; a new key goes after
// the last non-blank line of its section; a new section goes at the end of the file.
//
// A job appends a few lines per piece to its cut record for hours, so the memory held beyond the
// file's own bytes is one small entry per section: sections are found through their names'
// hashes, and a key by reading its section's lines.
class IniDocument {
public:
    static IniDocument parse(const QByteArray& bytes);
    QByteArray serialize() const;

    // The trimmed value of the key, nothing when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;
    bool hasSection(QStringView section) const;
    // True when some section name starts with the prefix (compared without regard to case).
    bool hasSectionStartingWith(QStringView prefix) const;

    // Sets the key, creating the section and the key when missing. Refused when a line holding
    // them would not read back the same: a line break anywhere, or a key that is empty, holds
    // "=", or starts with "[" or ";".
    IniChange setValue(QStringView section, QStringView key, QStringView value);
    // Adds an empty section at the end of the file unless one of that name exists.
    IniChange addSection(QStringView section);
    // Removes the first section of that name with all its lines, up to the next section.
    IniChange removeSection(QStringView section);

private:
    enum class LineKind : quint8 { Other, Blank, Section, Key };
    struct LineSpan {
        qsizetype start = 0;  // offset of the line's first byte in text_
        qsizetype length = 0; // bytes of the line without its line end
        qsizetype next = 0;   // offset of the next line (past the line end)
    };
    // A section's key, or where a new key of that section goes.
    struct KeySearch {
        std::optional<LineSpan> key;
        qsizetype insertAt = 0; // just past the section's last non-blank line
    };

    // The kind of a line's text and, for a section or a key, its name (not yet folded).
    static LineKind classify(QStringView text, QStringView& name);
    LineSpan lineAt(qsizetype start) const;
    QString lineText(const LineSpan& line) const;
    QString headerName(qsizetype section) const; // folded
    qsizetype sectionEnd(qsizetype section) const;
    std::optional<qsizetype> findSection(const QString& foldedSection) const;
    KeySearch findKey(qsizetype section, const QString& foldedKey) const;
    void indexSection(qsizetype section, const QString& foldedSection);
    IniChange appendLines(const std::vector<QByteArray>& added, qsizetype& firstStart);
    void shiftSectionsAfter(qsizetype section, qsizetype delta);
    void rebuildIndex();

    QByteArray text_;                        // the file's bytes, exactly
    bool byteOrderMark_ = false;             // text_ starts with a UTF-8 byte order mark
    std::vector<qsizetype> sectionStarts_;   // offset of each "[name]" line, in file order
    QHash<size_t, qsizetype> sectionByHash_; // folded name's hash -> first section holding it
    bool sectionHashesCollide_ = false;      // two names share a hash: a miss is checked by a scan
};

} // namespace vantola
