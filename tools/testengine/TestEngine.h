#pragma once
// A small AGWPE-compatible engine for trying Selvane without a radio and for
// the integration tests. It answers the "R" and "G" requests, records every
// frame a client sends, plays a script of heard ("U") and transmitted ("T")
// monitor frames and can cut its output into pieces or close on cue. It can
// also behave like Dire Wolf: raw "K" frames on request and Dire Wolf's
// monitor text.
//
// Behaviour choices:
// - One client is served at a time; a new connection replaces the previous
//   one (the old socket is closed).
// - "m" switches monitoring on (it is not a toggle). A started script plays
//   once the connected client has sent "m"; a new client starts it again
//   from its first line. The C++ send calls write at once, monitoring or not.
// - The "G" reply is the port count, ";", one description per port each
//   ended by ";", then a NUL byte.
// - Monitor text, AGW Packet Engine style (the default): header line CR
//   information CR CR NUL, the header in the form
//   " 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]"
//   (1-based port, via entries as given, local time or a fixed time).
//   Dire Wolf style: " 1:Fm N0CALL-9 To APRS Via RS0ISS <UI pid=F0 Len=5 PF=0 >[08:15:30]"
//   then CR information CR NUL: no "*" anywhere, as Dire Wolf 1.6 writes it.
// - A received "V" (and "M") frame is echoed as a "T" monitor frame while
//   the client monitors, when echo is on.
// - Raw frames (when available, as in Dire Wolf mode): "k" is a toggle per
//   connection, off for each new client. While on, a heard frame sent with
//   sendHeard() goes out as a "K" frame (0x00 + AX.25 frame without flags
//   and FCS) immediately followed by its "U" frame, both with the same port
//   and call fields. The "has been repeated" bit is set on exactly the via
//   entries written with a trailing "*".
// - Reading can be stopped while writing goes on (an engine that hangs).
// - An AGW engine that ignores "V" (as the Qt sound modem does): "V" frames
//   are recorded and otherwise dropped; "K" frames from the client are
//   transmitted and reported as "T" frames while the client monitors.
// - KISS mode: a KISS TNC over TCP (listen()) or on a pseudo-terminal
//   (openPseudoTerminal(), the serial case). Heard frames go out as KISS
//   data frames (the port in the command's high nibble, the AX.25 frame
//   with the repeated bits of the via entries written with "*"); nothing is
//   asked of it, and what it receives is recorded as kind "K" with the via
//   entries marked from their bits, so its record lines read as those of
//   "V" frames in the text form.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimer>

class QSocketNotifier;
class QTcpServer;
class QTcpSocket;

namespace selvane {

// One frame received from the client, decoded for reading.
struct ReceivedFrame {
    char kind = 0;
    int port = 0;         // byte 0 of the header (0-based radio port)
    QString from, to;     // call fields up to their first NUL
    QStringList via;      // "V" frames: the via slots, each up to its first NUL
    QByteArray data;      // the whole data part
    QString text;         // "V": the text after the via slots; others: the data
    QByteArray raw;       // header and data as received
};

// One line of a script.
// Frame lines: kind 'U' or 'T' is one monitor frame in the engine's style
// ('U' in Dire Wolf style is a heard frame as with 'K'), 'K' a heard frame
// the Dire Wolf way. RawFrame is a "K" frame with the bytes in raw as data.
struct ScriptStep {
    enum class Type { Wait, Frame, Cut, Close, Time, Raw, RawFrame, Reading };
    Type type = Type::Wait;
    int waitMs = 0;
    char kind = 'U';
    int port = 0;
    QString from, to, info;
    QStringList via;
    QList<qsizetype> cuts;
    QTime time;          // Time: invalid means the local clock
    QByteArray raw;
    bool on = true;      // Reading
};

class TestEngine : public QObject {
    Q_OBJECT
public:
    enum class MonitorStyle { AgwPacketEngine, DireWolf };
    enum class Protocol { Agw, Kiss };

    explicit TestEngine(QObject* parent = nullptr);
    ~TestEngine() override;

    // Port 0 lets the system choose; serverPort() then tells which.
    bool listen(const QHostAddress& address = QHostAddress::LocalHost, quint16 port = 0);
    quint16 serverPort() const;
    QString errorString() const;

    void setVersion(int major, int minor);
    void setPorts(const QStringList& descriptions);   // "Port1 Test engine port 1", ...
    void setEchoTransmissions(bool on) { m_echo = on; }
    void setFixedTime(const QTime& time) { m_fixedTime = time; }  // invalid: local clock
    void setPiecePause(int ms) { m_piecePauseMs = ms; }
    void setLoop(bool on) { m_loop = on; }
    void setMonitorStyle(MonitorStyle style) { m_style = style; }
    MonitorStyle monitorStyle() const { return m_style; }
    // Whether "k" is understood; off: "k" is recorded and otherwise ignored.
    void setRawFramesAvailable(bool on) { m_rawAvailable = on; }
    // Version 2005.127, Dire Wolf's monitor text, raw frames on "k".
    void setDireWolf();
    // "V" frames are dropped; "K" frames are transmitted (see above).
    void setIgnoresViaFrames(bool on) { m_ignoreVia = on; }
    // KISS instead of AGW on the TCP port.
    void setProtocol(Protocol protocol) { m_protocol = protocol; }
    Protocol protocol() const { return m_protocol; }
    // A KISS TNC on a new pseudo-terminal, whose path the client opens as a
    // serial device; false when the system gives none.
    bool openPseudoTerminal();
    QString pseudoTerminalPath() const { return m_ptyPath; }
    // The client's end goes away (a TNC unplugged): the pseudo-terminal is
    // closed.
    void closePseudoTerminal();
    // Off: the client's socket is no longer read (its bytes pile up in the
    // system's buffers) while output goes on; on: what piled up is handled.
    void setReading(bool on);
    bool reading() const { return m_reading; }

