#pragma once
// The internet transfer control on QNetworkAccessManager: no proxy, no compression (the bytes saved
// are the bytes served), at most five redirects, http and https only.
#include "platform/InternetTransfer.h"
#include <memory>

class QNetworkAccessManager;

namespace orvia {

class QtInternetTransfer : public IInternetTransfer
{
public:
    QtInternetTransfer();
    ~QtInternetTransfer() override;
    QtInternetTransfer(const QtInternetTransfer &) = delete;
    QtInternetTransfer &operator=(const QtInternetTransfer &) = delete;

    QString getHeader() const override { return m_header; }

    // A time-out in milliseconds that replaces the one in seconds while non-zero: lets the expiry
    // path run without waiting whole seconds.
    void setRequestTimeoutMs(int ms) { m_timeoutMsOverride = ms < 0 ? 0 : ms; }
    // However steadily a reply trickles in, a request ends after this many time-outs in total.
    static constexpr int kWholeRequestTimeouts = 10;

protected:
    QByteArray fetch(const QString &url, qint64 maxBytes) override;

private:
    std::unique_ptr<QNetworkAccessManager> m_nam;
    QString m_header;
    bool m_busy = false;
    int m_timeoutMsOverride = 0;
};

} // namespace orvia
