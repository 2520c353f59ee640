#pragma once
#include <QStringList>
#include <QVector>

#include "agw/Interfaces.h"

namespace selvane::test {

// Records everything the link and the dispatcher show.
struct FakeLinkView : ILinkView {
    QString status = QStringLiteral("Premere START per attivare la connessione...");
    QString trayTip = QStringLiteral("Selvane");
    bool running = false;
    QStringList received{QStringLiteral("Selvane v3")};
    PacketColour receivedColour = PacketColour::Green;
    QStringList transmitted;
    QString portsText;
    QStringList ports;
    QStringList socketErrors;
    QString profile;
    int statusChanges = 0;

    void setStatusText(const QString& text) override { status = text; ++statusChanges; }
    void setTrayTip(const QString& text) override { trayTip = text; }
    void setRunning(bool r) override { running = r; }
    void showReceived(const QStringList& lines, PacketColour colour) override
    {
        received = lines;
        receivedColour = colour;
    }
    void showTransmitted(const QStringList& lines) override { transmitted = lines; }
    void setPortsText(const QString& text) override { portsText = text; }
    void addPort(const QString& d) override { ports.append(d); }
    void clearPorts() override { ports.clear(); portsText.clear(); }
    void showSocketError(const QString& description) override { socketErrors.append(description); }
    void showEngineProfile(const QString& text) override { profile = text; }
    QString caption() const override { return QStringLiteral("Selvane"); }
};

// A routing step that answers as told and remembers what it was given.
struct ScriptedRouter : IRoutingStep {
    RouteOutcome answer;
    int calls = 0;
    int lastPort = -1;
    QString lastSrc;
    QByteArray lastHeader;
    QStringList storeSeen;
    int resets = 0;
    // Optionally rewrite the information line, as the telemetry decoder does.
    QString replaceInfo;

    ViaForm lastForm = ViaForm::SevenChar;

    RouteOutcome route(int port, const QString& src, const QByteArray& header, PacketStore& store,
                       GatewayCounters& counters, ViaForm form) override
    {
        lastForm = form;
        ++calls;
        lastPort = port;
        lastSrc = src;
        lastHeader = header;
        storeSeen = store.lines;
        if (!replaceInfo.isEmpty())
            store.setInfo(replaceInfo);
        if (answer.routed)
            ++counters.totalCount;
        if (answer.sent) {
            ++counters.toOutCount;
            store.colour = PacketColour::Yellow;
        }
        if (answer.duplicate)
            store.colour = PacketColour::LightGreen;
        return answer;
    }
    void reset() override { ++resets; }
};

} // namespace selvane::test
