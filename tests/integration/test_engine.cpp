// The test engine seen from a TCP client on 127.0.0.1: replies, monitor frame
// layout, cut output, close on cue, recording of client frames, scripts, the
// Dire Wolf behaviour (raw "K" frames, its monitor text), stopped reading.
#include <QDeadlineTimer>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "testengine/TestEngine.h"

using selvane::ReceivedFrame;
using selvane::ScriptStep;
using selvane::TestEngine;

namespace {

bool waitFor(const std::function<bool()>& done, int ms = 10000)
{
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(5);
    }
    return true;
}

// A client that keeps every arrival separately.
struct Client {
    QTcpSocket socket;
    QList<QByteArray> arrivals;
    bool closed = false;

    explicit Client(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [this] { arrivals << socket.readAll(); });
        QObject::connect(&socket, &QTcpSocket::disconnected, &socket, [this] { closed = true; });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    QByteArray all() const
    {
        QByteArray bytes;
        for (const QByteArray& a : arrivals)
            bytes += a;
        return bytes;
    }
    void send(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
};

QByteArray request(char kind)
{
    QByteArray frame(36, '\0');
    frame[4] = kind;
    return frame;
}

// Splits a received stream into whole frames (header and data).
QList<QByteArray> framesOf(QByteArray stream)
{
    QList<QByteArray> frames;
    while (stream.size() >= 36) {
        const qsizetype total = 36 + qFromLittleEndian<quint32>(stream.constData() + 28);
        if (stream.size() < total)
            break;
        frames << stream.left(total);
        stream.remove(0, total);
    }
    return frames;
}

// A string literal with its NUL bytes, without the terminating one.
template <std::size_t N>
QByteArray bytes(const char (&text)[N])
{
    return QByteArray(text, N - 1);
}

// The kinds of the frames, in order ("KUT...").
QByteArray kindsOf(const QList<QByteArray>& frames)
{
    QByteArray kinds;
    for (const QByteArray& f : frames)
        kinds += f[4];
    return kinds;
}

QByteArray field10(const char* text)
{
    QByteArray f(text);
    f.resize(10, '\0');
    return f;
}

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(engine.listen(QHostAddress::LocalHost, 0)) << engine.errorString().toStdString();
        ASSERT_NE(engine.serverPort(), 0);
    }
    std::unique_ptr<Client> connectClient()
    {
        auto client = std::make_unique<Client>(engine.serverPort());
        const bool up = waitFor([&] { return client->socket.state() == QAbstractSocket::ConnectedState && engine.hasClient(); });
        EXPECT_TRUE(up);
        return client;
    }
    TestEngine engine;
};

TEST_F(EngineTest, VersionAndPortRepliesAreByteExact)
{
    auto client = connectClient();
    client->send(request('R') + request('G'));
    const QByteArray ports("2;Port1 Test engine port 1;Port2 Test engine port 2;\0", 53);
    QByteArray expected = QByteArray::fromHex("0000000052000000" "00000000000000000000" "00000000000000000000"
                                              "08000000" "00000000" "D00700000F000000");
    expected += QByteArray::fromHex("0000000047000000" "00000000000000000000" "00000000000000000000"
                                    "35000000" "00000000") + ports;
    ASSERT_TRUE(waitFor([&] { return client->all().size() >= expected.size(); }));
    EXPECT_EQ(client->all().toHex(), expected.toHex());

    // The requests themselves are recorded.
    ASSERT_EQ(engine.received().size(), 2);
    EXPECT_EQ(engine.received()[0].kind, 'R');
    EXPECT_EQ(engine.received()[1].kind, 'G');
    EXPECT_TRUE(engine.received()[1].data.isEmpty());

    // Configured version and port list.
    engine.setVersion(2005, 127);
    engine.setPorts({"Port1 only one"});
    client->arrivals.clear();
    client->send(request('R') + request('G'));
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 2; }));
    const QList<QByteArray> frames = framesOf(client->all());
    EXPECT_EQ(frames[0].mid(36).toHex(), QByteArray("d50700007f000000"));
    EXPECT_EQ(frames[1].mid(36), QByteArray("1;Port1 only one;\0", 18));
}

