#include "testengine/TestEngine.h"

#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtEndian>

#include <algorithm>

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace selvane {

namespace {

constexpr qsizetype kHeaderSize = 36;
// A data length beyond this means the stream is garbage: the client is dropped.
constexpr quint32 kMaxDataLength = 1u << 20;

// The characters of a NUL-filled field up to its first NUL.
QString fieldText(const char* bytes, qsizetype size)
{
    qsizetype length = 0;
    while (length < size && bytes[length] != '\0')
        ++length;
    return QString::fromLatin1(bytes, length);
}

// An AX.25 address back to text: "N0CALL-5", "*" after a repeated via entry.
QString addressText(const QByteArray& a, bool via)
{
    QString call;
    for (int i = 0; i < 6; ++i)
        call += QLatin1Char(char(static_cast<uchar>(a[i]) >> 1));
    call = call.trimmed();
    const int ssid = (static_cast<uchar>(a[6]) >> 1) & 0x0f;
    if (ssid != 0)
        call += QStringLiteral("-%1").arg(ssid);
    if (via && (static_cast<uchar>(a[6]) & 0x80))
        call += QLatin1Char('*');
    return call;
}

// A UI frame (no flags, no FCS) into a record: calls, marked via entries,
// the information as text. False when it is none.
bool decodeAx25(const QByteArray& ax25, ReceivedFrame& frame)
{
    qsizetype pos = 0;
    QStringList addresses;
    for (;;) {
        if (pos + 7 > ax25.size() || addresses.size() == 10)
            return false;
        addresses << addressText(ax25.mid(pos, 7), addresses.size() >= 2);
        const bool last = static_cast<uchar>(ax25[pos + 6]) & 0x01;
        pos += 7;
        if (last)
            break;
    }
    if (addresses.size() < 2 || pos + 2 > ax25.size())
        return false;
    frame.to = addresses[0];
    frame.from = addresses[1];
    frame.via = addresses.mid(2);
    frame.text = QString::fromLatin1(ax25.mid(pos + 2));
    return true;
}

ReceivedFrame decodeFrame(const QByteArray& raw)
{
    ReceivedFrame frame;
    frame.raw = raw;
    frame.port = static_cast<uchar>(raw[0]);
    frame.kind = raw[4];
    frame.from = fieldText(raw.constData() + 8, 10);
    frame.to = fieldText(raw.constData() + 18, 10);
    frame.data = raw.mid(kHeaderSize);
    qsizetype textStart = 0;
    if (frame.kind == 'V' && !frame.data.isEmpty()) {
        const int count = static_cast<uchar>(frame.data[0]);
        textStart = 1;
        for (int k = 0; k < count && textStart < frame.data.size(); ++k) {
            const qsizetype slot = std::min<qsizetype>(10, frame.data.size() - textStart);
            frame.via << fieldText(frame.data.constData() + textStart, slot);
            textStart += slot;
        }
    }
    frame.text = QString::fromLatin1(frame.data.mid(textStart));
    // A raw frame to transmit: read as its AX.25 frame, like a "V".
    if (frame.kind == 'K' && !frame.data.isEmpty()) {
        ReceivedFrame ax25 = frame;
        if (decodeAx25(frame.data.mid(1), ax25))
            frame = ax25;
    }
    return frame;
}

QString escaped(const QByteArray& bytes)
{
    QString out;
    for (const char c : bytes) {
        const auto u = static_cast<uchar>(c);
        if (u == '\\')
            out += QStringLiteral("\\\\");
        else if (u < 0x20 || u >= 0x7f)
            out += QString::asprintf("\\x%02X", u);
        else
            out += QLatin1Char(c);
    }
    return out;
}

// An AX.25 address: six characters shifted left by one bit, then the SSID
// byte (bit 7 as given, bits 6-5 set, bits 4-1 the SSID, bit 0 on the last
// address of the field).
QByteArray ax25Address(const QString& call, bool bit7, bool last)
{
    const qsizetype dash = call.indexOf(QLatin1Char('-'));
    const QByteArray name = (dash < 0 ? call : call.left(dash)).toLatin1().left(6).leftJustified(6, ' ');
    const int ssid = dash < 0 ? 0 : call.mid(dash + 1).toInt() & 0x0f;
    QByteArray address;
    for (const char c : name)
        address += static_cast<char>(static_cast<uchar>(c) << 1);
    address += static_cast<char>(0x60 | (ssid << 1) | (bit7 ? 0x80 : 0) | (last ? 0x01 : 0));
    return address;
}

bool isHex(QChar c)
{
    return c.isDigit() || (c.toLower() >= QLatin1Char('a') && c.toLower() <= QLatin1Char('f'));
}

}  // namespace

TestEngine::TestEngine(QObject* parent) : QObject(parent), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &TestEngine::onNewConnection);
    m_pieceTimer.setSingleShot(true);
    connect(&m_pieceTimer, &QTimer::timeout, this, [this] {
        m_pausing = false;
        drain();
    });
    m_scriptTimer.setSingleShot(true);
    connect(&m_scriptTimer, &QTimer::timeout, this, &TestEngine::runScript);
}

