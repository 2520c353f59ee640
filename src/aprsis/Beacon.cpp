#include "aprsis/Beacon.h"

#include <algorithm>
#include <cmath>

namespace selvane {

namespace {

// The most a status report's text may hold.
constexpr qsizetype kMaxStatusText = 62;
constexpr int kTelemetryChannels = 5;

QByteArray Head(const QString& call)
{
    return call.toLatin1() + '>' + kSelvaneTocall + ",TCPIP*:";
}

// Degrees as APRS writes them, DDMM.mm or DDDMM.mm and the hemisphere, from
// the value rounded to the hundredth of a minute.
QByteArray Angle(double degrees, int degreeDigits, char positive, char negative)
{
    const qint64 hundredths = std::llround(std::fabs(degrees) * 6000.0);
    const char hemisphere = degrees < 0 && hundredths != 0 ? negative : positive;
    return QByteArray::number(hundredths / 6000).rightJustified(degreeDigits, '0')
           + QByteArray::number(hundredths % 6000 / 100).rightJustified(2, '0') + '.'
           + QByteArray::number(hundredths % 100).rightJustified(2, '0') + hemisphere;
}

qint64 Counted(qint64 before, qint64 now)
{
    return now >= before ? now - before : now;
}

} // namespace

QByteArray BeaconPositionLine(const QString& call, double latitude, double longitude, const QString& comment)
{
    return Head(call) + '!' + Angle(latitude, 2, 'N', 'S') + 'S' + Angle(longitude, 3, 'E', 'W') + '&'
           + comment.toUtf8();
}

QByteArray BeaconStatusLine(const QString& call, const QString& text)
{
    return Head(call) + '>' + text.toUtf8();
}

QString SatgateStatusText(const SatelliteTable& satellites, bool gatingUp)
{
    const QString tail = gatingUp ? QStringLiteral("; uplink on") : QStringLiteral("; uplink off");
    QStringList names;
    for (const Satellite& s : satellites.satellites())
        if (s.enabled)
            names << s.name;
    if (names.isEmpty())
        return QStringLiteral("Satgate, no satellite enabled");
    // The names that fit, then "..." for the rest.
    QString text = QStringLiteral("Satgate ") + names.join(QStringLiteral(", ")) + tail;
    while (text.size() > kMaxStatusText && names.size() > 1) {
        names.removeLast();
        text = QStringLiteral("Satgate ") + names.join(QStringLiteral(", ")) + QStringLiteral(", ...") + tail;
    }
    return text.left(kMaxStatusText);
}

StationTraffic TrafficSince(const StationTraffic& before, const StationTraffic& now)
{
    return {Counted(before.heard, now.heard), Counted(before.down, now.down), Counted(before.up, now.up),
            Counted(before.uploaded, now.uploaded), Counted(before.held, now.held)};
}

QByteArray TelemetryLine(const QString& call, int sequence, const StationTraffic& c)
{
    QByteArray line = Head(call) + "T#" + QByteArray::number(sequence % 1000).rightJustified(3, '0');
    for (qint64 v : {c.heard, c.down, c.up, c.uploaded, c.held})
        line += ',' + QByteArray::number(std::clamp<qint64>(v, 0, 255)).rightJustified(3, '0');
    return line + ",00000000";
}

QList<QByteArray> TelemetryDefinitionLines(const QString& call)
{
    // A message to itself: the addressee in nine characters.
    const QByteArray to = Head(call) + ':' + call.toLatin1().leftJustified(9, ' ') + ':';
    QByteArray equations = "EQNS.";
    for (int i = 0; i < kTelemetryChannels; ++i)
        equations += i == 0 ? "0,1,0" : ",0,1,0";
    // Channel names within the lengths the format allows (7, 7, 6, 6, 5).
    return {to + "PARM.Heard,Down,Up,Upload,Held", to + "UNIT.pkt,pkt,pkt,pkt,pkt", to + equations};
}

BeaconSchedule::BeaconSchedule(MonotonicMs clock) : m_clock(std::move(clock)) {}

void BeaconSchedule::start(int beaconMinutes)
{
    const qint64 now = m_clock();
    const qint64 interval = qint64(beaconMinutes) * 60 * 1000;
    if (m_running) {
        if (interval != m_positionMs && m_nextPosition)
            m_nextPosition = now + interval;
        if (interval == 0) {
            m_nextPosition.reset();
            m_positionWaits = false;
        } else if (m_positionMs == 0) {
            m_positionWaits = true;   // a position was added: it goes at once
        }
        m_positionMs = interval;
        return;
    }
    m_running = true;
    m_positionMs = interval;
    m_positionWaits = false;
    m_nextPosition.reset();
    m_definitionsWait = true;
    m_nextDefinitions.reset();
    m_nextTelemetry = now + kTelemetryMs;
}

void BeaconSchedule::stop()
{
    m_running = false;
}

void BeaconSchedule::loggedIn()
{
    m_positionWaits = m_running && m_positionMs > 0;
}

QList<BeaconSchedule::Line> BeaconSchedule::due(bool loggedIn)
{
    if (!m_running)
        return {};
    const qint64 now = m_clock();
    if (m_nextPosition && now >= *m_nextPosition) {
        m_positionWaits = true;
        m_nextPosition.reset();
    }
    if (m_nextDefinitions && now >= *m_nextDefinitions) {
        m_definitionsWait = true;
        m_nextDefinitions.reset();
    }
    QList<Line> out;
    if (loggedIn && m_positionWaits) {
        out << Line::Position;
        m_positionWaits = false;
        m_nextPosition = now + m_positionMs;
    }
    if (loggedIn && m_definitionsWait) {
        out << Line::Definitions;
        m_definitionsWait = false;
        m_nextDefinitions = now + kDefinitionsMs;
    }
    if (now >= m_nextTelemetry) {
        out << Line::Telemetry;
        // After a long pause (a suspended machine) one report, not a burst.
        m_nextTelemetry += kTelemetryMs;
        if (m_nextTelemetry <= now)
            m_nextTelemetry = now + kTelemetryMs;
    }
    return out;
}

std::optional<qint64> BeaconSchedule::nextDueMs() const
{
    if (!m_running)
        return std::nullopt;
    qint64 next = m_nextTelemetry;
    for (const std::optional<qint64>& t : {m_nextPosition, m_nextDefinitions})
        if (t)
            next = std::min(next, *t);
    return next;
}

} // namespace selvane