TEST_F(EngineTest, MonitorFramesHaveTheEngineLayout)
{
    auto client = connectClient();
    engine.setFixedTime(QTime(8, 15, 30));
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    engine.sendMonitor('T', 1, "PCSAT-1", "APRS", {}, "T#1");
    engine.sendMonitor('U', 12, "ABCDEFGHIJKL", "CQ", {"A", "B*"}, "");
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 3; }));
    const QList<QByteArray> frames = framesOf(client->all());

    const QByteArray text1(" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]\rHello\r\r\0", 72);
    const QByteArray u = frames[0];
    EXPECT_EQ(u.left(8).toHex(), QByteArray("0000000055000000"));
    EXPECT_EQ(u.mid(8, 10), field10("N0CALL-9"));
    EXPECT_EQ(u.mid(18, 10), field10("APRS"));
    EXPECT_EQ(qFromLittleEndian<quint32>(u.constData() + 28), quint32(text1.size()));
    EXPECT_EQ(u.mid(32, 4), QByteArray(4, '\0'));
    EXPECT_EQ(u.mid(36), text1);

    const QByteArray t = frames[1];
    EXPECT_EQ(t.left(8).toHex(), QByteArray("0100000054000000"));
    EXPECT_EQ(t.mid(36), QByteArray(" 2:Fm PCSAT-1 To APRS <UI pid=F0 Len=3 >[08:15:30]\rT#1\r\r\0", 57));

    // Two-digit port numbers, several via entries, an over-long call cut to its field.
    const QByteArray w = frames[2];
    EXPECT_EQ(static_cast<uchar>(w[0]), 12);
    EXPECT_EQ(w.mid(8, 10), QByteArray("ABCDEFGHIJ"));
    EXPECT_TRUE(w.mid(36).startsWith("13:Fm ABCDEFGHIJKL To CQ Via A,B* <UI pid=F0 Len=0 >[08:15:30]\r\r\r"));
}