TestEngine::~TestEngine()
{
    if (m_client) {
        disconnect(m_client, nullptr, this, nullptr);
        m_client->abort();
    }
    closePseudoTerminal();
}

bool TestEngine::openPseudoTerminal()
{
    closePseudoTerminal();
    m_protocol = Protocol::Kiss;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master < 0)
        return false;
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0 || !::ptsname(master)) {
        ::close(master);
        return false;
    }
    m_ptyPath = QString::fromLocal8Bit(::ptsname(master));
    // The line in raw mode from the start, so nothing written before the
    // client opens it is cooked.
    m_ptySlave = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    if (m_ptySlave >= 0) {
        termios t{};
        if (::tcgetattr(m_ptySlave, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(m_ptySlave, TCSANOW, &t);
        }
    }
    m_ptyMaster = master;
    m_ptyNotifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(m_ptyNotifier, &QSocketNotifier::activated, this, &TestEngine::onPseudoTerminalReadable);
    m_monitoring = true;  // a TNC sends what it hears from the start
    if (m_armed) {
        m_step = 0;
        m_playing = true;
        QMetaObject::invokeMethod(this, &TestEngine::runScript, Qt::QueuedConnection);
    }
    return true;
}

void TestEngine::closePseudoTerminal()
{
    if (m_ptyMaster < 0)
        return;
    delete m_ptyNotifier;
    m_ptyNotifier = nullptr;
    ::close(m_ptyMaster);
    if (m_ptySlave >= 0)
        ::close(m_ptySlave);
    m_ptyMaster = m_ptySlave = -1;
    m_out.clear();
}

void TestEngine::onPseudoTerminalReadable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_ptyMaster, buffer, sizeof buffer);
        if (n <= 0)
            return;
        takeKiss(QByteArray(buffer, n));
    }
}

// KISS data frames from the client, recorded as "K" frames.
void TestEngine::takeKiss(const QByteArray& bytes)
{
    for (const char c : bytes) {
        const auto u = static_cast<uchar>(c);
        if (u == 0xC0) {
            if (m_kissFrame.size() > 1 && (static_cast<uchar>(m_kissFrame[0]) & 0x0f) == 0) {
                ReceivedFrame frame;
                frame.kind = 'K';
                frame.port = static_cast<uchar>(m_kissFrame[0]) >> 4;
                frame.data = m_kissFrame.mid(1);
                frame.raw = m_kissFrame;
                if (decodeAx25(frame.data, frame)) {
                    m_received.append(frame);
                    emit frameReceived(frame);
                }
            }
            m_kissFrame.clear();
            m_kissEscape = false;
        } else if (m_kissEscape) {
            m_kissFrame += u == 0xDC ? char(0xC0) : u == 0xDD ? char(0xDB) : c;
            m_kissEscape = false;
        } else if (u == 0xDB) {
            m_kissEscape = true;
        } else {
            m_kissFrame += c;
        }
    }
}

