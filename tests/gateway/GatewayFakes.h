#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>
#include <vector>

#include "agw/AgwFrame.h"
#include "agw/Interfaces.h"
#include "gateway/ITelemetryDecoder.h"
#include "log/DailyLog.h"

// Readable failure messages for texts.
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace selvane::test {

// Monitor header line as the engine writes it for a heard UI frame.
inline QString HeaderLine(const QString& src, const QString& via = {}, int enginePort = 1,
                          const QString& dest = QStringLiteral("APRS"))
{
    const QString viaPart = via.isEmpty() ? QString() : QStringLiteral(" Via ") + via;
    return QStringLiteral(" %1:Fm %2 To %3%4 <UI pid=F0 Len=5 >[08:15:30]")
        .arg(enginePort).arg(src, dest, viaPart);
}

inline PacketStore Store(const QString& header, const QString& info = QStringLiteral("Hello"))
{
    PacketStore s;
    s.lines = {header, info};
    return s;
}

class FakeDecoder : public ITelemetryDecoder {
public:
    bool result = false;
    QString bulletin = QStringLiteral(":BLN1KORVA:Pcsat: Pannelli +X=51mA +Y=69mA +Z=105mA 14:05");
    QStringList calls;
    bool DecodeTelemetry(const QString& sourceCall, PacketStore& store) override
    {
        calls.append(sourceCall);
        if (result)
            store.setInfo(bulletin);
        return result;
    }
};

class FakeLog : public IPacketLog {
public:
    bool enabled = true;
    std::vector<QStringList> records;  // header, info, src
    bool logEnabled() const override { return enabled; }
    void WriteDailyLog(const QString& header, const QString& info, const QString& src) override
    {
        records.push_back({header, info, src});
    }
};

// Records the packets sent as an AGW engine gets them with "V" frames.
class RecordingSink : public IPacketSink {
public:
    std::vector<QByteArray> frames;
    QList<int> unusable;   // ports the engine cannot send on
    void sendPacket(const OutgoingPacket& packet, int port) override { frames.push_back(BuildViaFrame(packet, port)); }
    bool canSendOn(int port) const override { return !unusable.contains(port); }
};

} // namespace selvane::test