TEST_F(EngineTest, CutPositionsDeliverSeparatePieces)
{
    auto client = connectClient();
    engine.setPiecePause(100);
    QSignalSpy pieces(&engine, &TestEngine::pieceWritten);
    engine.setFixedTime(QTime(12, 0, 0));
    engine.setCutPositions({73, 10, 50});  // order does not matter
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    const QByteArray frame = TestEngine::buildFrame('U', 0, "N0CALL-9", "APRS",
        TestEngine::monitorText(0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello", QTime(12, 0, 0)));

    ASSERT_TRUE(waitFor([&] { return client->all().size() >= frame.size(); }));
    EXPECT_EQ(client->all(), frame);
    EXPECT_GE(client->arrivals.size(), 2);
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(pieces[0][0].toByteArray(), frame.left(10));
    EXPECT_EQ(pieces[1][0].toByteArray(), frame.mid(10, 40));
    EXPECT_EQ(pieces[2][0].toByteArray(), frame.mid(50, 23));
    EXPECT_EQ(pieces[3][0].toByteArray(), frame.mid(73));

    // A cut inside the second of two frames; after it, output is whole again.
    pieces.clear();
    client->arrivals.clear();
    engine.setCutPositions({frame.size() + 5});
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {"RS0ISS*"}, "Hello");
    ASSERT_TRUE(waitFor([&] { return client->all().size() >= 3 * frame.size(); }));
    EXPECT_EQ(client->all(), frame + frame + frame);
    ASSERT_EQ(pieces.size(), 4);
    EXPECT_EQ(pieces[0][0].toByteArray(), frame);
    EXPECT_EQ(pieces[1][0].toByteArray(), frame.left(5));
    EXPECT_EQ(pieces[2][0].toByteArray(), frame.mid(5));
    EXPECT_EQ(pieces[3][0].toByteArray(), frame);
}

TEST_F(EngineTest, ClosesOnCueAfterQueuedOutput)
{
    // Through the API: the close waits for the pieces still queued.
    auto client = connectClient();
    QSignalSpy gone(&engine, &TestEngine::clientDisconnected);
    engine.setPiecePause(50);
    engine.setCutPositions({10, 20});
    engine.sendRaw(QByteArray(30, 'x'));
    engine.closeClient();
    ASSERT_TRUE(waitFor([&] { return client->closed; }));
    EXPECT_EQ(client->all(), QByteArray(30, 'x'));
    ASSERT_TRUE(waitFor([&] { return gone.size() == 1; }));
    EXPECT_FALSE(engine.hasClient());
    engine.sendRaw("ignored");  // no client: dropped, no crash

    // From a script: frame, then close; nothing after the close is sent.
    EXPECT_TRUE(engine.loadScript("U 0 N0CALL-9 APRS - | one\nclose\nU 0 N0CALL-9 APRS - | two\n").isEmpty());
    engine.startScript();
    auto second = connectClient();
    second->send(request('m'));
    ASSERT_TRUE(waitFor([&] { return second->closed; }));
    const QList<QByteArray> frames = framesOf(second->all());
    ASSERT_EQ(frames.size(), 1);
    EXPECT_TRUE(frames[0].contains("\rone\r"));
    EXPECT_FALSE(engine.scriptPlaying());
}

TEST_F(EngineTest, RecordsFramesCutAcrossArrivals)
{
    auto client = connectClient();
    QSignalSpy spy(&engine, &TestEngine::frameReceived);
    engine.setFixedTime(QTime(9, 0, 0));
    client->send(request('m'));
    ASSERT_TRUE(waitFor([&] { return engine.monitoring(); }));

    QByteArray v(36, '\0');
    v[0] = 1;
    v[4] = 'V';
    v.replace(8, 10, field10("N0CALL-9"));
    v.replace(18, 10, field10("APRS"));
    QByteArray data(1, 4);
    for (const char* via : {"RS0ISSP", "N0CALLE", "WIDE", "WIDE"})
        data += field10(via);
    data += "Hello";
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), v.data() + 28);
    v += data;

    client->send(v.left(30));  // cut inside the length field
    ASSERT_TRUE(client->socket.waitForBytesWritten(1000) || client->socket.bytesToWrite() == 0);
    QTest::qWait(50);
    EXPECT_EQ(spy.size(), 1);  // only the "m" so far
    client->send(v.mid(30));
    ASSERT_TRUE(waitFor([&] { return spy.size() == 2; }));

    const ReceivedFrame frame = engine.received().last();
    EXPECT_EQ(frame.kind, 'V');
    EXPECT_EQ(frame.port, 1);
    EXPECT_EQ(frame.from, "N0CALL-9");
    EXPECT_EQ(frame.to, "APRS");
    EXPECT_EQ(frame.via, QStringList({"RS0ISSP", "N0CALLE", "WIDE", "WIDE"}));
    EXPECT_EQ(frame.text, "Hello");
    EXPECT_EQ(frame.raw, v);
    EXPECT_EQ(TestEngine::formatRecord(frame), "V port=1 from=N0CALL-9 to=APRS via=RS0ISSP,N0CALLE,WIDE,WIDE text=Hello");

    // The transmission comes back as a "T" monitor frame.
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 1; }));
    EXPECT_EQ(framesOf(client->all())[0],
              TestEngine::buildFrame('T', 1, "N0CALL-9", "APRS",
                  " 2:Fm N0CALL-9 To APRS Via RS0ISSP,N0CALLE,WIDE,WIDE <UI pid=F0 Len=5 >[09:00:00]\rHello\r\r" + QByteArray(1, '\0')));

    // Echo off, two frames in one write: the reply to "R" is the only answer.
    engine.setEchoTransmissions(false);
    client->arrivals.clear();
    client->send(v + request('R'));
    ASSERT_TRUE(waitFor([&] { return spy.size() == 4; }));
    ASSERT_TRUE(waitFor([&] { return !framesOf(client->all()).isEmpty(); }));
    EXPECT_EQ(framesOf(client->all())[0][4], 'R');

    // A "V" frame whose via count runs past its data, and one with no via.
    QByteArray shortV = request('V');
    shortV[28] = 3;
    shortV += QByteArray("\x05" "AB", 3);
    QByteArray noVia = request('V');
    noVia[28] = 3;
    noVia += QByteArray("\0Hi", 3);
    client->send(shortV + noVia);
    ASSERT_TRUE(waitFor([&] { return spy.size() == 6; }));
    EXPECT_EQ(engine.received()[4].via, QStringList({"AB"}));
    EXPECT_EQ(engine.received()[4].text, "");
    EXPECT_TRUE(engine.received()[5].via.isEmpty());
    EXPECT_EQ(TestEngine::formatRecord(engine.received()[5]), "V port=0 from= to= via=- text=Hi");
}

