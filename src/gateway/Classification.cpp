#include "gateway/Classification.h"

#include "common/TextRules.h"

namespace selvane {

namespace {

bool IsControl(QChar c)
{
    const ushort u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

// The call as a via entry may hold it: no control characters, no ",".
QString DropUnusable(const QString& call)
{
    QString out;
    out.reserve(call.size());
    for (QChar c : call)
        if (!IsControl(c) && c != QLatin1Char(','))
            out.append(c);
    return out;
}

// An SSID read from a numeric value v (the text "-5" gives -5): 5. Values
// that do not name an AX.25 SSID (outside 0..15) give 0, "no SSID".
int SsidFromValue(double v)
{
    const double rounded = RoundHalfEven(-v);
    if (!(rounded >= 0.0 && rounded <= 15.0))
        return 0;
    return int(rounded);
}

struct SplitCall {
    QString base;
    int ssid = 0;
};

// Trims blanks (empty -> "KORVA"), then splits at the first "-".
SplitCall SplitGatewayCall(const QString& call)
{
    const QString c = CallOrAlias(DropUnusable(call));
    const qsizetype dash = c.indexOf(QLatin1Char('-'));
    if (dash < 0)
        return {c, 0};
    return {c.left(dash), SsidFromValue(NumericValue(c.mid(dash)))};
}

QChar SsidLetter(int ssid)
{
    return QChar(ushort(ssid == 0 ? 'P' : 64 + ssid));
}

bool BeginsWithSatelliteName(const QString& fiveChars)
{
    return fiveChars == QLatin1String("W3ADO") || fiveChars == QLatin1String("PCSAT");
}

} // namespace

QString CallOrAlias(const QString& call)
{
    const QString trimmed = TrimBlanks(call);
    return trimmed.isEmpty() ? QStringLiteral("KORVA") : trimmed;
}

QString UsedViaForm(const QString& call)
{
    SplitCall split = SplitGatewayCall(call);
    QString form = split.base;
    while (form.size() < 6)
        form.append(QLatin1Char(' '));
    form.append(SsidLetter(split.ssid));
    return form;
}

QString RepeatedViaEntry(const QString& call, ViaForm form)
{
    if (form == ViaForm::SevenChar)
        return UsedViaForm(call);
    const SplitCall split = SplitGatewayCall(call);
    QString entry;
    for (QChar c : split.base) {
        if (entry.size() == 6)
            break;
        if (c.unicode() > 0x20 && c.unicode() < 0x7F && c != QLatin1Char('*'))
            entry.append(c);
    }
    if (entry.isEmpty())
        entry = CallOrAlias({});
    if (split.ssid != 0)
        entry += QLatin1Char('-') + QString::number(split.ssid);
    entry.append(QLatin1Char('*'));
    return entry;
}

QString RouteFromSats(const QString& src, PacketStore& store, const ILiveSettings& settings,
                      ITelemetryDecoder& decoder, ViaForm form)
{
    const QString header = store.header();
    const QString gateway = RepeatedViaEntry(settings.gatewayCall(), form);
    QString route;

    // Sent by a satellite itself and not repeated by anyone yet: no "*" from
    // character 22 on (the via list lies there).
    const QString name5 = Mid(header, 7, 5);
    const bool sentByPcsat = BeginsWithSatelliteName(name5);
    const bool sentBySatellite = sentByPcsat || Mid(header, 7, 6) == QLatin1String("RS0ISS");
    const bool notRepeated = header.indexOf(QLatin1Char('*'), 21) < 0;
    if (sentBySatellite && notRepeated) {
        if (sentByPcsat) {
            // The telemetry is decoded (and shown) whatever the check boxes say.
            if (decoder.DecodeTelemetry(src, store) && settings.gateTelemetry())
                route = gateway;
        }
        if (settings.gateToOut())
            route = gateway;
    }

    // Via scan: look for " Via " directly followed by a satellite entry,
    // stopping at the first "," so that only the first via entry decides.
    QString t = Mid(header, 16);
    while (!(t.startsWith(QLatin1Char(',')) || !route.isEmpty() || t.size() < 30)) {
        t.remove(0, 1);
        if (t.startsWith(QLatin1String(" Via RS0ISS*")))
            route = RepeatedViaEntry(QStringLiteral("RS0ISS"), form) + QLatin1Char(',') + gateway;
        if (!(t.startsWith(QLatin1String(" Via PCSAT")) || t.startsWith(QLatin1String(" Via W3ADO"))))
            continue;
        // End of the entry: the first "," or blank from character 11 on; an
        // entry with neither after it runs to the end of the text.
        qsizetype end = t.size();  // 0-based index just past the entry
        for (qsizetype i = 10; i < t.size(); ++i) {
            if (t[i] == QLatin1Char(',') || t[i] == QLatin1Char(' ')) {
                end = i;
                break;
            }
        }
        if (t[end - 1] != QLatin1Char('*'))
            continue;
        // The three characters after the name: "-1*" -> SSID 1, "*  " -> none.
        const int ssid = SsidFromValue(NumericValue(Mid(t, 11, 3)));
        if (!settings.gateToOut())
            continue;
        QString satellite = Mid(t, 6, 5);
        if (ssid != 0)
            satellite += QLatin1Char('-') + QString::number(ssid);
        route = RepeatedViaEntry(satellite, form) + QLatin1Char(',') + gateway;
    }
    return route;
}

} // namespace selvane
