#include "agw/EngineTransport.h"

namespace selvane {

TcpTransport::TcpTransport(std::function<QString()> host, quint16 port, QObject* parent)
    : EngineTransport(parent), m_host(std::move(host)), m_port(port), m_socket(this)
{
    m_socket.setReadBufferSize(kEngineReadPieceBytes);
    connect(&m_socket, &QTcpSocket::connected, this, [this] {
        m_connected = true;
        // Frames are small and the engine may send nothing back: without
        // this a burst of re-transmissions can wait for its delayed ACK.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        emit opened();
    });
    connect(&m_socket, &QTcpSocket::readyRead, this, &EngineTransport::readyRead);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (!m_connected)
            emit failed(m_socket.errorString());
        else
            emit lost(m_socket.errorString(), error == QAbstractSocket::RemoteHostClosedError);
    });
    connect(&m_socket, &QTcpSocket::disconnected, this,
            [this] { emit lost(tr("il motore ha chiuso il collegamento"), true); });
}

TcpTransport::~TcpTransport()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

void TcpTransport::open()
{
    m_connected = false;
    m_socket.connectToHost(m_host(), m_port);
}

void TcpTransport::abort()
{
    m_socket.abort();
}

QString TcpTransport::address() const
{
    return QStringLiteral("%1:%2").arg(m_host()).arg(m_port);
}

SerialTransport::SerialTransport(QString device, int speed, QObject* parent)
    : EngineTransport(parent), m_device(std::move(device)), m_speed(speed), m_port(this)
{
    m_port.setReadBufferSize(kEngineReadPieceBytes);
    connect(&m_port, &QSerialPort::readyRead, this, &EngineTransport::readyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport()
{
    m_port.disconnect(this);
    if (m_port.isOpen())
        m_port.close();
}

void SerialTransport::open()
{
    // Said from the event loop, as a TCP connection's outcome is.
    m_opening = true;
    m_open = false;
    QMetaObject::invokeMethod(this, [this] {
        if (!m_opening)
            return;  // aborted meanwhile
        m_opening = false;
        m_port.setPortName(m_device);
        if (!m_port.open(QIODevice::ReadWrite)) {
            emit failed(m_port.errorString());
            return;
        }
        // A pseudo-terminal takes the settings and ignores the speed.
        m_port.setBaudRate(m_speed);
        m_port.setDataBits(QSerialPort::Data8);
        m_port.setParity(QSerialPort::NoParity);
        m_port.setStopBits(QSerialPort::OneStop);
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        m_port.clearError();
        m_open = true;
        emit opened();
    }, Qt::QueuedConnection);
}

void SerialTransport::abort()
{
    m_opening = false;
    m_open = false;
    if (m_port.isOpen())
        m_port.close();
}

void SerialTransport::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !m_open)
        return;
    // The device went away or cannot be read any more.
    const QString reason = m_port.errorString();
    m_open = false;
    if (m_port.isOpen())
        m_port.close();
    emit lost(reason, false);
}

} // namespace selvane
