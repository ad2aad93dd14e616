#pragma once
// The serial control on QSerialPort. Port numbers become device paths through the port map; a port
// held by another program (its lock file) or by another open in this process fails with 8005. A
// hang-up or a vanished device closes the port and is reported once through the link-lost callback.
#include "platform/CommControl.h"
#include "platform/PortMap.h"
#include "platform/SerialSettings.h"
#include <QObject>
#include <QSerialPort>
#include <memory>

namespace orvia {

class SerialCommControl : public QObject, public ICommControl
{
    Q_OBJECT
public:
    explicit SerialCommControl(const PortMap &ports, QObject *parent = nullptr);
    ~SerialCommControl() override;

    // Throws 8002 for a number outside 0-255, 8000 while the port is open.
    void setCommPort(int port) override;
    int commPort() const override { return m_port; }
    void setSettings(const QString &settings) override; // 380 when malformed
    QString settings() const override { return m_settings.toString(); }
    void setHandshaking(int mode) override; // 0 none, 1 XON/XOFF, 2 RTS, 3 both (as RTS); 380 otherwise
    int handshaking() const override { return m_handshaking; }
    void setRTSEnable(bool on) override;
    bool rtsEnable() const override { return m_rts; }
    void setRThreshold(int n) override; // 0: no receive notification; 380 when negative
    int rThreshold() const override { return m_threshold; }
    // Opening: 8005 when already open or held elsewhere, 8002 for an unmapped or missing device,
    // 8017 when the device refuses to be opened or set up. Closing a closed port does nothing.
    void setPortOpen(bool open) override;
    bool portOpen() const override { return m_open; }
    void output(const QString &text) override; // 8018 when the port is closed
    QString input() override;                  // also after a close: what was left

    QString devicePath() const { return m_path; }
    bool isPseudoTerminal() const { return m_pty; }

private:
    void open();
    void close();
    bool applyLineSettings();
    QString settingsRefused() const;
    void applyFlowControl();
    void drain();
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    [[noreturn]] void failOpen(int number, const QString &why);

    const PortMap &m_ports;
    std::unique_ptr<QSerialPort> m_serial;
    int m_port = 1;
    SerialSettings m_settings;
    int m_handshaking = 0;
    bool m_rts = false;
    int m_threshold = 0;
    bool m_open = false;
    bool m_pty = false;
    bool m_inReadyRead = false;
    QString m_path;
    QString m_buffer;
    QString m_lastError;
    quint64 m_link = 0; // counts opens, so a late report of a lost link finds its own
};

} // namespace orvia
