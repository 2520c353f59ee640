#pragma once
// A small AGWPE-compatible engine for trying Selvane without a radio and for
// the integration tests. It answers the "R" and "G" requests, records every
// frame a client sends, plays a script of heard ("U") and transmitted ("T")
// monitor frames and can cut its output into pieces or close on cue.
//
// Behaviour choices:
// - One client is served at a time; a new connection replaces the previous
//   one (the old socket is closed).
// - "m" switches monitoring on (it is not a toggle). A started script plays
//   once the connected client has sent "m"; a new client starts it again
//   from its first line. The C++ send calls write at once, monitoring or not.
// - The "G" reply is the port count, ";", one description per port each
//   ended by ";", then a NUL byte.
// - Monitor text: header line CR information line CR CR NUL, the header in
//   the form " 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]"
//   (1-based port, via entries as given, local time or a fixed time).
// - A received "V" (and "M") frame is echoed as a "T" monitor frame while
//   the client monitors, when echo is on.
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimer>

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
struct ScriptStep {
    enum class Type { Wait, Frame, Cut, Close, Time, Raw };
    Type type = Type::Wait;
    int waitMs = 0;
    char kind = 'U';
    int port = 0;
    QString from, to, info;
    QStringList via;
    QList<qsizetype> cuts;
    QTime time;          // Time: invalid means the local clock
    QByteArray raw;
};

class TestEngine : public QObject {
    Q_OBJECT
public:
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

    bool hasClient() const;
    bool monitoring() const { return m_monitoring; }

    // Frame building, public for tests.
    static QByteArray buildFrame(char kind, int port, const QByteArray& from,
                                 const QByteArray& to, const QByteArray& data);
    static QByteArray monitorText(int port, const QString& from, const QString& to,
                                  const QStringList& via, const QString& info, const QTime& time);
    // One line per frame: kind port= from= to= via= text=, control bytes as \xHH.
    static QString formatRecord(const ReceivedFrame& frame);

    // Output to the connected client (dropped when none is connected).
    void sendMonitor(char kind, int port, const QString& from, const QString& to,
                     const QStringList& via, const QString& info);
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
