#include "telemetry/TelemetryDecoder.h"

#include <QCoreApplication>
#include <QLocale>
#include <cmath>

#include "common/DayFile.h"
#include "common/TextRules.h"
#include "telemetry/NumberFormat.h"

namespace selvane {

namespace {

// A channel as an unsigned byte; empty when it does not fit.
std::optional<double> ByteChannel(double v)
{
    const double r = RoundHalfEven(v);
    if (!(r >= 0.0 && r <= 255.0))
        return std::nullopt;
    return r;
}

float Quadratic(double v, double a, double b, double c)
{
    return static_cast<float>(a * v * v + b * v + c);
}

float Cubic(double v, double a, double b, double c, double d)
{
    return static_cast<float>(a * v * v * v + b * v * v + c * v + d);
}

float Temperature(double v)
{
    return static_cast<float>(0.3414 * v - 19.71);
}

QString F(float value, const char16_t* pattern)
{
    return FormatNumber(value, QStringView(pattern));
}

} // namespace

bool IsBatteryLow(float batteryA, float batteryB)
{
    return batteryA < 14.0f || batteryB < 14.0f;
}

std::optional<TelemetryReport> BuildTelemetryReport(TelemetrySide side, const QString& info,
                                                    const QString& hhmm)
{
    if (Mid(info, 1, 2) != QLatin1String("T#") || side == TelemetrySide::None)
        return std::nullopt;
    const QString group = Mid(info, 38, 2);
    const bool a = side == TelemetrySide::A;
    double ch[4];
    for (int i = 0; i < 4; ++i)
        ch[i] = NumericValue(Mid(info, 7 + 4 * i, 3));
    const QString t = QLatin1Char(' ') + hhmm + QLatin1Char(' ');

    TelemetryReport r;
    if (group == QLatin1String("00")) {
        const auto v1 = ByteChannel(ch[0]);
        const auto v2 = ByteChannel(ch[1]);
        const auto v3 = ByteChannel(ch[2]);
        if (!v1 || !v2 || !v3)
            return std::nullopt;
        float x, y, z;
        if (a) {
            x = Quadratic(*v1, 0.0012, 0.646, -25.96);
            y = Quadratic(*v3, 0.0031, 0.241, -25.3);
            z = Quadratic(*v2, 0.0048, 0.75, -54.6);
        } else {
            x = Quadratic(*v1, 0.0034, 0.2284, -26.6);
            y = Quadratic(*v3, 0.0023, 0.473, -23.2);
            z = Quadratic(*v2, 0.0096, 0.864, -53.8);
        }
        r.bulletin = a ? 1 : 5;
        r.body = (a ? QStringLiteral("Pannelli +X=") : QStringLiteral("Pannelli -X=")) + F(x, u"##0mA")
            + (a ? QStringLiteral(" +Y=") : QStringLiteral(" -Y=")) + F(y, u"##0mA")
            + (a ? QStringLiteral(" +Z=") : QStringLiteral(" -Z=")) + F(z, u"##0mA");
        r.line1 = (a ? QStringLiteral("0") : QStringLiteral("9")) + t + r.body;
    } else if (group == QLatin1String("01")) {
        const float side1 = Temperature(ch[0]);
        const float battery = Temperature(ch[1]);
        const float transmitter = Temperature(ch[2]);
        const float side4 = Temperature(ch[3]);
        r.bulletin = a ? 2 : 6;
        r.body = QStringLiteral("Batt=") + F(battery, u"#0.0") + QStringLiteral("C Tx=")
            + F(transmitter, u"#0.0") + QStringLiteral("C");
        r.line1 = (a ? QStringLiteral("1") : QStringLiteral("5")) + t + QStringLiteral("Temp ") + r.body
            + (a ? QStringLiteral(" +Y=") : QStringLiteral(" -Y=")) + F(side1, u"#0.0")
            + (a ? QStringLiteral("C +Z=") : QStringLiteral("C -Z=")) + F(side4, u"#0.0")
            + QStringLiteral("C");
    } else if (group == QLatin1String("10")) {
        const auto v3 = ByteChannel(ch[2]);
        const auto v4 = ByteChannel(ch[3]);
        if (!v3 || !v4)
            return std::nullopt;
        const float side1 = Temperature(ch[0]);
        const float stack = Temperature(ch[1]);
        const float current = a ? Quadratic(*v3, 0.0037, 0.0264, -18.5)
                                : Quadratic(*v3, 0.0038, 0.0084, -19.8);
        const float charge = a ? Cubic(*v4, -0.00004, 0.0114, -2.56, 252)
                               : Cubic(*v4, -0.00004, 0.0158, -3.32, 259);
        r.bulletin = a ? 3 : 7;
        r.body = QStringLiteral("Corrente di carica Batt=") + F(charge, u"###0mA");
        r.line1 = (a ? QStringLiteral("2") : QStringLiteral("6")) + t
            + (a ? QStringLiteral("Temp +X=") : QStringLiteral("Temp -X=")) + F(side1, u"#0.0")
            + QStringLiteral("C Stack=") + F(stack, u"#0.0")
            + (a ? QStringLiteral("C Corrente -Y=") : QStringLiteral("C Corrente +Y="))
            + F(current, u"##0mA");
        r.line2 = (a ? QStringLiteral("3") : QStringLiteral("7")) + t + r.body;
    } else if (group == QLatin1String("11")) {
        const float batteryA = static_cast<float>(ch[0] * (a ? 0.0984 : 0.09774));
        const float batteryB = static_cast<float>(ch[1] * (a ? 0.09826 : 0.09457));
        const float power = static_cast<float>(ch[2] * (a ? 0.0311 : 0.0223));
        const float supply = static_cast<float>(ch[3] * (a ? 0.0356 : 0.0351));
        r.bulletin = a ? 4 : 8;
        r.body = F(batteryA, u"BattA=##.0#V") + F(batteryB, u" BattB=##.0#V") + F(power, u" Tx=#.0#W");
        r.line1 = (a ? QStringLiteral("4") : QStringLiteral("8")) + t + r.body + QStringLiteral(" 8V=")
            + F(supply, u"#.0#V");
        r.batteryChecked = true;
        r.batteryLow = IsBatteryLow(batteryA, batteryB);
    } else {
        return std::nullopt;
    }

    const bool panels = r.bulletin == 1 || r.bulletin == 5;
    r.header = QStringLiteral(":BLN%1KORVA:").arg(r.bulletin)
        + (panels ? QStringLiteral("Pcsat: ") : (a ? QStringLiteral("PcsatA: ") : QStringLiteral("PcsatB: ")));
    return r;
}

namespace {
const QString kSafeMode = QStringLiteral(" PCSAT: Safe Mode ");
} // namespace

QString SafeModeWarning(const QDateTime& at, const QString& info)
{
    return at.date().toString(QStringLiteral("dd/MM")) + QLatin1Char(' ') + at.time().toString(QStringLiteral("hh:mm"))
           + kSafeMode + Mid(info, 1, 5);
}

std::optional<QTime> SafeModeWarningTime(const QString& warning)
{
    if (Mid(warning, 12, kSafeMode.size()) != kSafeMode)
        return std::nullopt;
    const QTime time = QTime::fromString(Mid(warning, 7, 5), QStringLiteral("hh:mm"));
    return time.isValid() ? std::optional(time) : std::nullopt;
}

TelemetryDecoder::TelemetryDecoder(ITelemetryView& view, TelemetryState& state,
                                   TelemetryWindowModes& modes, ITelemetryHistoryWriter& history,
                                   std::function<bool()> logEnabled, Clock clock)
    : m_view(view)
    , m_state(state)
    , m_modes(modes)
    , m_history(history)
    , m_logEnabled(std::move(logEnabled))
    , m_clock(std::move(clock))
{
}

bool TelemetryDecoder::DecodeTelemetry(const QString& sourceCall, PacketStore& store)
{
    // One reading of the clock for the whole line: the display time, the
    // bulletin time, the day and the warnings always agree, even at midnight.
    const QDateTime now = m_clock();
    const QString hhmm = now.time().toString(QStringLiteral("hh:mm"));
    const QString info = store.info();

    // Everything is computed before anything changes, so a line that cannot
    // be decoded leaves no trace.
    const std::optional<TelemetryReport> report =
        BuildTelemetryReport(m_satellites->telemetrySideOf(sourceCall), info, hhmm);
    if (!report)
        return false;
    const QString ddmm = now.date().toString(QStringLiteral("dd/MM"));

    if (report->batteryChecked) {
        if (report->batteryLow) {
            const bool a = report->bulletin == 4;
            m_state.battLowWarning = ddmm + QLatin1Char(' ') + hhmm
                + (a ? QStringLiteral("  PCSAT A: Batt Low") : QStringLiteral("  PCSAT B: Batt Low"));
            m_view.setWarning(m_state.battLowWarning);
            m_view.setWarningVisible(true);
        } else {
            m_state.battLowWarning.clear();
        }
    }

    // The bulletin takes the place of the telemetry line.
    store.setInfo(report->header + report->body + QLatin1Char(' ')
                  + now.time().toString(QStringLiteral("h:mm")));

    const QString dayKey = DayKey(now.date());
    if (dayKey != m_state.tlmShownDay) {
        m_state.tlmShownDay = dayKey;
        m_view.setTelemetryCaption(QCoreApplication::translate("Telemetry", "Current PCSAT Telemetry - %1")
                                       .arg(QLocale().toString(now.date(), QLocale::LongFormat)));
        m_view.clearTelemetryLists();
    }

    if (m_logEnabled && m_logEnabled()) {
        m_history.WriteTlmHistory(report->line1, dayKey);
        if (!report->line2.isEmpty())
            m_history.WriteTlmHistory(report->line2, dayKey);
    }

    const QChar c = report->line1.at(0);
    if (c >= QLatin1Char('1') && c <= QLatin1Char('4')) {
        m_view.addTelemetryLine(TelemetryList::A, report->line1);
        if (!report->line2.isEmpty())
            m_view.addTelemetryLine(TelemetryList::A, report->line2);
    } else if (c >= QLatin1Char('5') && c <= QLatin1Char('8')) {
        m_view.addTelemetryLine(TelemetryList::B, report->line1);
        if (!report->line2.isEmpty())
            m_view.addTelemetryLine(TelemetryList::B, report->line2);
    } else {
        m_view.addTelemetryLine(TelemetryList::M, report->line1);
    }

    m_modes.TelemetryArrived();

    if (Mid(info, 27, 8) == QLatin1String("11111111") && m_satellites->isSafeModeSource(sourceCall)) {
        m_view.setWarning(SafeModeWarning(now, info));
        m_view.setWarningVisible(true);
    } else if (!m_state.battLowWarning.isEmpty()) {
        m_view.setWarning(m_state.battLowWarning);
    } else {
        m_view.setWarningVisible(false);
    }
    return true;
}

} // namespace selvane
