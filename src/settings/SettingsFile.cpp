#include "settings/SettingsFile.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QString>

#include <cmath>

#include "common/TextRules.h"

namespace selvane {

namespace {

constexpr int kIntegerMin = -32768;
constexpr int kIntegerMax = 32767;
// A settings record is well under a kilobyte; a far larger file is not one.
// Reading stops here so a stray huge file cannot exhaust memory.
constexpr qint64 kMaxReadBytes = 1 << 20;

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Hands out the fields of a record one at a time.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& data) : m_data(data) {}

    // The next field, or nullopt when the data ended before it.
    std::optional<QByteArray> next()
    {
        const qsizetype n = m_data.size();
        // A line end right after a comma, or a blank line, begins no field:
        // a record broken into lines after its commas reads the same.
        while (m_pos < n && (m_data[m_pos] == ' ' || IsLineEnd(m_data[m_pos])))
            ++m_pos;
        if (m_pos >= n)
            return std::nullopt;
        QByteArray field;
        if (m_data[m_pos] == '"') {
            const qsizetype open = m_pos + 1;
            qsizetype close = m_data.indexOf('"', open);
            if (close < 0)
                close = n; // unterminated: the text runs to the end
            field = m_data.mid(open, close - open);
            m_pos = close < n ? close + 1 : n;
            // Whatever follows the closing quote belongs to no field.
            skipToSeparator();
        } else {
            const qsizetype start = m_pos;
            skipToSeparator();
            field = m_data.mid(start, m_fieldEnd - start);
        }
        return field;
    }

private:
    // Moves past the next comma or line end; m_fieldEnd marks where it began.
    void skipToSeparator()
    {
        const qsizetype n = m_data.size();
        while (m_pos < n && m_data[m_pos] != ',' && !IsLineEnd(m_data[m_pos]))
            ++m_pos;
        m_fieldEnd = m_pos;
        if (m_pos >= n)
            return;
        const char c = m_data[m_pos++];
        if (c == '\r' && m_pos < n && m_data[m_pos] == '\n')
            ++m_pos;
    }