    bool hasClient() const;
    bool monitoring() const { return m_monitoring; }
    bool rawFrames() const { return m_rawFrames; }   // the client's "k" state

    // Frame building, public for tests.
    static QByteArray buildFrame(char kind, int port, const QByteArray& from,
                                 const QByteArray& to, const QByteArray& data);
    static QByteArray monitorText(int port, const QString& from, const QString& to,
                                  const QStringList& via, const QString& info, const QTime& time,
                                  MonitorStyle style = MonitorStyle::AgwPacketEngine);
    // A KISS data frame for the port with the AX.25 frame (as rawFrameData
    // without its first byte).
    static QByteArray kissFrame(int port, const QByteArray& ax25);
    // "K" data: 0x00, then the AX.25 UI frame: destination, source, the via
    // entries (H bit set on those ending in "*"), control 0x03, pid 0xF0, info.
    // A call is cut to 6 characters; its SSID is the number after "-".
    static QByteArray rawFrameData(const QString& from, const QString& to,
                                   const QStringList& via, const QString& info);
    // C-style escapes of script text: \\ \r \n \0 \xHH; others stay as written,
    // and so does \0 before a digit (APRS positions such as "N\07201.75W").
    static QString unescape(const QString& text);
    // One line per frame: kind port= from= to= via= text=, control bytes as \xHH.
    static QString formatRecord(const ReceivedFrame& frame);

    // Output to the connected client (dropped when none is connected).
    void sendMonitor(char kind, int port, const QString& from, const QString& to,
                     const QStringList& via, const QString& info);
    // A heard frame the Dire Wolf way: the "K" frame when the client has raw
    // frames on, then the "U" frame with Dire Wolf's text, whatever the style.
    void sendHeard(int port, const QString& from, const QString& to,
                   const QStringList& via, const QString& info);
    // A "K" frame with these data bytes as they stand (raw frames on or not).
    void sendRawFrame(int port, const QString& from, const QString& to, const QByteArray& data);
    void sendRaw(const QByteArray& bytes);
    // The following output is written in pieces cut at these byte positions,
    // counted from the first byte written after this call.
    void setCutPositions(QList<qsizetype> positions);
    void closeClient();   // after the output already queued

    // Script: returns one message per bad line (skipped); good lines are kept.
    QStringList loadScript(const QString& text);
    static QList<ScriptStep> parseScript(const QString& text, QStringList* problems);
    QList<ScriptStep> script() const { return m_script; }
    void startScript();   // plays now if the client monitors, else on its "m"
    void stopScript();
    bool scriptPlaying() const { return m_playing; }

    QList<ReceivedFrame> received() const { return m_received; }
    void clearReceived() { m_received.clear(); }

signals:
    void clientConnected();
    void clientDisconnected();
    void monitoringStarted();
    void frameReceived(const selvane::ReceivedFrame& frame);
    void pieceWritten(const QByteArray& bytes);
    void scriptFinished();

private:
    struct Piece {
        QByteArray bytes;
        bool pauseAfter = false;
        bool close = false;
    };
    void onNewConnection();
    void onReadyRead();
    void onPseudoTerminalReadable();
    void takeKiss(const QByteArray& bytes);
    bool hasOutput() const;
    void onDisconnected();
    void handleFrame(const ReceivedFrame& frame);
    void enqueue(QByteArray bytes);
    void drain();
    void runScript();
    void resetClientState();
    QTime monitorTime() const;

    QTcpServer* m_server = nullptr;
    QPointer<QTcpSocket> m_client;
    QByteArray m_inBuffer;
    bool m_monitoring = false;
    bool m_echo = true;
    bool m_rawFrames = false;
    bool m_rawAvailable = false;
    bool m_reading = true;
    MonitorStyle m_style = MonitorStyle::AgwPacketEngine;
    Protocol m_protocol = Protocol::Agw;
    bool m_ignoreVia = false;
    int m_ptyMaster = -1;
    int m_ptySlave = -1;   // kept open so the client's closing is no hang-up
    QString m_ptyPath;
    QSocketNotifier* m_ptyNotifier = nullptr;
    QByteArray m_kissFrame;
    bool m_kissEscape = false;
    int m_major = 2000, m_minor = 15;
    QStringList m_ports{"Port1 Test engine port 1", "Port2 Test engine port 2"};
    QTime m_fixedTime;
    QList<ReceivedFrame> m_received;

    QList<Piece> m_out;
    QList<qsizetype> m_cuts;
    qsizetype m_cutOffset = 0;
    bool m_pausing = false;
    int m_piecePauseMs = 20;
    QTimer m_pieceTimer;

    QList<ScriptStep> m_script;
    int m_step = 0;
    bool m_armed = false;
    bool m_playing = false;
    bool m_loop = false;
    QTimer m_scriptTimer;
};

}  // namespace selvane
