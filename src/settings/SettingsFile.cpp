#include "settings/SettingsFile.h"

#include <QLocale>
#include <QString>

#include <cmath>

#include "common/TextRules.h"

namespace selvane {

namespace {

constexpr int kIntegerMin = -32768;
constexpr int kIntegerMax = 32767;

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

// Whether a line ends at position i: LF, or CR not followed by LF (CR LF
// counts once, at its LF).
bool EndsLineAt(const QByteArray& data, qsizetype i)
{
    return data[i] == '\n' || (data[i] == '\r' && (i + 1 >= data.size() || data[i + 1] != '\n'));
}

// Hands out the fields of a record one at a time.
class FieldReader {
public:
    explicit FieldReader(const QByteArray& data) : m_data(data) {}

    // The next field, or nullopt when the data ended before it.
    std::optional<SettingsFieldText> next()
    {
        const qsizetype n = m_data.size();
        // A line end right after a comma, or a blank line, begins no field:
        // a record broken into lines after its commas reads the same.
        while (m_pos < n && (m_data[m_pos] == ' ' || IsLineEnd(m_data[m_pos]))) {
            if (EndsLineAt(m_data, m_pos))
                ++m_line;
            ++m_pos;
        }
        if (m_pos >= n)
            return std::nullopt;
        SettingsFieldText field;
        field.line = m_line;
        if (m_data[m_pos] == '"') {
            const qsizetype open = m_pos + 1;
            qsizetype close = m_data.indexOf('"', open);
            if (close < 0) {
                close = n; // unterminated: the text runs to the end
                field.unterminated = true;
            }
            field.text = m_data.mid(open, close - open);
            for (qsizetype i = open; i < close; ++i)
                m_line += EndsLineAt(m_data, i) ? 1 : 0;
            m_pos = close < n ? close + 1 : n;
            // Whatever follows the closing quote belongs to no field.
            const qsizetype after = m_pos;
            skipToSeparator();
            field.afterQuote = m_data.mid(after, m_fieldEnd - after);
        } else {
            const qsizetype start = m_pos;
            skipToSeparator();
            field.text = m_data.mid(start, m_fieldEnd - start);
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
        if (IsLineEnd(c))
            ++m_line;  // a CR LF pair is passed whole here
        if (c == '\r' && m_pos < n && m_data[m_pos] == '\n')
            ++m_pos;
    }

    const QByteArray& m_data;
    qsizetype m_pos = 0;
    qsizetype m_fieldEnd = 0;
    int m_line = 1;
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

QList<SettingsFieldText> SplitSettingsRecord(const QByteArray& data, int maxFields, int* lastLine)
{
    QList<SettingsFieldText> fields;
    FieldReader reader(data);
    while (fields.size() < maxFields) {
        std::optional<SettingsFieldText> field = reader.next();
        if (!field)
            break;
        fields.append(std::move(*field));
    }
    if (lastLine)
        *lastLine = fields.isEmpty() ? 1 : fields.constLast().line;
    return fields;
}

std::optional<double> ParseSettingsNumber(const QByteArray& text)
{
    return ParseNumber(text);
}

SettingsReadResult ParseSettingsRecord(const QByteArray& data)
{
    SettingsReadResult result;
    GatewaySettings& s = result.values;
    const QList<SettingsFieldText> fields = SplitSettingsRecord(data, kSettingsMaxFieldCount);
    QString* const texts[] = {&s.viaPath,  &s.gatewayCall, &s.satsPorts,
                              &s.outPorts, &s.dupSeconds,  &s.agwpeHost};
    int* const integers[] = {&s.mainLeft, &s.mainTop, &s.mainWidth, &s.dailyLog,
                             &s.tlmWindowMode, nullptr /* field 12 */, &s.tlmTop,
                             &s.tlmLeft, &s.gateToOut, &s.gateToSats, &s.gateTelemetry};

    for (int field = 1; field <= kSettingsFieldCount; ++field) {
        if (field > fields.size()) {
            // A record that ends after field 16 is whole: the default record
            // is one, and so is any record written from it by hand.
            if (field != kSettingsFieldCount)
                result.failedField = field;
            return result;
        }
        const QByteArray& raw = fields[field - 1].text;
        if (field <= 6) {
            *texts[field - 1] = FromSingleByte(raw);
        } else if (field == 12) {
            const std::optional<double> v = ParseNumber(raw);
            if (!v) {
                result.failedField = field;
                return result;
            }
            s.tlmHeight = *v;
        } else {
            const std::optional<int> v = ParseInteger(raw);
            if (!v) {
                result.failedField = field;
                return result;
            }
            *integers[field - 7] = *v;
        }
    }

    // The optional fields after the record never make it fail: anything
    // unknown keeps the default.
    if (fields.size() > kSettingsFieldCount) {
        const std::optional<double> v = ParseNumber(fields[kSettingsFieldCount].text);
        if (v && *v == 1.0)
            s.engine = EngineChoice::DireWolf;
        else if (v && *v == 2.0)
            s.engine = EngineChoice::Agwpe;
        else if (v && *v == 3.0)
            s.engine = EngineChoice::RawFrames;
        if (fields.size() > kSettingsFieldCount + 1) {
            const std::optional<double> r = ParseNumber(fields[kSettingsFieldCount + 1].text);
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

} // namespace selvane
