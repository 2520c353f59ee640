#include "gateway/Satellites.h"

#include "common/TextRules.h"

namespace selvane {

namespace {

QStringList CallsWithSsids(const QString& base, int first, int last)
{
    QStringList calls;
    for (int ssid = first; ssid <= last; ++ssid)
        calls << base + QLatin1Char('-') + QString::number(ssid);
    return calls;
}

bool IsCallCharacter(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-';
}

} // namespace

int SsidOfNumber(double value)
{
    const double rounded = RoundHalfEven(-value);
    if (!(rounded >= 0.0 && rounded <= 15.0))
        return 0;
    return int(rounded);
}

int SsidAfterBase(const QString& rest)
{
    return SsidOfNumber(NumericValue(Mid(rest, 1, 3)));
}

QString SatelliteCall::text() const
{
    return anySsid ? base + QStringLiteral("-*") : base;
}

std::optional<SatelliteCall> SatelliteCall::parse(const QString& text)
{
    SatelliteCall call;
    call.base = text.trimmed();
    if (call.base.endsWith(QLatin1String("-*"))) {
        call.anySsid = true;
        call.base.chop(2);
    }
    if (call.base.isEmpty() || call.base.size() > 9)
        return std::nullopt;
    for (QChar c : call.base)
        if (!IsCallCharacter(c))
            return std::nullopt;
    return call;
}

SatelliteTable SatelliteTable::Defaults()
{
    SatelliteTable table;
    auto call = [](const char* base, bool anySsid) { return SatelliteCall{QString::fromLatin1(base), anySsid}; };

    // PCSAT comes first: when a station names both it and the ISS after the
    // gateway, the packet goes up to PCSAT.
    Satellite pcsat;
    pcsat.name = QStringLiteral("PCSAT");
    pcsat.digipeaters = {call("PCSAT", true), call("W3ADO", true)};
    pcsat.uplinkAliases = {QStringLiteral("W3ADO"), QStringLiteral("PCSAT")};
    pcsat.uplinkAs = QStringLiteral("PCSAT-1");
    pcsat.pcsatTelemetry = true;
    pcsat.telemetrySideA = QStringList{QStringLiteral("PCSAT-1"), QStringLiteral("PCSAT-2"), QStringLiteral("W3ADO")}
                           + CallsWithSsids(QStringLiteral("W3ADO"), 1, 15);
    pcsat.telemetrySideB = QStringList{QStringLiteral("PCSAT")} + CallsWithSsids(QStringLiteral("PCSAT"), 3, 15);
    pcsat.safeModeSource = QStringLiteral("W3ADO-1");

    Satellite iss;
    iss.name = QStringLiteral("ISS");
    iss.digipeaters = {call("RS0ISS", false)};
    iss.sources = {QStringLiteral("NA1SS"), QStringLiteral("DP0ISS"), QStringLiteral("OR4ISS"), QStringLiteral("IR0ISS")};
    iss.uplinkAliases = {QStringLiteral("ARISS"), QStringLiteral("RS0ISS"), QStringLiteral("APRSAT")};
    iss.uplinkAs = QStringLiteral("ARISS");
    iss.needsGateToOut = false;

    Satellite psat2;
    psat2.name = QStringLiteral("PSAT2");
    psat2.digipeaters = {call("PSAT2", true)};
    psat2.uplinkAliases = {QStringLiteral("PSAT2")};

    Satellite sonate;
    sonate.name = QStringLiteral("SONATE-2");
    sonate.digipeaters = {call("DP0SNX", false)};
    sonate.uplinkAliases = {QStringLiteral("DP0SNX")};

    Satellite eos;
    eos.name = QStringLiteral("EOS-7");
    eos.digipeaters = {call("A55BTN", false)};
    eos.uplinkAliases = {QStringLiteral("A55BTN")};

    // Off unless the user knows better: a ground digipeater that answers the
    // alias would be taken for a satellite.
    Satellite alias;
    alias.name = QStringLiteral("ARISS-ALIAS");
    alias.enabled = false;
    alias.digipeaters = {call("ARISS", false)};

    table.m_satellites = {pcsat, iss, psat2, sonate, eos, alias};
    return table;
}

const SatelliteTable& DefaultSatellites()
{
    static const SatelliteTable table = SatelliteTable::Defaults();
    return table;
}

const Satellite* SatelliteTable::find(const QString& name) const
{
    for (const Satellite& s : m_satellites)
        if (s.name.compare(name, Qt::CaseInsensitive) == 0)
            return &s;
    return nullptr;
}

Satellite* SatelliteTable::find(const QString& name)
{
    return const_cast<Satellite*>(std::as_const(*this).find(name));
}

bool SatelliteTable::anyEnabled() const
{
    for (const Satellite& s : m_satellites)
        if (s.enabled)
            return true;
    return false;
}

std::optional<SatelliteRepeat> SatelliteTable::repeatedBy(const QString& entry) const
{
    for (const Satellite& s : m_satellites) {
        if (!s.enabled)
            continue;
        for (const SatelliteCall& c : s.digipeaters) {
            if (!c.anySsid) {
                if (entry.startsWith(c.base + QLatin1Char('*')))
                    return SatelliteRepeat{&s, c.base};
                continue;
            }
            if (!entry.startsWith(c.base) || !entry.endsWith(QLatin1Char('*')))
                continue;
            const int ssid = SsidAfterBase(entry.mid(c.base.size()));
            return SatelliteRepeat{&s, ssid == 0 ? c.base : c.base + QLatin1Char('-') + QString::number(ssid)};
        }
    }
    return std::nullopt;
}

const Satellite* SatelliteTable::sentBy(const QString& sourceText) const
{
    for (const Satellite& s : m_satellites) {
        if (!s.enabled)
            continue;
        for (const SatelliteCall& c : s.digipeaters)
            if (sourceText.startsWith(c.base))
                return &s;
        for (const QString& call : s.sources)
            if (sourceText.startsWith(call))
                return &s;
    }
    return nullptr;
}

QString SatelliteTable::uplinkEntry(const QString& header, const QString& gatewayCall) const
{
    for (const Satellite& s : m_satellites) {
        if (!s.enabled)
            continue;
        for (const QString& alias : s.uplinkAliases) {
            const QString asked = gatewayCall + QLatin1Char(',') + alias;
            const qsizetype at = header.indexOf(asked, 17);
            if (at < 0)
                continue;
            if (!s.uplinkAs.isEmpty())
                return s.uplinkAs;
            // As the station wrote it: the whole entry, without a mark.
            const qsizetype from = at + gatewayCall.size() + 1;
            qsizetype end = from;
            while (end < header.size() && header[end] != QLatin1Char(',') && header[end] != QLatin1Char(' ')
                   && header[end] != QLatin1Char('*'))
                ++end;
            return header.mid(from, end - from);
        }
    }
    return {};
}

TelemetrySide SatelliteTable::telemetrySideOf(const QString& sourceCall) const
{
    for (const Satellite& s : m_satellites) {
        if (!s.enabled || !s.pcsatTelemetry)
            continue;
        if (s.telemetrySideA.contains(sourceCall))
            return TelemetrySide::A;
        if (s.telemetrySideB.contains(sourceCall))
            return TelemetrySide::B;
    }
    return TelemetrySide::None;
}

bool SatelliteTable::isSafeModeSource(const QString& sourceCall) const
{
    for (const Satellite& s : m_satellites)
        if (s.enabled && s.pcsatTelemetry && !s.safeModeSource.isEmpty() && s.safeModeSource == sourceCall)
            return true;
    return false;
}

QString SatelliteTable::summary() const
{
    QStringList parts;
    for (const Satellite& s : m_satellites) {
        if (!s.enabled)
            continue;
        QStringList calls;
        for (const SatelliteCall& c : s.digipeaters)
            calls << c.text();
        parts << s.name + QStringLiteral(" (") + calls.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace selvane
