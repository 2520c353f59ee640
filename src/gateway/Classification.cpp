#include "gateway/Classification.h"

#include "common/TextRules.h"
#include "gateway/Satellites.h"

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
    return {c.left(dash), SsidOfNumber(NumericValue(c.mid(dash)))};
}

QChar SsidLetter(int ssid)
{
    return QChar(ushort(ssid == 0 ? 'P' : 64 + ssid));
}

} // namespace

bool IsRadioCall(const QString& call)
{
    const qsizetype dash = call.indexOf(QLatin1Char('-'));
    const QString base = dash < 0 ? call : call.left(dash);
    if (base.isEmpty() || base.size() > 6)
        return false;
    for (QChar c : base) {
        const ushort u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')))
            return false;
    }
    if (dash < 0)
        return true;
    const QString ssid = call.mid(dash + 1);
    if (ssid.isEmpty() || ssid.size() > 2)
        return false;
    for (QChar c : ssid)
        if (c.unicode() < '0' || c.unicode() > '9')
            return false;
    return ssid.toInt() <= 15;
}

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
                      ITelemetryDecoder& decoder, ViaForm form, const SatelliteTable& satellites)
{
    const QString header = store.header();
    const QString gateway = RepeatedViaEntry(settings.gatewayCall(), form);
    QString route;

    // Sent by a satellite itself and not repeated by anyone yet: no "*" from
    // character 22 on (the via list lies there).
    const Satellite* sender = satellites.sentBy(Mid(header, 7));
    const bool notRepeated = header.indexOf(QLatin1Char('*'), 21) < 0;
    if (sender && notRepeated) {
        if (sender->pcsatTelemetry) {
            // The telemetry is decoded (and shown) whatever the check boxes say.
            if (decoder.DecodeTelemetry(src, store) && settings.gateTelemetry())
                route = gateway;
        }
        if (settings.gateToOut())
            route = gateway;
    }

    // Via scan: look for " Via " directly followed by an entry a satellite
    // repeated, stopping at the first "," so that only the first via entry
    // decides.
    QString t = Mid(header, 16);
    while (!(t.startsWith(QLatin1Char(',')) || !route.isEmpty() || t.size() < 30)) {
        t.remove(0, 1);
        if (!t.startsWith(QLatin1String(" Via ")))
            continue;
        // The entry ends at the first "," or blank; one with neither after
        // it runs to the end of the text.
        qsizetype end = t.size();
        for (qsizetype i = 5; i < t.size(); ++i) {
            if (t[i] == QLatin1Char(',') || t[i] == QLatin1Char(' ')) {
                end = i;
                break;
            }
        }
        const std::optional<SatelliteRepeat> repeat = satellites.repeatedBy(t.mid(5, end - 5));
        if (!repeat || (repeat->satellite->needsGateToOut && !settings.gateToOut()))
            continue;
        route = RepeatedViaEntry(repeat->call, form) + QLatin1Char(',') + gateway;
    }
    return route;
}

} // namespace selvane