    const QByteArray& m_data;
    qsizetype m_pos = 0;
    qsizetype m_fieldEnd = 0;
};

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// A plain decimal number: optional sign, digits with an optional fraction,
// optional exponent; spaces around it ignored; empty reads as 0.
std::optional<double> ParseNumber(const QByteArray& field)
{
    const QByteArray t = field.trimmed();
    if (t.isEmpty())
        return 0.0;
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (t[i] == '+' || t[i] == '-')
        ++i;
    bool digits = false;
    while (i < n && IsDigit(t[i])) {
        ++i;
        digits = true;
    }
    if (i < n && t[i] == '.') {
        ++i;
        while (i < n && IsDigit(t[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    if (i < n && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < n && (t[i] == '+' || t[i] == '-'))
            ++i;
        bool expDigits = false;
        while (i < n && IsDigit(t[i])) {
            ++i;
            expDigits = true;
        }
        if (!expDigits)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok); // C locale: "." is the point
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInteger(const QByteArray& field)
{
    const std::optional<double> v = ParseNumber(field);
    if (!v)
        return std::nullopt;
    const double r = RoundHalfEven(*v);
    if (r < kIntegerMin || r > kIntegerMax)
        return std::nullopt;
    return int(r);
}

// Texts are written between double quotes without escaping, so a double
// quote inside one would end the field early and shift every later field at
// the next start. None of these boxes (a via path, a call sign, port digits,
// seconds, a host name) can hold a quote meaningfully, so quotes are dropped.
QByteArray QuotedText(const QString& text)
{
    QString clean = text;
    clean.remove(QLatin1Char('"'));
    return '"' + ToSingleByte(clean) + '"';
}

// Integer fields are read back only within -32768..32767; a window placed
// beyond that (a far monitor) is stored at the nearest storable value so the
// next start does not lose this and every later field.
QByteArray IntegerText(int value)
{
    if (value < kIntegerMin)
        value = kIntegerMin;
    if (value > kIntegerMax)
        value = kIntegerMax;
    return QByteArray::number(value);
}

QByteArray NumberText(double value)
{
    if (!std::isfinite(value))
        return "0"; // would not read back as a number
    if (std::trunc(value) == value && std::fabs(value) < 1e15)
        return QByteArray::number(qint64(value));
    return QString::number(value, 'f', QLocale::FloatingPointShortest).toLatin1();
}

} // namespace

SettingsReadResult ParseSettingsRecord(const QByteArray& data)
{
    SettingsReadResult result;
    GatewaySettings& s = result.values;
    FieldReader reader(data);
    QString* const texts[] = {&s.viaPath,  &s.gatewayCall, &s.satsPorts,
                              &s.outPorts, &s.dupSeconds,  &s.agwpeHost};
    int* const integers[] = {&s.mainLeft, &s.mainTop, &s.mainWidth, &s.dailyLog,
                             &s.tlmWindowMode, nullptr /* field 12 */, &s.tlmTop,
                             &s.tlmLeft, &s.gateToOut, &s.gateToSats, &s.gateTelemetry};

    for (int field = 1; field <= kSettingsFieldCount; ++field) {
        const std::optional<QByteArray> raw = reader.next();
        if (!raw) {
            result.failedField = field;
            return result;
        }
        if (field <= 6) {
            *texts[field - 1] = FromSingleByte(*raw);
        } else if (field == 12) {
            const std::optional<double> v = ParseNumber(*raw);
            if (!v) {
                result.failedField = field;
                return result;
            }
            s.tlmHeight = *v;
        } else {
            const std::optional<int> v = ParseInteger(*raw);
            if (!v) {
                result.failedField = field;
                return result;
            }
            *integers[field - 7] = *v;
        }
    }

    // The optional fields after the record never make it fail: anything
    // unknown keeps the default.
    if (const std::optional<QByteArray> raw = reader.next()) {
        const std::optional<double> v = ParseNumber(*raw);
        if (v && *v == 1.0)
            s.engine = EngineChoice::DireWolf;
        else if (v && *v == 2.0)
            s.engine = EngineChoice::Agwpe;
        if (const std::optional<QByteArray> raw19 = reader.next()) {
            const std::optional<double> r = ParseNumber(*raw19);
            s.autoReconnect = r && *r == 1.0;
        }
    }
    return result;
}

QByteArray DefaultSettingsRecord()
{
    return QByteArrayLiteral(
        "\"WIDE,WIDE\",\"\",\"1\",\"2\",\"30\",\"localhost\",0,0,7470,0,1,4850,0,0,0,1\r\n");
}

GatewaySettings DefaultSettings()
{
    return ParseSettingsRecord(DefaultSettingsRecord()).values;
}

QByteArray FormatSettingsRecord(const GatewaySettings& s)
{
    QByteArray out;
    for (const QString* text : {&s.viaPath, &s.gatewayCall, &s.satsPorts, &s.outPorts,
                                &s.dupSeconds, &s.agwpeHost})
        out += QuotedText(*text) + ',';
    out += IntegerText(s.mainLeft) + ',';
    out += IntegerText(s.mainTop) + ',';
    out += IntegerText(s.mainWidth) + ',';
    out += IntegerText(s.dailyLog) + ',';
    out += IntegerText(s.tlmWindowMode) + ',';
    out += NumberText(s.tlmHeight) + ',';
    out += IntegerText(s.tlmTop) + ',';
    out += IntegerText(s.tlmLeft) + ',';
    out += IntegerText(s.gateToOut) + ',';
    out += IntegerText(s.gateToSats) + ',';
    out += IntegerText(s.gateTelemetry);
    // With the defaults (automatic profile, no reconnecting) the record
    // stays the plain 17 fields that every earlier reader understands.
    if (s.engine != EngineChoice::Automatic || s.autoReconnect)
        out += ',' + QByteArray::number(int(s.engine));
    if (s.autoReconnect)
        out += ",1";
    out += "\r\n";
    return out;
}

std::optional<QByteArray> ReadSettingsFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray data = file.read(kMaxReadBytes);
    file.close();
    return data;
}

bool WriteSettingsFile(const QString& path, const QByteArray& bytes)
{
    // Written beside the old file and then renamed over it, so a failed
    // write never leaves half a record. A folder that allows no new files
    // but a writable settings file falls back to writing it in place.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace selvane