QByteArray TestEngine::kissFrame(int port, const QByteArray& ax25)
{
    QByteArray out(1, char(0xC0));
    out += char((port & 0x0f) << 4);
    for (const char c : ax25) {
        if (static_cast<uchar>(c) == 0xC0)
            out += QByteArray("\xDB\xDC", 2);
        else if (static_cast<uchar>(c) == 0xDB)
            out += QByteArray("\xDB\xDD", 2);
        else
            out += c;
    }
    return out + char(0xC0);
}

bool TestEngine::hasOutput() const
{
    return !m_client.isNull() || m_ptyMaster >= 0;
}

bool TestEngine::listen(const QHostAddress& address, quint16 port)
{
    return m_server->listen(address, port);
}

quint16 TestEngine::serverPort() const { return m_server->serverPort(); }
QString TestEngine::errorString() const { return m_server->errorString(); }
bool TestEngine::hasClient() const { return hasOutput(); }

void TestEngine::setVersion(int major, int minor)
{
    m_major = major;
    m_minor = minor;
}

void TestEngine::setPorts(const QStringList& descriptions) { m_ports = descriptions; }

void TestEngine::setDireWolf()
{
    setVersion(2005, 127);
    m_style = MonitorStyle::DireWolf;
    m_rawAvailable = true;
}

// A socket whose read buffer is full is no longer read by Qt, so a buffer of
// one byte that is never emptied leaves the rest in the system's buffers.
void TestEngine::setReading(bool on)
{
    m_reading = on;
    if (m_client)
        m_client->setReadBufferSize(on ? 0 : 1);
    if (on)
        QMetaObject::invokeMethod(this, &TestEngine::onReadyRead, Qt::QueuedConnection);
}

QByteArray TestEngine::buildFrame(char kind, int port, const QByteArray& from, const QByteArray& to,
                                  const QByteArray& data)
{
    QByteArray frame(kHeaderSize, '\0');
    qToLittleEndian<quint32>(static_cast<quint32>(port), frame.data());
    frame[4] = kind;
    const QByteArray fromField = from.left(10), toField = to.left(10);
    std::copy(fromField.begin(), fromField.end(), frame.begin() + 8);
    std::copy(toField.begin(), toField.end(), frame.begin() + 18);
    qToLittleEndian<quint32>(static_cast<quint32>(data.size()), frame.data() + 28);
    return frame + data;
}

QByteArray TestEngine::monitorText(int port, const QString& from, const QString& to, const QStringList& via,
                                   const QString& info, const QTime& time, MonitorStyle style)
{
    const bool direWolf = style == MonitorStyle::DireWolf;
    const QByteArray infoBytes = info.toLatin1();
    QString header = QStringLiteral("%1:Fm %2 To %3").arg(port + 1, 2).arg(from, to);
    if (!via.isEmpty()) {
        QString entries = via.join(QLatin1Char(','));
        if (direWolf)
            entries.remove(QLatin1Char('*'));
        header += QStringLiteral(" Via ") + entries;
    }
    header += QStringLiteral(" <UI pid=F0 Len=%1%2 >[%3]")
                  .arg(infoBytes.size())
                  .arg(direWolf ? QStringLiteral(" PF=0") : QString())
                  .arg(time.toString(QStringLiteral("HH:mm:ss")));
    QByteArray text = header.toLatin1() + '\r' + infoBytes + (direWolf ? "\r" : "\r\r");
    text.append('\0');
    return text;
}

// The destination and source carry bit 7 set, as in the frames Dire Wolf
// was seen to deliver.
QByteArray TestEngine::rawFrameData(const QString& from, const QString& to, const QStringList& via,
                                    const QString& info)
{
    QByteArray data(1, '\0');
    data += ax25Address(to, true, false);
    data += ax25Address(from, true, via.isEmpty());
    for (qsizetype k = 0; k < via.size(); ++k) {
        QString entry = via[k];
        const bool repeated = entry.endsWith(QLatin1Char('*'));
        if (repeated)
            entry.chop(1);
        data += ax25Address(entry, repeated, k == via.size() - 1);
    }
    data += "\x03\xf0";
    return data + info.toLatin1();
}

