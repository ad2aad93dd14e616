#pragma once
// The serial link of the fuzz targets: counts what is sent, and hands what "arrives" to the receiver
// the way a port does (on the next input(), announced by the OnComm call).
#include "platform/CommControl.h"

#include <QString>

namespace orvia::fuzz {

class FuzzWire : public ICommControl
{
public:
    void setCommPort(int p) override { m_port = p; }
    int commPort() const override { return m_port; }
    void setSettings(const QString &) override {}
    QString settings() const override { return {}; }
    void setHandshaking(int) override {}
    int handshaking() const override { return 2; }
    void setRTSEnable(bool) override {}
    bool rtsEnable() const override { return true; }
    void setRThreshold(int) override {}
    int rThreshold() const override { return 1; }
    void setPortOpen(bool open) override { m_open = open; }
    bool portOpen() const override { return m_open; }
    void output(const QString &) override { ++sent; }
    QString input() override
    {
        QString out;
        out.swap(m_input);
        return out;
    }
    void arrive(const QString &text)
    {
        m_input += text;
        raiseOnComm();
    }
    int sent = 0;

private:
    QString m_input;
    int m_port = 1;
    bool m_open = false;
};

} // namespace orvia::fuzz
