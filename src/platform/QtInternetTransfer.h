#pragma once
// The internet transfer control on QNetworkAccessManager: no proxy, no compression (the bytes saved
// are the bytes served), http and https only. A redirect is a failed request and is never followed: the
// update server answers directly, and an unsigned download must come from the host that was asked.
#include "platform/InternetTransfer.h"
#include <QByteArray>
#include <QUrl>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace orvia {

class ITimerFactory;

class QtInternetTransfer : public IInternetTransfer
{
public:
    // The request time-out runs on `timers` (Qt's own when null).
    explicit QtInternetTransfer(ITimerFactory *timers = nullptr);
    ~QtInternetTransfer() override;
    QtInternetTransfer(const QtInternetTransfer &) = delete;
    QtInternetTransfer &operator=(const QtInternetTransfer &) = delete;

    QString getHeader() const override { return m_header; }

protected:
    QByteArray fetch(const QString &url, qint64 maxBytes) override;

private:
    // One request as it comes in, and why it ended.
    struct Transfer
    {
        QUrl target;
        qint64 maxBytes = 0;
        QByteArray body;
        bool tooLarge = false;
        bool expired = false; // the whole request ran past its time-out
        QUrl refusedRedirect;
    };
    void receive(QNetworkReply *reply, Transfer &t); // waits until the reply ends
    void checkOutcome(QNetworkReply *reply, const Transfer &t);

    std::unique_ptr<ITimerFactory> m_ownTimers;
    ITimerFactory *m_timers = nullptr;
    std::unique_ptr<QNetworkAccessManager> m_nam;
    QString m_header;
    bool m_busy = false;
};

} // namespace orvia
