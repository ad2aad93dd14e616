#pragma once
// A tiny HTTP/1.1 server on 127.0.0.1 for the update tests. It runs on the test's own event loop, so it
// answers while a blocking request waits. Each path has a standing answer and optionally a queue of
// one-time answers served first; unknown paths get a 404 page with a title. Every connection is closed
// after its answer.
#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <deque>

class QTcpServer;
class QTcpSocket;

namespace orvia::test {

class LocalHttpServer : public QObject
{
public:
    struct Response
    {
        enum Mode
        {
            Normal,   // status line, headers with the true length, body
            Silent,   // read the request, never answer
            CutShort, // announce the whole body, send `cutAt` bytes of it, close
            Stalled,  // announce the whole body, send `cutAt` bytes of it, keep the connection open
            Raw       // send `body` as it stands (no status line or headers added), close
        };
        int status = 200;
        QByteArray reason = "OK";
        QList<QPair<QByteArray, QByteArray>> headers;
        QByteArray body;
        Mode mode = Normal;
        qsizetype cutAt = 0;
    };

    static Response text(const QByteArray &body, int status = 200, const QByteArray &reason = "OK");
    static Response page404();
    static Response redirect(const QByteArray &location, int status = 302);

    LocalHttpServer();
    ~LocalHttpServer() override;

    quint16 port() const;
    QString host() const; // "127.0.0.1:PORT"
    QString url(const QString &path) const { return QStringLiteral("http://") + host() + path; }

    void route(const QString &path, const Response &r) { m_routes[path] = r; }
    void routeOnce(const QString &path, const Response &r) { m_once[path].push_back(r); }

    // The request targets (path and query) received, in order.
    const QStringList &requests() const { return m_requests; }
    int count(const QString &path) const;

private:
    void onConnection();
    void onData(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &target);

    QTcpServer *m_server = nullptr;
    QMap<QString, Response> m_routes;
    QMap<QString, std::deque<Response>> m_once;
    QStringList m_requests;
    QMap<QTcpSocket *, QByteArray> m_pending;
};

} // namespace orvia::test
