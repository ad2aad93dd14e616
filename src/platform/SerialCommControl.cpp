#include "platform/SerialCommControl.h"
#include "platform/RuntimeError.h"
#include "platform/Windows1252.h"
#include <QFile>
#include <QPointer>
#include <cerrno>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace orvia {

namespace {

bool pseudoTerminal(const QString &path)
{
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return path.startsWith(QLatin1String("/dev/pts/"));
    const unsigned maj = major(st.st_rdev);
    return (maj >= 136 && maj <= 143) || maj == 3; // Unix98 slaves, legacy BSD ptys
}

QSerialPort::Parity parityOf(char p)
{
    switch (p) {
    case 'E':
        return QSerialPort::EvenParity;
    case 'O':
        return QSerialPort::OddParity;
    case 'M':
        return QSerialPort::MarkParity;
    case 'S':
        return QSerialPort::SpaceParity;
    default:
        return QSerialPort::NoParity;
    }
}

QSerialPort::StopBits stopBitsOf(int tenths)
{
    return tenths == 20   ? QSerialPort::TwoStop
           : tenths == 15 ? QSerialPort::OneAndHalfStop
                          : QSerialPort::OneStop;
}

} // namespace

SerialCommControl::SerialCommControl(const PortMap &ports, QObject *parent)
    : QObject(parent), m_ports(ports), m_serial(std::make_unique<QSerialPort>())
{
    connect(m_serial.get(), &QSerialPort::readyRead, this, &SerialCommControl::onReadyRead);
    connect(m_serial.get(), &QSerialPort::errorOccurred, this, &SerialCommControl::onError);
}

SerialCommControl::~SerialCommControl()
{
    m_serial->disconnect(this);
    close();
}

void SerialCommControl::setCommPort(int port)
{
    if (port < 0 || port > PortMap::kMaxPort)
        throwError(ErrCommBadPort);
    if (m_open)
        throwError(ErrCommOpenNow);
    m_port = port;
}

void SerialCommControl::setSettings(const QString &settings)
{
    m_settings = SerialSettings::parse(settings);
    if (m_open && !applyLineSettings())
        throwError(ErrCommUnavailable, settingsRefused());
}

void SerialCommControl::setHandshaking(int mode)
{
    if (mode < 0 || mode > 3)
        throwError(ErrInvalidPropertyValue);
    m_handshaking = mode;
    if (m_open)
        applyFlowControl();
}

void SerialCommControl::setRTSEnable(bool on)
{
    m_rts = on;
    if (m_open)
        applyFlowControl();
}

void SerialCommControl::setRThreshold(int n)
{
    if (n < 0)
        throwError(ErrInvalidPropertyValue);
    m_threshold = n;
}

void SerialCommControl::setPortOpen(bool open)
{
    if (open) {
        if (m_open)
            throwError(ErrPortOpen);
        this->open();
    } else {
        close();
    }
}

void SerialCommControl::failOpen(int number, const QString &why)
{
    m_serial->close();
    m_serial->clearError();
    throwError(number, why);
}

void SerialCommControl::open()
{
    const QString path = m_ports.devicePath(m_port);
    if (path.isEmpty())
        throwError(ErrCommBadPort);
    const QByteArray native = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(native.constData(), &st) != 0)
        throwError(ErrCommBadPort, standardDescription(ErrCommBadPort) + QStringLiteral(" (") + path +
                                       QStringLiteral(" does not exist)"));
    if (::access(native.constData(), R_OK | W_OK) != 0)
        throwError(ErrCommUnavailable, QStringLiteral("Permission denied on ") + path);

    m_serial->clearError();
    m_serial->setPortName(path);
    if (!m_serial->open(QIODevice::ReadWrite)) {
        const auto err = m_serial->error();
        const QString why = m_serial->errorString();
        // With access granted, a refusal is the lock file of another program.
        if (err == QSerialPort::PermissionError)
            failOpen(ErrPortOpen, standardDescription(ErrPortOpen));
        if (err == QSerialPort::DeviceNotFoundError)
            failOpen(ErrCommBadPort, standardDescription(ErrCommBadPort));
        failOpen(ErrCommUnavailable, standardDescription(ErrCommUnavailable) + QStringLiteral(": ") + why);
    }
    // The lock file lets a second open of this process through; an exclusive lock on the open
    // device does not, and also holds against programs that skip lock files.
    const int fd = int(m_serial->handle());
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        failOpen(ErrPortOpen, standardDescription(ErrPortOpen));
    m_path = path;
    m_pty = pseudoTerminal(path);
    m_buffer.clear();
    if (!applyLineSettings())
        failOpen(ErrCommUnavailable, settingsRefused());
    m_open = true;
    ++m_link;
    applyFlowControl();
}

