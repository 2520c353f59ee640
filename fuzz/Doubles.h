#pragma once
// Stand-ins for the windows, the log and the engine connection, so that the
// core's real logic runs in a fuzz target without a display or a socket.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

#include "agw/AgwFrame.h"
#include "agw/Interfaces.h"
#include "log/DailyLog.h"
#include "telemetry/TelemetryDecoder.h"
#include "telemetry/TelemetryView.h"

// A broken promise of the code under test: reported and aborted, so that
// libFuzzer keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace selvane::fuzz {

inline QByteArray Bytes(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

struct NullLinkView : ILinkView {
    void setStatusText(const QString&) override {}
    void setTrayTip(const QString&) override {}
    void setRunning(bool) override {}
    void showReceived(const QStringList&, PacketColour) override {}
    void showTransmitted(const QStringList&) override {}
    void setPortsText(const QString&) override {}
    void addPort(const QString&) override {}
    void clearPorts() override {}
    void showSocketError(const QString&) override {}
    QString caption() const override { return QStringLiteral("Selvane"); }
};

// Counts only what a harness checks.
struct NullTelemetryView : ITelemetryView {
    bool visible = false;
    int loadErrors = 0;
    int captions = 0;
    qsizetype lines = 0;

    void setTelemetryCaption(const QString&) override { ++captions; }
    void clearTelemetryLists() override { lines = 0; }
    void addTelemetryLine(TelemetryList, const QString&) override { ++lines; }
    bool telemetryWindowVisible() const override { return visible; }
    void showTelemetryWindow() override { visible = true; }
    void hideTelemetryWindow() override { visible = false; }
    void setWarning(const QString&) override {}
    void setWarningVisible(bool) override {}
    void setSelectedTelemetryWindowMode(int) override {}
    void showLoadError(const QString&) override { ++loadErrors; }
};

struct NullTimer : ITelemetryTimer {
    bool running = false;
    void start() override { running = true; }
    void stop() override { running = false; }
    bool isRunning() const override { return running; }
};

struct NullHistoryWriter : ITelemetryHistoryWriter {
    void WriteTlmHistory(const QString&, const QString&) override {}
};

struct CountingLog : IPacketLog {
    qsizetype records = 0;
    bool logEnabled() const override { return true; }
    void WriteDailyLog(const QString&, const QString&, const QString&) override { ++records; }
};

// The engine connection: every frame the gateway sends must be a whole "V"
// frame whose declared length is its data part.
struct CheckingSink : IPacketSink {
    qsizetype frames = 0;
    void sendPacket(const OutgoingPacket& packet, int port) override
    {
        const QByteArray frame = BuildViaFrame(packet, port);
        ++frames;
        FUZZ_CHECK(frame.size() >= AgwFrame::HeaderSize);
        FUZZ_CHECK(FrameKind(frame, 0) == 'V');
        FUZZ_CHECK(qsizetype(FrameDataLength(frame, 0)) == frame.size() - AgwFrame::HeaderSize);
        // The via count, then one 10-byte slot per entry, each ended by a NUL.
        FUZZ_CHECK(frame.size() > AgwFrame::HeaderSize);
        const qsizetype entries = uchar(frame[AgwFrame::HeaderSize]);
        const qsizetype info = AgwFrame::HeaderSize + 1 + entries * AgwFrame::ViaEntrySize;
        FUZZ_CHECK(info <= frame.size());
        for (qsizetype slotEnd = AgwFrame::HeaderSize + AgwFrame::ViaEntrySize; slotEnd < info;
             slotEnd += AgwFrame::ViaEntrySize)
            FUZZ_CHECK(frame[slotEnd] == '\0');
    }
};

} // namespace selvane::fuzz