QString TestEngine::unescape(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const QChar next = i + 1 < text.size() ? text[i + 1] : QChar();
        if (c != QLatin1Char('\\')) {
            out += c;
        } else if (next == QLatin1Char('\\')) {
            out += c;
            ++i;
        } else if (next == QLatin1Char('r') || next == QLatin1Char('n')) {
            out += next == QLatin1Char('r') ? QLatin1Char('\r') : QLatin1Char('\n');
            ++i;
        } else if (next == QLatin1Char('0') && !(i + 2 < text.size() && text[i + 2].isDigit())) {
            out += QChar(0);
            ++i;
        } else if (next == QLatin1Char('x') && i + 3 < text.size() && isHex(text[i + 2]) && isHex(text[i + 3])) {
            out += QChar(text.mid(i + 2, 2).toUShort(nullptr, 16));
            i += 3;
        } else {
            out += c;
        }
    }
    return out;
}

QString TestEngine::formatRecord(const ReceivedFrame& frame)
{
    const QString via = frame.via.isEmpty() ? QStringLiteral("-") : escaped(frame.via.join(QLatin1Char(',')).toLatin1());
    return QStringLiteral("%1 port=%2 from=%3 to=%4 via=%5 text=%6")
        .arg(escaped(QByteArray(1, frame.kind)))
        .arg(frame.port)
        .arg(escaped(frame.from.toLatin1()), escaped(frame.to.toLatin1()), via, escaped(frame.text.toLatin1()));
}

QTime TestEngine::monitorTime() const
{
    return m_fixedTime.isValid() ? m_fixedTime : QTime::currentTime();
}

void TestEngine::sendMonitor(char kind, int port, const QString& from, const QString& to, const QStringList& via,
                             const QString& info)
{
    if (m_protocol == Protocol::Kiss) {
        // A TNC reports no transmissions, and every heard frame is raw.
        if (kind != 'T')
            sendHeard(port, from, to, via, info);
        return;
    }
    enqueue(buildFrame(kind, port, from.toLatin1(), to.toLatin1(), monitorText(port, from, to, via, info, monitorTime(), m_style)));
}

void TestEngine::sendHeard(int port, const QString& from, const QString& to, const QStringList& via,
                           const QString& info)
{
    if (m_protocol == Protocol::Kiss) {
        enqueue(kissFrame(port, rawFrameData(from, to, via, info).mid(1)));
        return;
    }
    if (m_rawFrames)
        sendRawFrame(port, from, to, rawFrameData(from, to, via, info));
    enqueue(buildFrame('U', port, from.toLatin1(), to.toLatin1(),
                       monitorText(port, from, to, via, info, monitorTime(), MonitorStyle::DireWolf)));
}

void TestEngine::sendRawFrame(int port, const QString& from, const QString& to, const QByteArray& data)
{
    enqueue(buildFrame('K', port, from.toLatin1(), to.toLatin1(), data));
}

void TestEngine::sendRaw(const QByteArray& bytes) { enqueue(bytes); }

void TestEngine::setCutPositions(QList<qsizetype> positions)
{
    std::sort(positions.begin(), positions.end());
    positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
    positions.removeIf([](qsizetype p) { return p <= 0; });
    m_cuts = positions;
    m_cutOffset = 0;
}

void TestEngine::closeClient()
{
    if (!m_client)
        return;
    m_out.append(Piece{{}, false, true});
    drain();
}

// Splits the bytes at the pending cut positions and queues the pieces; a
// piece that ends at a cut is followed by a pause so TCP delivers it alone.
void TestEngine::enqueue(QByteArray bytes)
{
    if (!hasOutput())
        return;
    while (!m_cuts.isEmpty()) {
        const qsizetype at = m_cuts.first() - m_cutOffset;
        if (at > bytes.size())
            break;
        m_out.append(Piece{bytes.left(at), true, false});
        bytes.remove(0, at);
        m_cutOffset += at;
        m_cuts.removeFirst();
    }
    m_cutOffset = m_cuts.isEmpty() ? 0 : m_cutOffset + bytes.size();
    if (!bytes.isEmpty())
        m_out.append(Piece{bytes, false, false});
    drain();
}