TEST_F(EngineTest, UnbelievableLengthDropsTheClient)
{
    auto client = connectClient();
    QByteArray bad = request('V');
    bad[31] = 0x7f;
    client->send(bad);
    ASSERT_TRUE(waitFor([&] { return client->closed; }));
    EXPECT_FALSE(engine.hasClient());
    EXPECT_TRUE(engine.received().isEmpty());
    // The engine still serves the next client.
    auto next = connectClient();
    next->send(request('R'));
    ASSERT_TRUE(waitFor([&] { return framesOf(next->all()).size() == 1; }));
}

TEST_F(EngineTest, RecordLinesEscapeControlBytes)
{
    ReceivedFrame frame;
    frame.kind = 'M';
    frame.port = 2;
    frame.from = "A\\B";
    frame.via = QStringList{QString()};
    frame.text = QString::fromLatin1("x\r\ny\xe8", 5) + QChar(0);
    EXPECT_EQ(TestEngine::formatRecord(frame), "M port=2 from=A\\\\B to= via= text=x\\x0D\\x0Ay\\xE8\\x00");
}

TEST_F(EngineTest, ScriptParsingKeepsGoodLinesAndReportsBadOnes)
{
    const QString text =
        "# comment\r\n"
        "\n"
        "wait 500\r\n"
        "U 0 N0CALL-9 APRS RS0ISS* | Hello | world \r\n"
        "T 1 N0CALL-9 APRS RS0ISSP,N0CALLE,WIDE,WIDE |  two blanks\n"
        "U 3 PCSAT-1 APRS - |T#1\n"
        "U 0 N0CALL-9 APRS|no via\n"
        "cut 73 10 50\n"
        "close\n"
        "time 08:15:30\n"
        "time now\n"
        "raw 00 41ff\n"
        "jump 3\n"                                   // 13: unknown
        "wait soon\n"                                // 14
        "U 256 N0CALL-9 APRS - | x\n"                // 15: port
        "U 0 N0CALL-9 APRS RS0ISS*\n"                // 16: no '|'
        "U 0 N0CALL-9TOOLONG APRS - | x\n"           // 17: call
        "U 0 N0CALL-9 | x\n"                         // 18: fields
        "cut 0 5\n"                                  // 19
        "cut\n"                                      // 20
        "close now\n"                                // 21
        "time 25:00:00\n"                            // 22
        "raw 4G\n"                                   // 23
        "wait -5\n";                                 // 24
    QStringList problems;
    const QList<ScriptStep> steps = TestEngine::parseScript(text, &problems);
    ASSERT_EQ(steps.size(), 10);
    ASSERT_EQ(problems.size(), 12);
    for (int i = 0; i < problems.size(); ++i)
        EXPECT_TRUE(problems[i].startsWith(QStringLiteral("line %1:").arg(13 + i))) << problems[i].toStdString();

    EXPECT_EQ(steps[0].type, ScriptStep::Type::Wait);
    EXPECT_EQ(steps[0].waitMs, 500);
    EXPECT_EQ(steps[1].type, ScriptStep::Type::Frame);
    EXPECT_EQ(steps[1].kind, 'U');
    EXPECT_EQ(steps[1].via, QStringList{"RS0ISS*"});
    EXPECT_EQ(steps[1].info, "Hello | world ");
    EXPECT_EQ(steps[2].kind, 'T');
    EXPECT_EQ(steps[2].port, 1);
    EXPECT_EQ(steps[2].via, QStringList({"RS0ISSP", "N0CALLE", "WIDE", "WIDE"}));
    EXPECT_EQ(steps[2].info, " two blanks");
    EXPECT_TRUE(steps[3].via.isEmpty());
    EXPECT_EQ(steps[3].info, "T#1");
    EXPECT_EQ(steps[4].to, "APRS");
    EXPECT_EQ(steps[4].info, "no via");
    EXPECT_EQ(steps[5].cuts, QList<qsizetype>({73, 10, 50}));
    EXPECT_EQ(steps[6].type, ScriptStep::Type::Close);
    EXPECT_EQ(steps[7].time, QTime(8, 15, 30));
    EXPECT_FALSE(steps[8].time.isValid());
    EXPECT_EQ(steps[9].raw, QByteArray("\x00\x41\xff", 3));

    // Loading keeps the good lines and reports the bad ones too.
    EXPECT_EQ(engine.loadScript(text).size(), 12);
    EXPECT_EQ(engine.script().size(), 10);
    EXPECT_TRUE(TestEngine::parseScript(QString(), nullptr).isEmpty());
}

