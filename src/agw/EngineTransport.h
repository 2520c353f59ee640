#pragma once
#include <QIODevice>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QTcpSocket>

#include <functional>

namespace selvane {

// The most read from an engine at a time, also the transport's own buffer:
// beyond it what the engine sent stays with the system until the link has
// handed on what it holds.
inline constexpr qint64 kEngineReadPieceBytes = 1024 * 1024;

// The byte stream to an engine: a TCP connection or a serial line. open()
// is asynchronous and ends in opened() or failed(); an open stream that
// ends says lost(). abort() closes at once and says nothing.
class EngineTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void open() = 0;
    virtual void abort() = 0;
    // Open and usable.
    virtual bool isOpen() const = 0;
    // Neither opening nor open.
    virtual bool isClosed() const = 0;
    virtual QIODevice& device() = 0;
    // Where it goes, as shown: "127.0.0.1:8000", "/dev/ttyUSB0".
    virtual QString address() const = 0;

signals:
    void opened();
    void failed(const QString& reason);
    // peerClosed: the engine closed it (rather than an error).
    void lost(const QString& reason, bool peerClosed);
    void readyRead();
};

// A TCP connection; the host is asked for at each attempt (a live setting).
class TcpTransport : public EngineTransport {
    Q_OBJECT
public:
    TcpTransport(std::function<QString()> host, quint16 port, QObject* parent = nullptr);
    ~TcpTransport() override;
    void open() override;
    void abort() override;
    bool isOpen() const override { return m_socket.state() == QAbstractSocket::ConnectedState; }
    bool isClosed() const override { return m_socket.state() == QAbstractSocket::UnconnectedState; }
    QIODevice& device() override { return m_socket; }
    QString address() const override;
    QString host() const { return m_host(); }
    quint16 port() const { return m_port; }

private:
    std::function<QString()> m_host;
    quint16 m_port;
    QTcpSocket m_socket;  // a child, as a test finds it
    bool m_connected = false;
};

// A serial device or a pseudo-terminal in raw mode (8 data bits, no parity,
// one stop bit, no flow control) at the given speed. A device that is not
// there fails the attempt; one that goes away (a USB adapter unplugged, the
// other end of a pseudo-terminal closed) is lost.
class SerialTransport : public EngineTransport {
    Q_OBJECT
public:
    SerialTransport(QString device, int speed, QObject* parent = nullptr);
    ~SerialTransport() override;
    void open() override;
    void abort() override;
    bool isOpen() const override { return m_port.isOpen() && m_open; }
    bool isClosed() const override { return !m_port.isOpen() && !m_opening; }
    QIODevice& device() override { return m_port; }
    QString address() const override { return m_device; }

private:
    void onError(QSerialPort::SerialPortError error);

    QString m_device;
    int m_speed;
    QSerialPort m_port;
    bool m_opening = false;
    bool m_open = false;
};

} // namespace selvane