void TestEngine::drain()
{
    while (!m_pausing && !m_out.isEmpty()) {
        const Piece piece = m_out.takeFirst();
        if (!hasOutput()) {
            m_out.clear();
            return;
        }
        if (m_ptyMaster >= 0) {
            // The pseudo-terminal takes small writes whole; a full one
            // drops the rest, as a serial line does.
            if (!piece.close && ::write(m_ptyMaster, piece.bytes.constData(), size_t(piece.bytes.size())) < 0)
                qWarning("test engine: pseudo-terminal write failed");
            emit pieceWritten(piece.bytes);
            continue;
        }
        if (piece.close) {
            m_out.clear();
            m_client->disconnectFromHost();
            return;
        }
        m_client->write(piece.bytes);
        m_client->flush();
        if (piece.pauseAfter) {
            m_pausing = true;
            m_pieceTimer.start(m_piecePauseMs);
        }
        emit pieceWritten(piece.bytes);
    }
}

void TestEngine::onNewConnection()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (m_client) {  // the newest client wins
            QTcpSocket* old = m_client;
            disconnect(old, nullptr, this, nullptr);
            old->abort();
            old->deleteLater();
            m_client = nullptr;
            resetClientState();
            emit clientDisconnected();
        }
        m_client = socket;
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        if (!m_reading)
            socket->setReadBufferSize(1);
        connect(socket, &QTcpSocket::readyRead, this, &TestEngine::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, &TestEngine::onDisconnected);
        emit clientConnected();
        if (m_protocol == Protocol::Kiss) {
            // A TNC sends what it hears from the start.
            m_monitoring = true;
            if (m_armed) {
                m_step = 0;
                m_playing = true;
                runScript();
            }
        }
    }
}

void TestEngine::onDisconnected()
{
    if (sender() != m_client.data())
        return;
    m_client->deleteLater();
    m_client = nullptr;
    resetClientState();
    emit clientDisconnected();
}

void TestEngine::resetClientState()
{
    m_inBuffer.clear();
    m_monitoring = false;
    m_rawFrames = false;
    m_playing = false;
    m_scriptTimer.stop();
    m_out.clear();
    m_cuts.clear();
    m_cutOffset = 0;
    m_pausing = false;
    m_pieceTimer.stop();
}

// Frames may arrive cut anywhere: the buffer keeps an incomplete tail.
void TestEngine::onReadyRead()
{
    if (!m_client || !m_reading)
        return;
    if (m_protocol == Protocol::Kiss) {
        takeKiss(m_client->readAll());
        return;
    }
    m_inBuffer += m_client->readAll();
    while (m_client && m_inBuffer.size() >= kHeaderSize) {
        const quint32 length = qFromLittleEndian<quint32>(m_inBuffer.constData() + 28);
        if (length > kMaxDataLength) {
            qWarning("test engine: data length %u is not believable, dropping the client", length);
            m_client->abort();
            return;
        }
        const qsizetype total = kHeaderSize + static_cast<qsizetype>(length);
        if (m_inBuffer.size() < total)
            break;
        const ReceivedFrame frame = decodeFrame(m_inBuffer.left(total));
        m_inBuffer.remove(0, total);
        m_received.append(frame);
        emit frameReceived(frame);
        handleFrame(frame);
    }
}