TEST_F(EngineTest, ScriptStartsOnMonitorRequestAndAgainForANewClient)
{
    EXPECT_TRUE(engine.loadScript("time 08:15:30\n"
                                  "U 0 N0CALL-9 APRS RS0ISS* | Hello\n"
                                  "wait 20\n"
                                  "T 1 N0CALL-9 APRS RS0ISSP,N0CALLE | Bye\n").isEmpty());
    engine.startScript();
    QSignalSpy finished(&engine, &TestEngine::scriptFinished);
    auto first = connectClient();
    // Before "m" nothing but the reply to "R" is sent.
    first->send(request('R'));
    ASSERT_TRUE(waitFor([&] { return !framesOf(first->all()).isEmpty(); }));
    EXPECT_EQ(framesOf(first->all()).size(), 1);
    EXPECT_EQ(framesOf(first->all())[0][4], 'R');

    first->arrivals.clear();
    first->send(request('m'));
    ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return framesOf(first->all()).size() == 2; }));
    QList<QByteArray> frames = framesOf(first->all());
    EXPECT_EQ(frames[0].mid(36), QByteArray(" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[08:15:30]\rHello\r\r\0", 72));
    EXPECT_EQ(frames[1][4], 'T');
    EXPECT_EQ(frames[1][0], 1);

    // A second "m" does not replay; a new client replaces the old one and
    // hears the script from its first line.
    first->send(request('m'));
    auto second = connectClient();
    ASSERT_TRUE(waitFor([&] { return first->closed; }));
    second->send(request('m'));
    ASSERT_TRUE(waitFor([&] { return finished.size() == 2; }));
    ASSERT_TRUE(waitFor([&] { return framesOf(second->all()).size() == 2; }));
    EXPECT_EQ(framesOf(second->all())[0], frames[0]);
    EXPECT_EQ(framesOf(first->all()).size(), 2);

    // Looping: the script starts again after its end.
    engine.setLoop(true);
    engine.startScript();
    ASSERT_TRUE(waitFor([&] { return framesOf(second->all()).size() >= 6; }));
    EXPECT_EQ(framesOf(second->all())[4], frames[0]);
    engine.stopScript();
    EXPECT_FALSE(engine.scriptPlaying());
}

TEST_F(EngineTest, DireWolfHeardFramesAreRawFrameThenMonitorFrame)
{
    struct Case {
        int port;
        const char* from;
        const char* to;
        QStringList via;
        const char* info;
        const char* raw;    // "K" data, hex
        QByteArray text;    // "U" data
    };
    const QList<Case> cases = {
        // As captured from Dire Wolf 1.6.
        {0, "N0CALL-8", "APRS", {"RS0ISS*"}, "Direct ISS",
         "00" "82a0a4a64040e0" "9c6086829898f0" "a4a66092a6a6e1" "03f0" "44697265637420495353",
         bytes(" 1:Fm N0CALL-8 To APRS Via RS0ISS <UI pid=F0 Len=10 PF=0 >[15:13:24]\rDirect ISS\r\0")},
        // No digipeater: the source ends the address field.
        {1, "PCSAT-1", "APRS", {}, "T#1", "00" "82a0a4a64040e0" "a086a682a840e3" "03f0" "542331",
         bytes(" 2:Fm PCSAT-1 To APRS <UI pid=F0 Len=3 PF=0 >[15:13:24]\rT#1\r\0")},
        // H bits exactly where the "*" are, SSID 15, empty information.
        {0, "N0CALL-15", "CQ", {"RS0ISS", "N0CALL-5*", "WIDE2-1*"}, "",
         "00" "86a240404040e0" "9c6086829898fe" "a4a66092a6a660" "9c6086829898ea" "ae92888a6440e3" "03f0",
         bytes(" 1:Fm N0CALL-15 To CQ Via RS0ISS,N0CALL-5,WIDE2-1 <UI pid=F0 Len=0 PF=0 >[15:13:24]\r\r\0")},
    };
    engine.setDireWolf();
    engine.setFixedTime(QTime(15, 13, 24));
    auto client = connectClient();
    client->send(request('R') + request('k'));
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 1; }));
    EXPECT_EQ(client->all().toHex(), QByteArray("0000000052000000" "00000000000000000000" "00000000000000000000"
                                                "08000000" "00000000" "d50700007f000000"));
    ASSERT_TRUE(waitFor([&] { return engine.rawFrames(); }));

    for (const Case& c : cases) {
        client->arrivals.clear();
        engine.sendHeard(c.port, c.from, c.to, c.via, c.info);
        ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 2; }));
        const QList<QByteArray> frames = framesOf(client->all());
        SCOPED_TRACE(c.from);
        EXPECT_EQ(kindsOf(frames), "KU");
        EXPECT_EQ(frames[0].mid(36).toHex(), QByteArray(c.raw));
        EXPECT_EQ(frames[1].mid(36), c.text);
        for (const QByteArray& f : frames) {
            EXPECT_EQ(qFromLittleEndian<quint32>(f.constData()), quint32(c.port));
            EXPECT_EQ(f[6], '\0');  // pid
            EXPECT_EQ(f.mid(8, 10), field10(c.from));
            EXPECT_EQ(f.mid(18, 10), field10(c.to));
        }
    }
}

