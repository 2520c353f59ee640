#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace selvane {

// A configuration file of "key = value" lines under "[section]" headers,
// such as selvane.conf:
//
//   # a comment (a line whose first character, blanks aside, is "#")
//   [aprs-is]
//   enabled = yes
//   [satellite PSAT2]
//   digipeaters = PSAT2-*
//
// Section names and keys are compared without regard to case; blanks around
// names, keys and values are dropped; lines before the first header belong to
// the section "" . A later line with the same key in the same section
// overrides an earlier one. A line that is none of these (no "=", a header
// without "]", an empty key) or that holds a control character is damaged:
// it is reported with its line number and otherwise ignored.
//
// The document keeps every line, so that Selvane can change values and write
// the file back with the user's comments, blank lines, unknown keys and
// damaged lines where they were.
class ConfigDocument {
public:
    struct Problem {
        int line = 0;   // 1-based
        QString text;
    };
    struct Entry {
        QString key;    // as written, trimmed
        QString value;
        int line = 0;   // 1-based
    };

    static ConfigDocument parse(const QByteArray& text, QList<Problem>* problems = nullptr);

    // The sections that hold at least a header or a line, in file order.
    QStringList sections() const;
    bool hasSection(const QString& section) const;
    // The key/value lines of a section in file order (damaged lines left out).
    QList<Entry> entries(const QString& section) const;
    // The last value of a key in a section.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Sets a key: its first line is rewritten in place (later lines with the
    // key go); a key the section lacks is added after the section's last
    // line; a section the file lacks is added at the end.
    void set(const QString& section, const QString& key, const QString& value);
    // Removes every line of a key.
    void remove(const QString& section, const QString& key);
    // Removes a section: its header and every line up to the next header.
    void removeSection(const QString& section);

    QByteArray text() const;
    bool isEmpty() const { return m_lines.isEmpty(); }

private:
    enum class Kind { Other, Header, Assignment };
    struct Line {
        QString raw;
        Kind kind = Kind::Other;
        QString section;   // the section the line belongs to
        QString key;
        QString value;
    };
    static bool sameName(const QString& a, const QString& b);
    qsizetype lastLineOf(const QString& section) const;

    QList<Line> m_lines;
};

// selvane.conf is a few kilobytes; anything far larger is not one.
inline constexpr qint64 kMaxConfigFileBytes = 1024 * 1024;

// "yes"/"no" (also on/off, true/false, 1/0), case-insensitive.
std::optional<bool> ParseYesNo(const QString& value);
QString YesNoText(bool value);
// A list written "A, B, C" (commas, blanks around entries dropped, empty
// entries left out).
QStringList ParseList(const QString& value);
QString ListText(const QStringList& items);

} // namespace selvane