bool SerialCommControl::applyLineSettings()
{
    const bool ok = m_serial->setBaudRate(m_settings.baud) &&
                    m_serial->setDataBits(QSerialPort::DataBits(m_settings.dataBits)) &&
                    m_serial->setParity(parityOf(m_settings.parity)) &&
                    m_serial->setStopBits(stopBitsOf(m_settings.stopTenths));
    m_lastError = m_serial->errorString();
    m_serial->clearError();
    return ok || m_pty; // a pseudo-terminal may ignore line settings
}

QString SerialCommControl::settingsRefused() const
{
    return QStringLiteral("The port %1 refused the settings %2: %3").arg(m_path, settings(), m_lastError);
}

void SerialCommControl::applyFlowControl()
{
    // A pseudo-terminal has no modem lines: it runs without handshaking, quietly.
    if (m_pty) {
        m_serial->setFlowControl(QSerialPort::NoFlowControl);
        m_serial->clearError();
        return;
    }
    QSerialPort::FlowControl fc = QSerialPort::NoFlowControl;
    if (m_handshaking == 1)
        fc = QSerialPort::SoftwareControl;
    else if (m_handshaking >= 2)
        fc = QSerialPort::HardwareControl;
    if (!m_serial->setFlowControl(fc))
        m_serial->setFlowControl(QSerialPort::NoFlowControl); // adapters without modem lines
    // RTS is the driver's while hardware handshaking runs; otherwise it follows RTSEnable.
    if (m_serial->flowControl() != QSerialPort::HardwareControl)
        m_serial->setRequestToSend(m_rts);
    m_serial->clearError();
}

void SerialCommControl::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_serial->close(); // also drops the exclusive lock
    m_serial->clearError();
}

void SerialCommControl::output(const QString &text)
{
    if (!m_open)
        throwError(ErrCommNotOpen);
    m_serial->write(cp1252::encode(text));
    if (m_open)
        m_serial->flush();
}

void SerialCommControl::drain()
{
    if (!m_open)
        return;
    const QByteArray bytes = m_serial->readAll();
    if (!bytes.isEmpty())
        m_buffer += cp1252::decode(bytes);
}

QString SerialCommControl::input()
{
    drain();
    QString out;
    out.swap(m_buffer);
    return out;
}

void SerialCommControl::onReadyRead()
{
    if (m_inReadyRead)
        return; // the handler below yielded to the message loop; the outer call goes on reading
    QPointer<SerialCommControl> self(this);
    m_inReadyRead = true;
    // A receive handler may yield to the message loop, during which more bytes can come in without
    // a new notification: keep going until nothing new is left.
    for (;;) {
        const qsizetype before = m_buffer.size();
        drain();
        if (!m_open || m_buffer.size() == before)
            break;
        if (m_threshold > 0 && m_buffer.size() >= m_threshold) {
            raiseOnComm();
            if (!self)
                return; // the handler destroyed the control
        }
    }
    m_inReadyRead = false;
}

void SerialCommControl::onError(QSerialPort::SerialPortError error)
{
    if (!m_open)
        return;
    if (error != QSerialPort::ReadError && error != QSerialPort::ResourceError &&
        error != QSerialPort::WriteError)
        return; // e.g. RTS/DTR on a device without modem lines
    // Closing here stops the endless error reports of a dead device.
    const QString why = m_serial->errorString();
    close();
    // Reported from the event loop, not from inside whatever call (output, a yield) noticed it; a
    // report for a link that was reopened meanwhile is dropped.
    const quint64 link = m_link;
    const QString text = why.isEmpty() ? QStringLiteral("The serial link was lost") : why;
    QMetaObject::invokeMethod(
        this,
        [this, link, text] {
            if (link == m_link && !m_open)
                raiseLinkLost(text);
        },
        Qt::QueuedConnection);
}

} // namespace orvia