TEST_F(EngineTest, RawFramesToggleOnEachKAndStartOffForEachClient)
{
    engine.setDireWolf();
    QSignalSpy spy(&engine, &TestEngine::frameReceived);
    auto client = connectClient();
    const auto heard = [&] { engine.sendHeard(0, "N0CALL-8", "APRS", {"RS0ISS*"}, "Direct ISS"); };
    heard();  // before "k": monitor frame only
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 1; }));
    client->send(request('k'));
    ASSERT_TRUE(waitFor([&] { return engine.rawFrames(); }));
    heard();
    client->send(request('k'));  // off again
    ASSERT_TRUE(waitFor([&] { return !engine.rawFrames(); }));
    heard();
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() >= 4; }));
    EXPECT_EQ(kindsOf(framesOf(client->all())), "UKUU");
    ASSERT_EQ(spy.size(), 2);
    EXPECT_EQ(TestEngine::formatRecord(engine.received()[0]), "k port=0 from= to= via=- text=");

    // On for one client, off for the next.
    client->send(request('k'));
    ASSERT_TRUE(waitFor([&] { return engine.rawFrames(); }));
    auto next = connectClient();
    ASSERT_TRUE(waitFor([&] { return client->closed; }));
    EXPECT_FALSE(engine.rawFrames());
    heard();
    ASSERT_TRUE(waitFor([&] { return framesOf(next->all()).size() == 1; }));
    EXPECT_EQ(kindsOf(framesOf(next->all())), "U");

    // An engine without raw frames records "k" and ignores it.
    engine.setRawFramesAvailable(false);
    next->send(request('k'));
    ASSERT_TRUE(waitFor([&] { return spy.size() == 4; }));
    EXPECT_FALSE(engine.rawFrames());
}

