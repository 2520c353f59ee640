#include "gateway/StationStatus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <map>

#include "common/TextRules.h"
#include "gateway/Classification.h"
#include "gateway/Station.h"
#include "selvane/Version.h"

namespace selvane {

namespace {

QString ListNameOf(TelemetryList list)
{
    switch (list) {
    case TelemetryList::A:
        return QStringLiteral("A");
    case TelemetryList::B:
        return QStringLiteral("B");
    case TelemetryList::M:
        return QStringLiteral("M");
    }
    return {};
}

// Local time with its offset from UTC, "2026-11-01T10:00:00+01:00"; null
// for no time.
QJsonValue TimeValue(const QDateTime& t)
{
    if (!t.isValid())
        return QJsonValue::Null;
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

QJsonArray Strings(const QStringList& list)
{
    QJsonArray a;
    for (const QString& s : list)
        a.append(s);
    return a;
}

QJsonObject CountsObject(const ActivityCounts& c)
{
    return {
        {QStringLiteral("heard_sats"), c.heardOnSats},
        {QStringLiteral("gated_down"), c.gatedDown},
        {QStringLiteral("gated_up"), c.gatedUp},
        {QStringLiteral("duplicates"), c.duplicates},
        {QStringLiteral("held"), c.held},
    };
}

QJsonObject PacketObject(const SatellitePacket& p)
{
    QJsonArray ports;
    for (int port : p.gatedTo)
        ports.append(port + 1);
    return {
        {QStringLiteral("time"), TimeValue(p.time)},
        {QStringLiteral("satellite"), p.satellite},
        {QStringLiteral("port"), p.port + 1},
        {QStringLiteral("source"), p.source},
        {QStringLiteral("destination"), p.destination},
        {QStringLiteral("path"), p.via.join(QLatin1Char(','))},
        {QStringLiteral("text"), QString::fromLatin1(p.info)},
        {QStringLiteral("gated_to"), ports},
        {QStringLiteral("duplicate"), p.duplicate},
        {QStringLiteral("held"), p.held},
        {QStringLiteral("refused"), p.refused},
        {QStringLiteral("aprs_is"), UploadOutcomeName(p.upload)},
    };
}

} // namespace

QByteArray TelemetryPlots(const QList<TelemetrySample>& samples)
{
    std::map<int, std::map<QString, QJsonArray>> byQuantity;
    std::map<int, QString> units;
    for (const TelemetrySample& s : samples) {
        const int q = int(s.quantity);
        units[q] = s.unit;
        byQuantity[q][s.series].append(QJsonArray{s.time.hour() * 60 + s.time.minute(), s.value});
    }
    QJsonArray plots;
    for (const auto& [q, series] : byQuantity) {
        QJsonArray lines;
        for (const auto& [name, points] : series)
            lines.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("points"), points}});
        plots.append(QJsonObject{{QStringLiteral("quantity"), TelemetryQuantityName(TelemetryQuantity(q))},
                                 {QStringLiteral("unit"), units[q]},
                                 {QStringLiteral("series"), lines}});
    }
    return QJsonDocument(plots).toJson(QJsonDocument::Compact);
}

