#include "settings/SettingsCheck.h"

#include <QCoreApplication>
#include <QDir>

#include "common/SafeFile.h"
#include "settings/SettingsValues.h"

namespace selvane {

namespace {

// The kinds of value a field holds, each with one rule.
enum class Kind { ViaPath, Call, Ports, Seconds, Host, Twips, CheckBox, Mode, Number, Profile };

struct FieldRow {
    SettingsFieldInfo info;
    Kind kind;
};

const FieldRow kRows[] = {
    {{1, QT_TRANSLATE_NOOP("Settings", "Via"), "via"}, Kind::ViaPath},
    {{2, QT_TRANSLATE_NOOP("Settings", "Call"), "call"}, Kind::Call},
    {{3, QT_TRANSLATE_NOOP("Settings", "Sats"), "sats"}, Kind::Ports},
    {{4, QT_TRANSLATE_NOOP("Settings", "Out"), "out"}, Kind::Ports},
    {{5, QT_TRANSLATE_NOOP("Settings", "Dup"), "dup"}, Kind::Seconds},
    {{6, QT_TRANSLATE_NOOP("Settings", "IP"), "address"}, Kind::Host},
    {{7, QT_TRANSLATE_NOOP("Settings", "finestra principale: sinistra"), nullptr}, Kind::Twips},
    {{8, QT_TRANSLATE_NOOP("Settings", "finestra principale: alto"), nullptr}, Kind::Twips},
    {{9, QT_TRANSLATE_NOOP("Settings", "finestra principale: larghezza"), nullptr}, Kind::Twips},
    {{10, QT_TRANSLATE_NOOP("Settings", "Logs"), "logs"}, Kind::CheckBox},
    {{11, QT_TRANSLATE_NOOP("Settings", "Show Tlm/Hide/Auto"), "tlm-mode"}, Kind::Mode},
    {{12, QT_TRANSLATE_NOOP("Settings", "finestra telemetria: altezza"), nullptr}, Kind::Number},
    {{13, QT_TRANSLATE_NOOP("Settings", "finestra telemetria: alto"), nullptr}, Kind::Twips},
    {{14, QT_TRANSLATE_NOOP("Settings", "finestra telemetria: sinistra"), nullptr}, Kind::Twips},
    {{15, QT_TRANSLATE_NOOP("Settings", "Gate to Out"), "gate-to-out"}, Kind::CheckBox},
    {{16, QT_TRANSLATE_NOOP("Settings", "Gate to Sats"), "gate-to-sats"}, Kind::CheckBox},
    {{17, QT_TRANSLATE_NOOP("Settings", "Gate Telemetry"), "gate-telemetry"}, Kind::CheckBox},
    {{18, QT_TRANSLATE_NOOP("Settings", "profilo motore"), "profile"}, Kind::Profile},
    {{19, QT_TRANSLATE_NOOP("Settings", "Riconnetti automaticamente"), "reconnect"}, Kind::CheckBox},
};
static_assert(std::size(kRows) == kSettingsMaxFieldCount);

// The fewest fields a whole record has: the default record stops after 16.
constexpr int kMinFieldCount = kSettingsFieldCount - 1;
constexpr int kMaxCallLength = 9;
constexpr int kMaxHostLength = 253;
constexpr int kIntegerMin = -32768;
constexpr int kIntegerMax = 32767;

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

bool IsCall(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > kMaxCallLength)
        return false;
    for (char c : text)
        if (!IsAsciiLetterOrDigit(c) && c != '-')
            return false;
    return true;
}

bool IsViaPath(const QByteArray& text)
{
    if (text.isEmpty())
        return true;
    for (const QByteArray& entry : text.split(','))
        if (!IsCall(entry))
            return false;
    return true;
}

bool IsPortList(const QByteArray& text)
{
    for (char c : text)
        if (!(c >= '0' && c <= '9') && c != ',')
            return false;
    return true;
}

bool IsHost(const QByteArray& text)
{
    if (text.isEmpty() || text.size() > kMaxHostLength)
        return false;
    for (char c : text)
        if (!IsAsciiLetterOrDigit(c) && c != '.' && c != '-' && c != ':' && c != '_')
            return false;
    return true;
}

// A whole number: an optional sign and digits, spaces around it ignored.
std::optional<int> WholeNumber(const QByteArray& text, bool signAllowed)
{
    const QByteArray t = text.trimmed();
    qsizetype i = 0;
    if (signAllowed && !t.isEmpty() && (t[0] == '-' || t[0] == '+'))
        i = 1;
    if (i == t.size() || t.size() - i > 6)
        return std::nullopt;
    for (qsizetype j = i; j < t.size(); ++j)
        if (!(t[j] >= '0' && t[j] <= '9'))
            return std::nullopt;
    bool ok = false;
    const int value = t.toInt(&ok);
    if (!ok || value < kIntegerMin || value > kIntegerMax)
        return std::nullopt;
    return value;
}

bool HasControlCharacter(const QByteArray& text)
{
    for (char c : text)
        if (uchar(c) < 0x20 || uchar(c) == 0x7f)
            return true;
    return false;
}

// A value as the user sees it in a message: quoted, control characters
// written as <0xNN>, a long one shortened.
QString Shown(const QByteArray& text)
{
    constexpr qsizetype kMaxShown = 40;
    QString out;
    for (qsizetype i = 0; i < text.size() && i < kMaxShown; ++i) {
        const uchar c = uchar(text[i]);
        if (c < 0x20 || c == 0x7f)
            out += QStringLiteral("<0x%1>").arg(c, 2, 16, QLatin1Char('0'));
        else
            out += QChar(char16_t(c));
    }
    if (text.size() > kMaxShown)
        out += QStringLiteral("...");
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QString KindProblem(Kind kind, const QByteArray& text)
{
    const QString v = Shown(text);
    switch (kind) {
    case Kind::ViaPath:
        if (IsViaPath(text))
            return {};
        return QCoreApplication::translate("Settings",
            "%1 non è un percorso via (nominativi di lettere, cifre e \"-\", al massimo 9, separati da virgole)").arg(v);
    case Kind::Call:
        if (text.isEmpty() || IsCall(text))
            return {};
        return QCoreApplication::translate("Settings",
            "%1 non è un nominativo (lettere, cifre e \"-\", al massimo 9)").arg(v);
    case Kind::Ports:
        if (IsPortList(text))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è un elenco di porte (cifre e virgole)").arg(v);
    case Kind::Seconds: {
        const std::optional<int> n = WholeNumber(text, false);
        if (n && text == text.trimmed())
            return {};
        return QCoreApplication::translate("Settings", "%1 non è un numero intero di secondi da 0 a 32767").arg(v);
    }
    case Kind::Host:
        if (IsHost(text))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è un nome di host o un indirizzo IP").arg(v);
    case Kind::Twips:
        if (WholeNumber(text, true))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è un numero intero da -32768 a 32767").arg(v);
    case Kind::CheckBox: {
        const std::optional<int> n = WholeNumber(text, false);
        if (n && IsCheckBoxValue(*n))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è 0 o 1").arg(v);
    }
    case Kind::Mode: {
        const std::optional<int> n = WholeNumber(text, false);
        if (n && IsTelemetryWindowMode(*n))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è 0, 1 o 2").arg(v);
    }
    case Kind::Profile: {
        const std::optional<int> n = WholeNumber(text, false);
        if (n && IsEngineChoice(EngineChoice(*n)))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è 0, 1, 2 o 3").arg(v);
    }
    case Kind::Number:
        if (!text.trimmed().isEmpty() && ParseSettingsNumber(text))
            return {};
        return QCoreApplication::translate("Settings", "%1 non è un numero").arg(v);
    }
    return {};
}

QString Native(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

const QList<SettingsFieldInfo>& SettingsFields()
{
    static const QList<SettingsFieldInfo> fields = [] {
        QList<SettingsFieldInfo> list;
        for (const FieldRow& row : kRows)
            list.append(row.info);
        return list;
    }();
    return fields;
}

const SettingsFieldInfo* SettingsFieldByName(const QString& name)
{
    for (const FieldRow& row : kRows)
        if (row.info.name && name == QLatin1String(row.info.name))
            return &row.info;
    return nullptr;
}

QString SettingsFieldLabel(int number)
{
    if (number < 1 || number > kSettingsMaxFieldCount)
        return {};
    return QCoreApplication::translate("Settings", kRows[number - 1].info.label);
}

QString SettingsValueProblem(int field, const QByteArray& text)
{
    if (field < 1 || field > kSettingsMaxFieldCount)
        return {};
    if (HasControlCharacter(text))
        return QCoreApplication::translate("Settings", "%1 contiene un carattere di controllo").arg(Shown(text));
    return KindProblem(kRows[field - 1].kind, text);
}

QString SettingsFaultText(const SettingsFault& fault)
{
    const QString label = SettingsFieldLabel(fault.field);
    if (label.isEmpty())
        return QCoreApplication::translate("Settings", "riga %1, campo %2: %3")
            .arg(fault.line)
            .arg(fault.field)
            .arg(fault.problem);
    return QCoreApplication::translate("Settings", "riga %1, campo %2 (%3): %4")
        .arg(fault.line)
        .arg(fault.field)
        .arg(label, fault.problem);
}

std::optional<SettingsFault> CheckSettingsFields(const QList<SettingsFieldText>& fields, int lastLine)
{
    const int count = int(fields.size());
    for (int i = 0; i < count && i < kSettingsMaxFieldCount; ++i) {
        const SettingsFieldText& f = fields[i];
        SettingsFault fault{f.line, i + 1, {}};
        if (f.unterminated)
            fault.problem = QCoreApplication::translate("Settings", "virgolette aperte e mai chiuse");
        else if (!f.afterQuote.isEmpty())
            fault.problem = QCoreApplication::translate("Settings", "c'è %1 dopo le virgolette di chiusura")
                                .arg(Shown(f.afterQuote));
        else
            fault.problem = SettingsValueProblem(i + 1, f.text);
        if (!fault.problem.isEmpty())
            return fault;
    }
    if (count < kMinFieldCount)
        return SettingsFault{lastLine, count + 1,
                             QCoreApplication::translate("Settings",
                                 "manca: il record finisce dopo %1 campi, ne servono almeno 16").arg(count)};
    if (count > kSettingsMaxFieldCount)
        return SettingsFault{fields[kSettingsMaxFieldCount].line, kSettingsMaxFieldCount + 1,
                             QCoreApplication::translate("Settings", "di troppo: un record ha al massimo 19 campi")};
    return std::nullopt;
}

std::optional<SettingsFault> CheckSettingsRecord(const QByteArray& data)
{
    int lastLine = 1;
    const QList<SettingsFieldText> fields = SplitSettingsRecord(data, kSettingsMaxFieldCount + 1, &lastLine);
    return CheckSettingsFields(fields, lastLine);
}

StrictSettingsLoad LoadSettingsStrictly(const QString& path, bool createWhenMissing)
{
    StrictSettingsLoad load;
    const FileRead file = ReadRegularFile(path, kMaxSettingsFileBytes);
    if (file.status == FileRead::Status::Missing) {
        if (!createWhenMissing) {
            load.message = QCoreApplication::translate("Settings", "%1 non c'è").arg(Native(path));
            return load;
        }
        QString why;
        if (!WriteRegularFile(path, DefaultSettingsRecord(), &why)) {
            load.message = QCoreApplication::translate("Settings", "%1 non c'è e non può essere creato: %2")
                               .arg(Native(path), why);
            return load;
        }
        load.outcome = StrictSettingsLoad::Outcome::Created;
        load.values = DefaultSettings();
        load.message = QCoreApplication::translate("Settings", "%1 non c'era: creato con le impostazioni predefinite")
                           .arg(Native(path));
        return load;
    }
    if (!file.ok()) {
        load.message = QStringLiteral("%1: %2").arg(Native(path), file.error);
        return load;
    }
    if (const std::optional<SettingsFault> fault = CheckSettingsRecord(file.data)) {
        load.message = QCoreApplication::translate("Settings", "%1 danneggiato, %2")
                           .arg(Native(path), SettingsFaultText(*fault));
        return load;
    }
    load.outcome = StrictSettingsLoad::Outcome::Read;
    load.values = ParseSettingsRecord(file.data).values;
    return load;
}

} // namespace selvane