TEST_F(EngineTest, ScriptsSendHeardRawAndEscapedFrames)
{
    const QString script =
        "time 15:13:24\n"
        "K 0 N0CALL-8 APRS RS0ISS*,WIDE2 | Direct ISS\n"
        "rawk 1 N0CALL-8 APRS 00 82a0ff\n"            // malformed: passed on as it stands
        "rawk 0 N0CALL-8 APRS\n"                      // no data at all
        "K 0 N0CALL-9 APRS - | a\\rb\\n\\0c\\x7F\\x00\\\\d\n"
        "U 0 N0CALL-9 APRS RS0ISS* | Hello\n"
        "T 1 N0CALL-9 APRS RS0ISS*,N0CALL-5* | Bye\n";
    const QByteArray escapedInfo("a\rb\n\0c\x7f\0\\d", 10);

    // Dire Wolf: "U" lines are heard frames too, "T" has its text.
    engine.setDireWolf();
    ASSERT_TRUE(engine.loadScript(script).isEmpty());
    engine.startScript();
    QSignalSpy finished(&engine, &TestEngine::scriptFinished);
    auto client = connectClient();
    client->send(request('k') + request('m'));
    ASSERT_TRUE(waitFor([&] { return finished.size() == 1; }));
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 9; }));
    QList<QByteArray> frames = framesOf(client->all());
    EXPECT_EQ(kindsOf(frames), "KUKKKUKUT");
    EXPECT_EQ(frames[0].mid(36).toHex(), QByteArray("00" "82a0a4a64040e0" "9c6086829898f0" "a4a66092a6a6e0" "ae92888a644061" "03f0" "44697265637420495353"));
    EXPECT_EQ(frames[1].mid(36), bytes(" 1:Fm N0CALL-8 To APRS Via RS0ISS,WIDE2 <UI pid=F0 Len=10 PF=0 >[15:13:24]\rDirect ISS\r\0"));
    EXPECT_EQ(frames[2], TestEngine::buildFrame('K', 1, "N0CALL-8", "APRS", QByteArray::fromHex("0082a0ff")));
    EXPECT_EQ(frames[3], TestEngine::buildFrame('K', 0, "N0CALL-8", "APRS", {}));
    EXPECT_TRUE(frames[4].endsWith("\x03\xf0" + escapedInfo));
    EXPECT_EQ(frames[5].mid(36), " 1:Fm N0CALL-9 To APRS <UI pid=F0 Len=10 PF=0 >[15:13:24]\r" + escapedInfo + bytes("\r\0"));
    EXPECT_EQ(frames[6].mid(36).toHex(), QByteArray("00" "82a0a4a64040e0" "9c6086829898f2" "a4a66092a6a6e1" "03f0" "48656c6c6f"));
    EXPECT_EQ(frames[8].mid(36), bytes(" 2:Fm N0CALL-9 To APRS Via RS0ISS,N0CALL-5 <UI pid=F0 Len=3 PF=0 >[15:13:24]\rBye\r\0"));

    // The default engine: "k" means nothing, "U" and "T" keep the AGW Packet
    // Engine text, "K" lines still send Dire Wolf's monitor frame.
    TestEngine plain;
    ASSERT_TRUE(plain.listen(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(plain.loadScript(script).isEmpty());
    plain.startScript();
    Client other(plain.serverPort());
    ASSERT_TRUE(waitFor([&] { return other.socket.state() == QAbstractSocket::ConnectedState && plain.hasClient(); }));
    other.send(request('k') + request('m'));
    ASSERT_TRUE(waitFor([&] { return framesOf(other.all()).size() == 6; }));
    frames = framesOf(other.all());
    EXPECT_EQ(kindsOf(frames), "UKKUUT");
    EXPECT_EQ(frames[3].mid(36), " 1:Fm N0CALL-9 To APRS <UI pid=F0 Len=10 PF=0 >[15:13:24]\r" + escapedInfo + bytes("\r\0"));
    EXPECT_EQ(frames[4].mid(36), bytes(" 1:Fm N0CALL-9 To APRS Via RS0ISS* <UI pid=F0 Len=5 >[15:13:24]\rHello\r\r\0"));
    EXPECT_EQ(frames[5].mid(36), bytes(" 2:Fm N0CALL-9 To APRS Via RS0ISS*,N0CALL-5* <UI pid=F0 Len=3 >[15:13:24]\rBye\r\r\0"));
}

TEST_F(EngineTest, NewScriptLinesAndEscapesParse)
{
    const QString good =
        "K 0 N0CALL-8 APRS RS0ISS*,WIDE2 | Direct ISS\n"
        "K 2 N0CALL-15 APRS A,B,C,D,E,F,G,H* | x\n"
        "rawk 1 N0CALL-8 APRS 00 82a0\n"
        "rawk 0 A B\n"
        "reading off\n"
        "reading on\n";
    const QString bad =
        "K 0 N0CALL-8 APRS RS0ISSP | x\n"        // seven characters
        "K 0 n0call APRS - | x\n"                // small letters
        "K 0 N0CALL-16 APRS - | x\n"             // SSID
        "K 0 N0CALL APRS A,B,C,D,E,F,G,H,I | x\n"  // nine via entries
        "K 0 N0CALL APRS RS0ISS**\n"             // no text, double mark
        "rawk 0 A B 0g\n"
        "rawk 0 A\n"
        "reading maybe\n";
    QStringList problems;
    const QList<ScriptStep> steps = TestEngine::parseScript(good + bad, &problems);
    ASSERT_EQ(steps.size(), 6);
    EXPECT_EQ(problems.size(), 8);
    EXPECT_EQ(steps[0].kind, 'K');
    EXPECT_EQ(steps[0].via, QStringList({"RS0ISS*", "WIDE2"}));
    EXPECT_EQ(steps[1].port, 2);
    EXPECT_EQ(steps[2].type, ScriptStep::Type::RawFrame);
    EXPECT_EQ(steps[2].raw, QByteArray::fromHex("0082a0"));
    EXPECT_EQ(steps[2].from, "N0CALL-8");
    EXPECT_TRUE(steps[3].raw.isEmpty());
    EXPECT_EQ(steps[4].type, ScriptStep::Type::Reading);
    EXPECT_FALSE(steps[4].on);
    EXPECT_TRUE(steps[5].on);

    const QList<std::pair<const char*, QByteArray>> escapes = {
        {"a\\rb\\nc", "a\rb\nc"},
        {"\\0", QByteArray(1, '\0')},
        {"N\\07201.75W", "N\\07201.75W"},   // an APRS symbol table, not NUL
        {"\\x41\\xe8\\x4", "A\xe8\\x4"},
        {"\\\\r \\q end\\", "\\r \\q end\\"},
    };
    for (const auto& [text, expected] : escapes)
        EXPECT_EQ(TestEngine::unescape(QString::fromLatin1(text)).toLatin1(), expected) << text;
}

TEST_F(EngineTest, StoppedReadingStillWritesAndCatchesUpLater)
{
    auto client = connectClient();
    engine.setReading(false);
    client->send(request('R'));
    ASSERT_TRUE(waitFor([&] { return client->socket.bytesToWrite() == 0; }));
    engine.sendMonitor('U', 0, "N0CALL-9", "APRS", {}, "still writing");
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 1; }));
    EXPECT_TRUE(engine.received().isEmpty());

    engine.setReading(true);
    ASSERT_TRUE(waitFor([&] { return framesOf(client->all()).size() == 2; }));
    EXPECT_EQ(framesOf(client->all())[1][4], 'R');
    ASSERT_EQ(engine.received().size(), 1);
}

}  // namespace

