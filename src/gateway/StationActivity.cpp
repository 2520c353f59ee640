#include "gateway/StationActivity.h"

#include <algorithm>

#include "settings/PortList.h"

namespace selvane {

namespace {

constexpr qint64 kMinuteMs = 60 * 1000;

int ListIndex(TelemetryList list)
{
    switch (list) {
    case TelemetryList::A:
        return 0;
    case TelemetryList::B:
        return 1;
    case TelemetryList::M:
        return 2;
    }
    return 0;
}

} // namespace

ActivityCounts& ActivityCounts::operator+=(const ActivityCounts& o)
{
    heardOnSats += o.heardOnSats;
    gatedDown += o.gatedDown;
    gatedUp += o.gatedUp;
    duplicates += o.duplicates;
    held += o.held;
    return *this;
}

QString SatelliteOfHeard(const HeardPacket& packet, const SatelliteTable& satellites)
{
    for (const QString& entry : packet.via)
        if (const std::optional<SatelliteRepeat> r = satellites.repeatedBy(entry))
            return r->satellite->name;
    if (const Satellite* s = satellites.sentBy(packet.source))
        return s->name;
    return {};
}

StationActivity::StationActivity(Clock clock, MonotonicMs monotonic)
    : m_clock(std::move(clock)), m_monotonic(std::move(monotonic)), m_started(m_clock())
{
    m_tlmLines[0].list = TelemetryList::A;
    m_tlmLines[1].list = TelemetryList::B;
    m_tlmLines[2].list = TelemetryList::M;
}

void StationActivity::count(qint64 ActivityCounts::*member)
{
    ++(m_total.*member);
    const qint64 minute = m_monotonic() / kMinuteMs;
    Minute& m = m_minutes[size_t(minute % kHourMinutes)];
    if (m.minute != minute)
        m = Minute{minute, {}};
    ++(m.counts.*member);
}

ActivityCounts StationActivity::lastHour() const
{
    const qint64 now = m_monotonic() / kMinuteMs;
    ActivityCounts sum;
    for (const Minute& m : m_minutes)
        if (m.minute >= 0 && m.minute > now - kHourMinutes && m.minute <= now)
            sum += m.counts;
    return sum;
}

void StationActivity::heard(const HeardPacket& packet, const QString& satsPorts, const SatelliteTable& satellites)
{
    m_lastHeardKept = false;
    if (!ListNamesPort(satsPorts, packet.port))
        return;
    count(&ActivityCounts::heardOnSats);
    const QString satellite = SatelliteOfHeard(packet, satellites);
    if (satellite.isEmpty())
        return;
    SatellitePacket p;
    p.time = m_clock();
    p.satellite = satellite;
    p.port = packet.port;
    p.source = packet.source;
    p.destination = packet.destination;
    p.via = packet.via;
    p.info = packet.info;
    m_packets.push_back(std::move(p));
    while (m_packets.size() > size_t(kPacketCount))
        m_packets.pop_front();
    m_lastHeardKept = true;
}

SatellitePacket* StationActivity::pending(int port, const QString& source)
{
    if (!m_lastHeardKept || m_packets.empty())
        return nullptr;
    SatellitePacket& p = m_packets.back();
    return p.port == port && p.source == source ? &p : nullptr;
}

void StationActivity::uploadOutcome(UploadOutcome outcome)
{
    if (m_lastHeardKept && !m_packets.empty())
        m_packets.back().upload = outcome;
}

void StationActivity::gated(const GatedPacket& packet)
{
    count(packet.toSats ? &ActivityCounts::gatedUp : &ActivityCounts::gatedDown);
    if (SatellitePacket* p = pending(packet.heardPort, packet.source))
        p->gatedTo = packet.ports;
}

void StationActivity::duplicate(const QString& key)
{
    count(&ActivityCounts::duplicates);
    if (m_lastHeardKept && !m_packets.empty() && m_packets.back().source == key)
        m_packets.back().duplicate = true;
}

void StationActivity::refused(const GatedPacket& packet, RouteRefusal why)
{
    if (why == RouteRefusal::UplinkLimit)
        count(&ActivityCounts::held);
    if (SatellitePacket* p = pending(packet.heardPort, packet.source))
        (why == RouteRefusal::UplinkLimit ? p->held : p->refused) = true;
}

QList<SatellitePacket> StationActivity::packets() const
{
    return QList<SatellitePacket>(m_packets.rbegin(), m_packets.rend());
}

void StationActivity::engineConnected()
{
    m_connectedSince = m_clock();
    m_engineVersion.clear();
    m_engineReading = true;
}

void StationActivity::engineVersion(unsigned major, unsigned minor)
{
    m_engineVersion = QStringLiteral("%1.%2").arg(major).arg(minor);
}

void StationActivity::enginePorts(const QStringList& ports)
{
    m_ports = ports;
}

void StationActivity::engineGone()
{
    m_connectedSince = {};
    m_engineVersion.clear();
    m_ports.clear();
    m_engineReading = true;
}

void StationActivity::engineReading(bool reading)
{
    m_engineReading = reading;
}

void StationActivity::telemetry(TelemetryList list, const QString& line)
{
    const QDateTime now = m_clock();
    m_tlmLines[size_t(ListIndex(list))] = {list, now, line};
    ++m_tlmRevision;
    if (m_sampleDay != now.date()) {
        m_daySamples.clear();
        m_lastValues.clear();
        m_sampleDay = now.date();
    }
    for (const TelemetrySample& s : TelemetrySamples(line)) {
        m_daySamples.push_back(s);
        auto last = std::find_if(m_lastValues.begin(), m_lastValues.end(), [&](const TelemetrySample& l) {
            return l.series == s.series && l.quantity == s.quantity;
        });
        if (last == m_lastValues.end())
            m_lastValues << s;
        else
            *last = s;
    }
    while (m_daySamples.size() > size_t(kMaxDaySamples))
        m_daySamples.pop_front();
}

QList<TelemetryLineSeen> StationActivity::telemetryLines() const
{
    QList<TelemetryLineSeen> lines;
    for (const TelemetryLineSeen& l : m_tlmLines)
        if (!l.line.isEmpty())
            lines << l;
    return lines;
}

QList<TelemetrySample> StationActivity::telemetryToday() const
{
    if (m_sampleDay != m_clock().date())
        return {};
    return QList<TelemetrySample>(m_daySamples.begin(), m_daySamples.end());
}

QList<TelemetrySample> StationActivity::telemetryLastValues() const
{
    return m_sampleDay == m_clock().date() ? m_lastValues : QList<TelemetrySample>();
}

void StationActivity::telemetryWarning(const QString& text, bool visible)
{
    m_warning = text;
    m_warningVisible = visible;
}

void StationActivity::fileTrouble(const QString& what)
{
    m_fileTrouble = what;
}

void StationActivity::filesRecovered()
{
    m_fileTrouble.clear();
}

} // namespace selvane