void TestEngine::handleFrame(const ReceivedFrame& frame)
{
    switch (frame.kind) {
    case 'R': {
        QByteArray version(8, '\0');
        qToLittleEndian<quint16>(static_cast<quint16>(m_major), version.data());
        qToLittleEndian<quint16>(static_cast<quint16>(m_minor), version.data() + 4);
        enqueue(buildFrame('R', 0, {}, {}, version));
        break;
    }
    case 'G': {
        QByteArray list = QByteArray::number(m_ports.size()) + ';';
        for (const QString& port : m_ports)
            list += port.toLatin1() + ';';
        list.append('\0');
        enqueue(buildFrame('G', 0, {}, {}, list));
        break;
    }
    case 'm':
        if (!m_monitoring) {
            m_monitoring = true;
            emit monitoringStarted();
            if (m_armed) {
                m_step = 0;
                m_playing = true;
                runScript();
            }
        }
        break;
    case 'k':
        if (m_rawAvailable)
            m_rawFrames = !m_rawFrames;
        break;
    case 'V':
    case 'M':
        if (m_echo && m_monitoring && !m_ignoreVia)
            sendMonitor('T', frame.port, frame.from, frame.to, frame.via, frame.text);
        break;
    case 'K':
        // Transmitted as it stands, when raw frames are taken.
        if (m_ignoreVia && m_echo && m_monitoring)
            sendMonitor('T', frame.port, frame.from, frame.to, frame.via, frame.text);
        break;
    default:
        break;
    }
}

QStringList TestEngine::loadScript(const QString& text)
{
    QStringList problems;
    stopScript();
    m_script = parseScript(text, &problems);
    return problems;
}

QList<ScriptStep> TestEngine::parseScript(const QString& text, QStringList* problems)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression hex(QStringLiteral("^([0-9A-Fa-f]{2})+$"));
    static const QRegularExpression call(QStringLiteral("^[A-Z0-9]{1,6}(-([0-9]|1[0-5]))?$"));
    static const QRegularExpression digi(QStringLiteral("^[A-Z0-9]{1,6}(-([0-9]|1[0-5]))?\\*?$"));
    QList<ScriptStep> steps;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype bar = line.indexOf(QLatin1Char('|'));
        const QStringList words = (bar < 0 ? trimmed : line.left(bar)).split(blanks, Qt::SkipEmptyParts);
        const QString command = words.value(0);
        QString error;
        ScriptStep step;
        bool ok = true;
        if (command == QLatin1String("wait")) {
            step.type = ScriptStep::Type::Wait;
            step.waitMs = words.value(1).toInt(&ok);
            if (words.size() != 2 || !ok || step.waitMs < 0)
                error = QStringLiteral("expected: wait MILLISECONDS");
        } else if (command == QLatin1String("U") || command == QLatin1String("T") || command == QLatin1String("K")) {
            step.type = ScriptStep::Type::Frame;
            step.kind = command.at(0).toLatin1();
            step.port = words.value(1).toInt(&ok);
            step.from = words.value(2);
            step.to = words.value(3);
            if (words.size() == 5 && words[4] != QLatin1String("-"))
                step.via = words[4].split(QLatin1Char(','));
            if (bar < 0 || words.size() < 4 || words.size() > 5)
                error = QStringLiteral("expected: U|T|K PORT FROM TO [VIA|-] | TEXT");
            else if (!ok || step.port < 0 || step.port > 255)
                error = QStringLiteral("port must be 0 to 255");
            else if (words[2].size() > 9 || words[3].size() > 9)
                error = QStringLiteral("call signs have at most 9 characters");
            else if (step.kind == 'K'
                     && (!call.match(step.from).hasMatch() || !call.match(step.to).hasMatch() || step.via.size() > 8
                         || std::any_of(step.via.begin(), step.via.end(), [](const QString& v) { return !digi.match(v).hasMatch(); })))
                error = QStringLiteral("K: calls of 1 to 6 capitals or digits, SSID 0 to 15, at most 8 via entries");
            step.info = line.mid(bar + 1);
            if (step.info.startsWith(QLatin1Char(' ')))
                step.info.remove(0, 1);
            step.info = unescape(step.info);
        } else if (command == QLatin1String("cut")) {
            step.type = ScriptStep::Type::Cut;
            for (int w = 1; w < words.size() && ok; ++w) {
                step.cuts << words[w].toLongLong(&ok);
                ok = ok && step.cuts.last() > 0;
            }
            if (words.size() < 2 || !ok)
                error = QStringLiteral("expected: cut POSITION... (byte positions above 0)");
        } else if (command == QLatin1String("close")) {
            step.type = ScriptStep::Type::Close;
            if (words.size() != 1)
                error = QStringLiteral("close takes no arguments");
        } else if (command == QLatin1String("time")) {
            step.type = ScriptStep::Type::Time;
            if (words.value(1) != QLatin1String("now"))
                step.time = QTime::fromString(words.value(1), QStringLiteral("HH:mm:ss"));
            if (words.size() != 2 || (words[1] != QLatin1String("now") && !step.time.isValid()))
                error = QStringLiteral("expected: time HH:MM:SS or time now");
        } else if (command == QLatin1String("raw")) {
            step.type = ScriptStep::Type::Raw;
            const QString digits = words.mid(1).join(QString());
            if (!hex.match(digits).hasMatch())
                error = QStringLiteral("expected: raw HEXBYTES");
            step.raw = QByteArray::fromHex(digits.toLatin1());
        } else if (command == QLatin1String("rawk")) {
            step.type = ScriptStep::Type::RawFrame;
            step.port = words.value(1).toInt(&ok);
            step.from = words.value(2);
            step.to = words.value(3);
            const QString digits = words.mid(4).join(QString());
            if (words.size() < 4 || !ok || step.port < 0 || step.port > 255
                || (!digits.isEmpty() && !hex.match(digits).hasMatch()))
                error = QStringLiteral("expected: rawk PORT FROM TO [HEXBYTES]");
            step.raw = QByteArray::fromHex(digits.toLatin1());
        } else if (command == QLatin1String("reading")) {
            step.type = ScriptStep::Type::Reading;
            step.on = words.value(1) == QLatin1String("on");
            if (words.size() != 2 || (!step.on && words[1] != QLatin1String("off")))
                error = QStringLiteral("expected: reading on|off");
        } else {
            error = QStringLiteral("unknown command");
        }
        if (error.isEmpty())
            steps << step;
        else if (problems)
            problems->append(QStringLiteral("line %1: %2: %3").arg(i + 1).arg(error, trimmed));
    }
    return steps;
}

