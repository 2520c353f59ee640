#include "settings/ConfigFile.h"

#include <QCoreApplication>

namespace selvane {

namespace {

bool HoldsControlCharacter(const QString& line)
{
    for (QChar c : line) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\t') || u == 0x7f)
            return true;
    }
    return false;
}

} // namespace

bool ConfigDocument::sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

ConfigDocument ConfigDocument::parse(const QByteArray& text, QList<Problem>* problems)
{
    ConfigDocument doc;
    QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();   // the end of the last line
    QString section;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Line line;
        line.raw = lines[i];
        if (line.raw.endsWith(QLatin1Char('\r')))
            line.raw.chop(1);
        const QString t = line.raw.trimmed();
        QString problem;
        if (HoldsControlCharacter(line.raw)) {
            problem = QCoreApplication::translate("ConfigFile", "carattere di controllo nella riga");
        } else if (t.isEmpty() || t.startsWith(QLatin1Char('#'))) {
            // blank or comment
        } else if (t.startsWith(QLatin1Char('['))) {
            const QString name = t.endsWith(QLatin1Char(']')) ? t.mid(1, t.size() - 2).simplified() : QString();
            if (name.isEmpty()) {
                problem = QCoreApplication::translate("ConfigFile", "intestazione di sezione non valida");
            } else {
                line.kind = Kind::Header;
                section = name;
            }
        } else if (const qsizetype eq = t.indexOf(QLatin1Char('=')); eq > 0 && !t.left(eq).trimmed().isEmpty()) {
            line.kind = Kind::Assignment;
            line.key = t.left(eq).trimmed();
            line.value = t.mid(eq + 1).trimmed();
        } else {
            problem = QCoreApplication::translate("ConfigFile", "non è nella forma chiave = valore");
        }
        line.section = section;
        if (!problem.isEmpty() && problems)
            problems->append({int(i + 1), problem});
        doc.m_lines.append(line);
    }
    return doc;
}

QStringList ConfigDocument::sections() const
{
    QStringList names;
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Other)
            continue;
        bool known = false;
        for (const QString& n : names)
            known = known || sameName(n, line.section);
        if (!known)
            names << line.section;
    }
    return names;
}

bool ConfigDocument::hasSection(const QString& section) const
{
    for (const Line& line : m_lines)
        if (line.kind != Kind::Other && sameName(line.section, section))
            return true;
    return false;
}

QList<ConfigDocument::Entry> ConfigDocument::entries(const QString& section) const
{
    QList<Entry> out;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (line.kind == Kind::Assignment && sameName(line.section, section))
            out.append({line.key, line.value, int(i + 1)});
    }
    return out;
}

std::optional<QString> ConfigDocument::value(const QString& section, const QString& key) const
{
    std::optional<QString> found;
    for (const Line& line : m_lines)
        if (line.kind == Kind::Assignment && sameName(line.section, section) && sameName(line.key, key))
            found = line.value;
    return found;
}

qsizetype ConfigDocument::lastLineOf(const QString& section) const
{
    qsizetype last = -1;
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        if (m_lines[i].kind != Kind::Other && sameName(m_lines[i].section, section))
            last = i;
    return last;
}

void ConfigDocument::set(const QString& section, const QString& key, const QString& value)
{
    Line line;
    line.raw = value.isEmpty() ? key + QStringLiteral(" =") : key + QStringLiteral(" = ") + value;
    line.kind = Kind::Assignment;
    line.section = section;
    line.key = key;
    line.value = value;

    bool written = false;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line& l = m_lines[i];
        if (l.kind != Kind::Assignment || !sameName(l.section, section) || !sameName(l.key, key))
            continue;
        if (!written) {
            line.section = l.section;
            m_lines[i] = line;
            written = true;
        } else {
            m_lines.removeAt(i--);
        }
    }
    if (written)
        return;
    const qsizetype last = lastLineOf(section);
    if (last >= 0) {
        line.section = m_lines[last].section;
        m_lines.insert(last + 1, line);
        return;
    }
    if (!section.isEmpty()) {
        if (!m_lines.isEmpty() && !m_lines.last().raw.trimmed().isEmpty()) {
            Line blank;
            blank.section = m_lines.last().section;
            m_lines.append(blank);
        }
        Line header;
        header.raw = QLatin1Char('[') + section + QLatin1Char(']');
        header.kind = Kind::Header;
        header.section = section;
        m_lines.append(header);
    }
    m_lines.append(line);
}

void ConfigDocument::remove(const QString& section, const QString& key)
{
    m_lines.removeIf([&](const Line& l) {
        return l.kind == Kind::Assignment && sameName(l.section, section) && sameName(l.key, key);
    });
}

void ConfigDocument::removeSection(const QString& section)
{
    m_lines.removeIf([&](const Line& l) { return sameName(l.section, section) && !section.isEmpty(); });
}

QByteArray ConfigDocument::text() const
{
    QString out;
    for (const Line& line : m_lines)
        out += line.raw + QLatin1Char('\n');
    return out.toUtf8();
}

std::optional<bool> ParseYesNo(const QString& value)
{
    const QString v = value.trimmed().toLower();
    if (v == QLatin1String("yes") || v == QLatin1String("on") || v == QLatin1String("true") || v == QLatin1String("1")
        || v == QLatin1String("si") || v == QLatin1String("sì"))
        return true;
    if (v == QLatin1String("no") || v == QLatin1String("off") || v == QLatin1String("false") || v == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString YesNoText(bool value)
{
    return value ? QStringLiteral("yes") : QStringLiteral("no");
}

QStringList ParseList(const QString& value)
{
    QStringList items;
    for (const QString& item : value.split(QLatin1Char(',')))
        if (!item.trimmed().isEmpty())
            items << item.trimmed();
    return items;
}

QString ListText(const QStringList& items)
{
    return items.join(QStringLiteral(", "));
}

} // namespace selvane