namespace {

// As a KISS TNC: a script's heard frames go out as KISS data frames from the
// moment a client connects (nothing is asked for), a "T" line sends nothing,
// and KISS frames the client writes, cut anywhere, are recorded as "K"
// lines with the repeated entries marked.
TEST_F(EngineTest, KissModePlaysScriptsAndRecordsWhatItIsSent)
{
    engine.setProtocol(TestEngine::Protocol::Kiss);
    engine.loadScript("T 0 N0CALL-10 BEACON - | not heard\nU 2 N0CALL-9 APRS RS0ISS*,WIDE2-1 | Hi\\xC0\n");
    engine.startScript();
    auto client = connectClient();
    const QByteArray expected = QByteArray::fromHex("c020" "82a0a4a64040e0" "9c6086829898f2" "a4a66092a6a6e0"
                                                    "ae92888a644063" "03f0" "4869dbdc" "c0");
    ASSERT_TRUE(waitFor([&] { return client->all().size() >= expected.size(); }));
    EXPECT_EQ(client->all().toHex(), expected.toHex());

    const QByteArray sent = TestEngine::kissFrame(1, TestEngine::rawFrameData("N0CALL-9", "APRS", {"RS0ISS*", "N0CALL-5*", "WIDE"}, QString::fromLatin1("x\xdb")).mid(1));
    client->send(sent.left(5));
    QTest::qWait(20);
    client->send(sent.mid(5) + QByteArray::fromHex("c011aac0"));  // not a data frame: not recorded
    ASSERT_TRUE(waitFor([&] { return !engine.received().isEmpty(); }));
    EXPECT_EQ(TestEngine::formatRecord(engine.received()[0]).toStdString(),
              "K port=1 from=N0CALL-9 to=APRS via=RS0ISS*,N0CALL-5*,WIDE text=x\\xDB");
}

} // namespace