namespace {

// A label value of the text format: backslash, double quote and line feed
// escaped.
QByteArray LabelValue(const QString& text)
{
    QByteArray out;
    for (char c : text.toUtf8()) {
        if (c == '\\' || c == '"')
            out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out;
}

void Metric(QByteArray& out, const char* name, const char* type, const char* help, double value)
{
    out += QByteArray("# HELP ") + name + ' ' + help + "\n# TYPE " + name + ' ' + type + '\n' + name + ' '
           + QByteArray::number(value, 'g', 15) + '\n';
}

} // namespace

QString UploadOutcomeName(UploadOutcome outcome)
{
    switch (outcome) {
    case UploadOutcome::None:
        return {};
    case UploadOutcome::Uploaded:
        return QStringLiteral("uploaded");
    case UploadOutcome::Missed:
        return QStringLiteral("missed");
    case UploadOutcome::Filtered:
        return QStringLiteral("filtered");
    case UploadOutcome::Held:
        return QStringLiteral("held");
    }
    return {};
}

QString AprsIsStateName(AprsIsState state)
{
    switch (state) {
    case AprsIsState::Off:
        return QStringLiteral("off");
    case AprsIsState::Connecting:
        return QStringLiteral("connecting");
    case AprsIsState::Verified:
        return QStringLiteral("verified");
    case AprsIsState::Unverified:
        return QStringLiteral("unverified");
    case AprsIsState::Error:
        return QStringLiteral("error");
    }
    return {};
}

QString TelemetryQuantityName(TelemetryQuantity q)
{
    switch (q) {
    case TelemetryQuantity::PanelCurrent:
        return QStringLiteral("panel_current");
    case TelemetryQuantity::Temperature:
        return QStringLiteral("temperature");
    case TelemetryQuantity::BatteryVoltage:
        return QStringLiteral("battery_voltage");
    case TelemetryQuantity::BatteryCurrent:
        return QStringLiteral("battery_current");
    case TelemetryQuantity::TransmitterPower:
        return QStringLiteral("transmitter_power");
    }
    return {};
}

StationStatus TakeStationStatus(Station& station, const QString& program, bool withTelemetryDay)
{
    const StationActivity& a = station.activity();
    const ILiveSettings& settings = station.settings();
    StationStatus s;
    s.now = a.now();
    s.program = program;
    s.version = QStringLiteral(SELVANE_VERSION);
    s.call = CallOrAlias(settings.gatewayCall());
    s.started = a.started();
    if (TrimBlanks(settings.gatewayCall()).isEmpty())
        s.warnings << QStringLiteral("nessun nominativo impostato: i pacchetti escono con %1").arg(s.call);
    if (!station.config().satellites.anyEnabled())
        s.warnings << QStringLiteral("nessun satellite abilitato: il gateway non inoltra nulla");
    if (!a.fileTroubleText().isEmpty())
        s.warnings << QStringLiteral("file non scritto: ") + a.fileTroubleText();
    if (!a.telemetryWarningText().isEmpty())
        s.warnings << a.telemetryWarningText();

    EngineLink& link = station.link();
    auto* agw = qobject_cast<AgwLink*>(&link);
    s.engine.kind = EngineTypeName(station.engineKind());
    s.engine.address = station.engineAddress();
    s.engine.connectedSince = a.connectedSince();
    s.engine.state = a.connectedSince().isValid() ? QStringLiteral("connected")
                     : link.isRunning()           ? QStringLiteral("connecting")
                                                  : QStringLiteral("stopped");
    if (s.engine.connectedSince.isValid() && agw) {
        if (const std::optional<EngineProfile> p = agw->profileInForce())
            s.engine.profile = *p == EngineProfile::DireWolf  ? QStringLiteral("direwolf")
                               : *p == EngineProfile::RawFrames ? QStringLiteral("raw-frames")
                                                                : QStringLiteral("agwpe");
    }
    s.engine.version = a.engineVersionText();
    s.engine.ports = a.enginePortList();
    if (const QList<int> unusable = agw ? agw->unusablePorts() : QList<int>(); !unusable.isEmpty())
        s.engine.warnings << AgwLink::UnusablePortsText(unusable);
    if (!a.engineReading())
        s.engine.warnings << QStringLiteral("il motore non legge: i pacchetti da trasmettere vengono scartati");
    s.engine.droppedFrames = link.droppedFrames();

    if (AprsIsGate* gate = station.aprsIs()) {
        s.aprsIs.enabled = gate->config().enabled;
        s.aprsIs.state = AprsIsStateName(gate->state());
        s.aprsIs.server = gate->config().enabled ? gate->config().server : QString();
        s.aprsIs.verified = gate->state() == AprsIsState::Verified;
        s.aprsIs.counters = gate->counters();
    }

    s.total = a.total();
    s.lastHour = a.lastHour();
    s.packets = a.packets();
    s.telemetryLines = a.telemetryLines();
    s.telemetryValues = a.telemetryLastValues();
    if (withTelemetryDay)
        s.telemetryToday = a.telemetryToday();
    return s;
}

QByteArray StatusJson(const StationStatus& s, const QByteArray* plots)
{
    QJsonArray packets;
    for (const SatellitePacket& p : s.packets)
        packets.append(PacketObject(p));

    QJsonArray lines;
    for (const TelemetryLineSeen& l : s.telemetryLines)
        lines.append(QJsonObject{{QStringLiteral("list"), ListNameOf(l.list)},
                                 {QStringLiteral("time"), TimeValue(l.time)},
                                 {QStringLiteral("line"), l.line}});
    QJsonArray values;
    for (const TelemetrySample& v : s.telemetryValues)
        values.append(QJsonObject{{QStringLiteral("series"), v.series},
                                  {QStringLiteral("quantity"), TelemetryQuantityName(v.quantity)},
                                  {QStringLiteral("value"), v.value},
                                  {QStringLiteral("unit"), v.unit},
                                  {QStringLiteral("time"), v.time.toString(QStringLiteral("HH:mm"))}});

    const AprsIsCounters& c = s.aprsIs.counters;
    const QJsonObject root{
        {QStringLiteral("now"), TimeValue(s.now)},
        {QStringLiteral("station"),
         QJsonObject{{QStringLiteral("program"), s.program},
                     {QStringLiteral("version"), s.version},
                     {QStringLiteral("call"), s.call},
                     {QStringLiteral("started"), TimeValue(s.started)},
                     {QStringLiteral("warnings"), Strings(s.warnings)}}},
        {QStringLiteral("engine"),
         QJsonObject{{QStringLiteral("kind"), s.engine.kind},
                     {QStringLiteral("address"), s.engine.address},
                     {QStringLiteral("state"), s.engine.state},
                     {QStringLiteral("connected_since"), TimeValue(s.engine.connectedSince)},
                     {QStringLiteral("profile"), s.engine.profile},
                     {QStringLiteral("version"), s.engine.version},
                     {QStringLiteral("ports"), Strings(s.engine.ports)},
                     {QStringLiteral("warnings"), Strings(s.engine.warnings)},
                     {QStringLiteral("dropped_frames"), s.engine.droppedFrames}}},
        {QStringLiteral("aprs_is"),
         QJsonObject{{QStringLiteral("enabled"), s.aprsIs.enabled},
                     {QStringLiteral("state"), s.aprsIs.state},
                     {QStringLiteral("server"), s.aprsIs.server},
                     {QStringLiteral("verified"), s.aprsIs.verified},
                     {QStringLiteral("counters"),
                      QJsonObject{{QStringLiteral("uploaded"), c.uploaded},
                                  {QStringLiteral("missed"), c.missed},
                                  {QStringLiteral("filtered"), c.filtered},
                                  {QStringLiteral("held_now"), c.heldNow},
                                  {QStringLiteral("held"), c.held},
                                  {QStringLiteral("superseded"), c.superseded},
                                  {QStringLiteral("released"), c.released},
                                  {QStringLiteral("station_lines"), c.stationLines}}}}},
        {QStringLiteral("counters"),
         QJsonObject{{QStringLiteral("since"), TimeValue(s.started)},
                     {QStringLiteral("total"), CountsObject(s.total)},
                     {QStringLiteral("last_hour"), CountsObject(s.lastHour)}}},
        {QStringLiteral("packets"), packets},
    };
    // The plots go in as they were written: "telemetry" is put together from
    // whole JSON texts, each an object whose closing brace is replaced.
    QByteArray telemetry =
        QJsonDocument(QJsonObject{{QStringLiteral("lines"), lines}, {QStringLiteral("values"), values}})
            .toJson(QJsonDocument::Compact);
    telemetry.chop(1);
    telemetry += ",\"plots\":" + (plots ? *plots : TelemetryPlots(s.telemetryToday)) + '}';
    QByteArray json = QJsonDocument(root).toJson(QJsonDocument::Compact);
    json.chop(1);
    return json + ",\"telemetry\":" + telemetry + '}';
}

QByteArray StatusMetrics(const StationStatus& s)
{
    QByteArray out;
    out += "# HELP selvane_info The gateway's call and version.\n# TYPE selvane_info gauge\n";
    out += "selvane_info{call=\"" + LabelValue(s.call) + "\",version=\"" + LabelValue(s.version) + "\"} 1\n";
    Metric(out, "selvane_start_time_seconds", "gauge", "When the gateway started, in seconds since 1970.",
           double(s.started.toSecsSinceEpoch()));
    Metric(out, "selvane_engine_connected", "gauge", "1 while the engine is connected.",
           s.engine.connectedSince.isValid() ? 1 : 0);
    Metric(out, "selvane_engine_dropped_frames_total", "counter",
           "Frames dropped because the engine did not read them.", double(s.engine.droppedFrames));
    Metric(out, "selvane_heard_sats_total", "counter", "Packets heard on the Sats ports.", double(s.total.heardOnSats));
    Metric(out, "selvane_gated_down_total", "counter", "Packets gated from the Sats ports to the Out ports.",
           double(s.total.gatedDown));
    Metric(out, "selvane_gated_up_total", "counter", "Packets gated from the Out ports up to a satellite.",
           double(s.total.gatedUp));
    Metric(out, "selvane_duplicates_total", "counter", "Packets held back as duplicates.", double(s.total.duplicates));
    Metric(out, "selvane_held_total", "counter", "Packets held back by the uplink limits.", double(s.total.held));
    Metric(out, "selvane_aprs_is_verified", "gauge", "1 while logged in to APRS-IS with a verified passcode.",
           s.aprsIs.verified ? 1 : 0);
    Metric(out, "selvane_aprs_is_uploaded_total", "counter", "Packets uploaded to APRS-IS.",
           double(s.aprsIs.counters.uploaded));
    Metric(out, "selvane_aprs_is_missed_total", "counter",
           "Packets that would have gone to APRS-IS, without a verified login.", double(s.aprsIs.counters.missed));
    Metric(out, "selvane_aprs_is_filtered_total", "counter", "Packets kept back by the upload rules.",
           double(s.aprsIs.counters.filtered));
    Metric(out, "selvane_aprs_is_held", "gauge", "Packets in the satgate hold now.", double(s.aprsIs.counters.heldNow));
    Metric(out, "selvane_aprs_is_held_total", "counter", "Packets put in the satgate hold.",
           double(s.aprsIs.counters.held));
    Metric(out, "selvane_aprs_is_superseded_total", "counter",
           "Held packets dropped because the satellite's copy went up.", double(s.aprsIs.counters.superseded));
    Metric(out, "selvane_aprs_is_released_total", "counter",
           "Held packets uploaded when no satellite copy came in time.", double(s.aprsIs.counters.released));
    const QList<TelemetrySample>& values = s.telemetryValues;
    if (!values.isEmpty()) {
        out += "# HELP selvane_telemetry_value The last PCSAT telemetry value of each series today.\n"
               "# TYPE selvane_telemetry_value gauge\n";
        for (const TelemetrySample& v : values)
            out += "selvane_telemetry_value{series=\"" + LabelValue(v.series) + "\",quantity=\""
                   + LabelValue(TelemetryQuantityName(v.quantity)) + "\",unit=\"" + LabelValue(v.unit) + "\"} "
                   + QByteArray::number(v.value, 'g', 15) + '\n';
    }
    return out;
}

} // namespace selvane
