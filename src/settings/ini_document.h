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

// An INI file held as its lines, each kept as the exact bytes read, so that writing the file back
// reproduces every line that no edit touched, byte for byte (odd encodings, binary junk, LF-only
// or missing line ends included).
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
    enum class LineEnding : quint8 { None, Lf, CrLf };
    enum class LineKind : quint8 { Other, Blank, Section, Key };
    struct Line {
        QByteArray bytes; // without the line end
        LineEnding ending = LineEnding::CrLf;
        LineKind kind = LineKind::Other;
        QString foldedName; // section or key name, case-folded
    };
    struct SectionEntry {
        qsizetype header = 0;           // line of "[name]"
        qsizetype lastContent = 0;      // last non-blank line of the section (the header at least)
        QHash<QString, qsizetype> keys; // folded key name -> its line (the first one)
    };

    static Line makeLine(QByteArray bytes, LineEnding ending, QStringView text);
    QString lineText(qsizetype index) const;
    const SectionEntry* findSection(QStringView section) const;
    IniChange appendLines(std::vector<Line> added);
    void rebuildIndex();

    std::vector<Line> lines_;
    bool byteOrderMark_ = false; // the first line starts with a UTF-8 byte order mark
    std::vector<SectionEntry> sections_;
    QHash<QString, qsizetype> sectionByName_; // folded name -> the first section of that name
};

} // namespace vantola
