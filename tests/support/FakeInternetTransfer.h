#pragma once
// An internet transfer that answers from a script: each request takes the next scripted reply (its
// states reported as a real transfer would), and records the address and time-out it was asked with.
#include "platform/InternetTransfer.h"
#include <QList>
#include <QStringList>
#include <deque>
#include <functional>

namespace orvia::test {

class FakeInternetTransfer : public IInternetTransfer
{
public:
    struct Reply
    {
        QByteArray body;
        QString header = QStringLiteral("HTTP/1.1 200 OK\r\n");
        int error = 0; // non-zero: the request throws this error number instead
        QString errorText = QStringLiteral("scripted failure");
        QList<int> states = {inet::Resolving, inet::Connecting, inet::RequestSent, inet::Receiving,
                             inet::ResponseCompleted};
    };

    void queue(const Reply &r) { m_replies.push_back(r); }
    void queueText(const QString &text) { queue(Reply{text.toUtf8()}); }
    void queueError(int number)
    {
        Reply r;
        r.header.clear();
        r.error = number;
        r.states = {inet::Resolving, inet::Error};
        queue(r);
    }
    // Runs inside each request, after its first state: where a real transfer lets events through.
    void setOnFetch(std::function<void(const QString &url)> f) { m_onFetch = std::move(f); }

    QString getHeader() const override { return m_header; }
    const QStringList &urls() const { return m_urls; }
    const QList<int> &timeouts() const { return m_timeouts; }

protected:
    // With the script used up, every request fails as an unreachable server does.
    QByteArray fetch(const QString &url, qint64 maxBytes) override;

private:
    std::deque<Reply> m_replies;
    std::function<void(const QString &)> m_onFetch;
    QString m_header;
    QStringList m_urls;
    QList<int> m_timeouts;
};

} // namespace orvia::test
