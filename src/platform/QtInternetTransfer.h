#pragma once
// The internet transfer control on QNetworkAccessManager: no proxy, no compression (the bytes saved
// are the bytes served), at most five redirects, http and https only.
#include "platform/InternetTransfer.h"
#include <memory>

class QNetworkAccessManager;

namespace orvia {

class ITimerFactory;

class QtInternetTransfer : public IInternetTransfer
{
public:
    // The whole-request limit runs on `timers` (Qt's own when null); the time-out without progress is
    // the network access manager's.
    explicit QtInternetTransfer(ITimerFactory *timers = nullptr);
    ~QtInternetTransfer() override;
    QtInternetTransfer(const QtInternetTransfer &) = delete;
    QtInternetTransfer &operator=(const QtInternetTransfer &) = delete;

    QString getHeader() const override { return m_header; }

    // However steadily a reply trickles in, a request ends after this many time-outs in total.
    static constexpr int kWholeRequestTimeouts = 10;

protected:
    QByteArray fetch(const QString &url, qint64 maxBytes) override;

private:
    std::unique_ptr<ITimerFactory> m_ownTimers;
    ITimerFactory *m_timers = nullptr;
    std::unique_ptr<QNetworkAccessManager> m_nam;
    QString m_header;
    bool m_busy = false;
};

} // namespace orvia
