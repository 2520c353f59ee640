#include "aprsis/UploadRules.h"

#include <QCoreApplication>

#include <optional>

#include "aprsis/AprsIsConfig.h"
#include "gateway/Classification.h"
#include "settings/PortList.h"

namespace selvane {

namespace {

// Layers of third-party headers unwrapped at most; each layer is at least a
// few bytes, so this is only a guard.
constexpr int kMaxLayers = 8;


// A call as compared: upper case, no repeated mark, "-0" written as no SSID.
QString ComparableCall(QString call)
{
    call = call.trimmed().toUpper();
    if (call.endsWith(QLatin1Char('*')))
        call.chop(1);
    if (call.endsWith(QLatin1String("-0")))
        call.chop(2);
    return call;
}

bool IsExcludedViaName(const QString& entry)
{
    const QString base = ComparableCall(entry).section(QLatin1Char('-'), 0, 0);
    return base == QLatin1String("TCPIP") || base == QLatin1String("TCPXX") || base == QLatin1String("NOGATE")
           || base == QLatin1String("RFONLY");
}

bool HoldsExcludedName(const QStringList& via)
{
    for (const QString& entry : via)
        if (IsExcludedViaName(entry))
            return true;
    return false;
}

bool HoldsOnlyAprsIsCalls(const HeardPacket& packet)
{
    if (!IsAprsIsCallField(packet.source, false) || !IsAprsIsCallField(packet.destination, false))
        return false;
    for (const QString& entry : packet.via)
        if (!IsAprsIsCallField(entry, true))
            return false;
    return true;
}

// How the outer packet came: see HeardCopy.
HeardCopy CopyOf(const HeardPacket& heard, const SatelliteTable& satellites)
{
    bool anyRepeated = false;
    for (const QString& entry : heard.via) {
        if (satellites.repeatedBy(entry))
            return HeardCopy::RepeatedBySatellite;
        anyRepeated = anyRepeated || entry.endsWith(QLatin1Char('*'));
    }
    if (anyRepeated || heard.via.isEmpty() || satellites.sentBy(heard.source))
        return HeardCopy::Other;
    return HeardCopy::Direct;
}

bool HoldsRepeatedCall(const QStringList& via, const QString& call)
{
    for (const QString& entry : via)
        if (entry.trimmed().endsWith(QLatin1Char('*')) && ComparableCall(entry) == call)
            return true;
    return false;
}

// Printable ASCII other than blank: what a call or via entry of a readable
// header is made of.
bool IsHeaderWord(const QString& word)
{
    if (word.isEmpty())
        return false;
    for (QChar c : word)
        if (c.unicode() <= ' ' || c.unicode() > '~' || c == QLatin1Char('>') || c == QLatin1Char(':'))
            return false;
    return true;
}

// The packet inside a third-party information field "}SRC>DST,PATH:info".
std::optional<HeardPacket> Unwrapped(const HeardPacket& outer)
{
    const qsizetype colon = outer.info.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    const QString header = QString::fromLatin1(outer.info.mid(1, colon - 1));
    const qsizetype gt = header.indexOf(QLatin1Char('>'));
    if (gt < 0)
        return std::nullopt;
    HeardPacket inner;
    inner.port = outer.port;
    inner.source = header.left(gt);
    QStringList path = header.mid(gt + 1).split(QLatin1Char(','));
    inner.destination = path.takeFirst();
    inner.via = path;
    inner.info = outer.info.mid(colon + 1);
    inner.header = header;
    if (!IsHeaderWord(inner.source) || !IsHeaderWord(inner.destination))
        return std::nullopt;
    for (const QString& entry : inner.via)
        if (!IsHeaderWord(entry))
            return std::nullopt;
    return inner;
}

} // namespace

QByteArray UploadableInfo(const QByteArray& info)
{
    qsizetype end = info.size();
    for (qsizetype i = 0; i < info.size(); ++i) {
        if (info[i] == '\r' || info[i] == '\n') {
            end = i;
            break;
        }
    }
    return info.left(end);
}

bool IsAprsIsCallField(const QString& field, bool viaEntry)
{
    if (viaEntry && field.endsWith(QLatin1Char('*')))
        return IsValidLoginCall(field.chopped(1));
    return IsValidLoginCall(field);
}

QByteArray Tnc2Line(const HeardPacket& packet, const QString& loginCall)
{
    if (!HoldsOnlyAprsIsCalls(packet))
        return {};
    QByteArray line = packet.source.toLatin1() + '>' + packet.destination.toLatin1();
    for (const QString& entry : packet.via)
        line += ',' + entry.toLatin1();
    line += ",qAO," + loginCall.toLatin1() + ':' + UploadableInfo(packet.info);
    return line;
}

bool IsExclusion(UploadVerdict verdict)
{
    switch (verdict) {
    case UploadVerdict::AtOnce:
    case UploadVerdict::Held:
    case UploadVerdict::Superseded:
    case UploadVerdict::Released:
    case UploadVerdict::NotSatsPort:
        return false;
    default:
        return true;
    }
}

QString UploadVerdictText(UploadVerdict verdict)
{
    switch (verdict) {
    case UploadVerdict::AtOnce:
        return QCoreApplication::translate("selvane::UploadRules", "caricato subito");
    case UploadVerdict::Held:
        return QCoreApplication::translate("selvane::UploadRules", "trattenuto in attesa della copia del satellite");
    case UploadVerdict::Superseded:
        return QCoreApplication::translate("selvane::UploadRules", "sostituito dalla copia del satellite");
    case UploadVerdict::Released:
        return QCoreApplication::translate("selvane::UploadRules", "caricato dopo l'attesa");
    case UploadVerdict::NotSatsPort:
        return QCoreApplication::translate("selvane::UploadRules", "non da una porta Sats");
    case UploadVerdict::InvalidCall:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, nominativo non valido per APRS-IS");
    case UploadVerdict::ExcludedPath:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, il percorso lo vieta (TCPIP, TCPXX, NOGATE, RFONLY)");
    case UploadVerdict::OwnTransmission:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, trasmesso da questo gateway");
    case UploadVerdict::ThirdPartyDamaged:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, intestazione di terze parti illeggibile");
    case UploadVerdict::Empty:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, campo informazioni vuoto");
    case UploadVerdict::Query:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, interrogazione generica");
    case UploadVerdict::TooLong:
        return QCoreApplication::translate("selvane::UploadRules", "escluso, riga più lunga di %1 byte").arg(kMaxAprsIsLineBytes);
    }
    return {};
}

UploadRules::UploadRules(const ILiveSettings& settings, const SatelliteTable& satellites)
    : m_settings(settings), m_satellites(satellites)
{
}

UploadDecision UploadRules::decide(const HeardPacket& heard, const QString& loginCall) const
{
    UploadDecision d;
    d.packet = heard;
    d.packet.info = UploadableInfo(heard.info);
    if (!ListNamesPort(m_settings.satsPorts(), heard.port))
        return d;
    d.copy = CopyOf(heard, m_satellites);

    const QString ownCall = ComparableCall(CallOrAlias(m_settings.gatewayCall()));
    for (int layer = 0;; ++layer) {
        if (!HoldsOnlyAprsIsCalls(d.packet)) {
            d.verdict = UploadVerdict::InvalidCall;
            return d;
        }
        if (HoldsExcludedName(d.packet.via)) {
            d.verdict = UploadVerdict::ExcludedPath;
            return d;
        }
        if (HoldsRepeatedCall(d.packet.via, ownCall)) {
            d.verdict = UploadVerdict::OwnTransmission;
            return d;
        }
        if (d.packet.info.isEmpty()) {
            d.verdict = UploadVerdict::Empty;
            return d;
        }
        if (d.packet.info.front() != '}')
            break;
        const std::optional<HeardPacket> inner = layer < kMaxLayers ? Unwrapped(d.packet) : std::nullopt;
        if (!inner) {
            d.verdict = UploadVerdict::ThirdPartyDamaged;
            return d;
        }
        d.packet = *inner;
    }
    if (d.packet.info.front() == '?') {
        d.verdict = UploadVerdict::Query;
        return d;
    }
    const QByteArray line = Tnc2Line(d.packet, loginCall);
    if (line.size() > kMaxAprsIsLineBytes) {
        d.verdict = UploadVerdict::TooLong;
        return d;
    }
    d.line = line;
    d.verdict = UploadVerdict::AtOnce;
    return d;
}

} // namespace selvane