void TestEngine::startScript()
{
    m_scriptTimer.stop();
    m_armed = true;
    m_step = 0;
    m_playing = hasClient() && m_monitoring;
    if (m_playing)
        runScript();
}

void TestEngine::stopScript()
{
    m_armed = false;
    m_playing = false;
    m_scriptTimer.stop();
}

// Runs steps until a wait, the end of the script or a close.
void TestEngine::runScript()
{
    while (m_playing) {
        if (m_step >= m_script.size()) {
            if (m_loop && !m_script.isEmpty()) {
                m_step = 0;
                // A script without waits would flood the client when repeated.
                const bool waits = std::any_of(m_script.begin(), m_script.end(), [](const ScriptStep& s) {
                    return s.type == ScriptStep::Type::Wait && s.waitMs > 0;
                });
                if (!waits) {
                    m_scriptTimer.start(1000);
                    return;
                }
                continue;
            }
            m_playing = false;
            emit scriptFinished();
            return;
        }
        const ScriptStep step = m_script[m_step++];
        switch (step.type) {
        case ScriptStep::Type::Wait:
            if (step.waitMs > 0) {
                m_scriptTimer.start(step.waitMs);
                return;
            }
            break;
        case ScriptStep::Type::Frame:
            if (step.kind == 'K' || (step.kind == 'U' && m_style == MonitorStyle::DireWolf))
                sendHeard(step.port, step.from, step.to, step.via, step.info);
            else
                sendMonitor(step.kind, step.port, step.from, step.to, step.via, step.info);
            break;
        case ScriptStep::Type::Cut:
            setCutPositions(step.cuts);
            break;
        case ScriptStep::Type::Close:
            m_playing = false;  // a new client plays the script again
            closeClient();
            return;
        case ScriptStep::Type::Time:
            m_fixedTime = step.time;
            break;
        case ScriptStep::Type::Raw:
            sendRaw(step.raw);
            break;
        case ScriptStep::Type::RawFrame:
            sendRawFrame(step.port, step.from, step.to, step.raw);
            break;
        case ScriptStep::Type::Reading:
            setReading(step.on);
            break;
        }
    }
}

}  // namespace selvane
