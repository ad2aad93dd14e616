#include "LocalHttpServer.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace orvia::test {

LocalHttpServer::Response LocalHttpServer::text(const QByteArray &body, int status, const QByteArray &reason)
{
    Response r;
    r.status = status;
    r.reason = reason;
    r.body = body;
    r.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
    return r;
}

LocalHttpServer::Response LocalHttpServer::page404()
{
    return text("<html><head><title>404 Not Found</title></head><body>Not here</body></html>", 404,
                "Not Found");
}

LocalHttpServer::Response LocalHttpServer::redirect(const QByteArray &location, int status)
{
    Response r = text("<html><head><title>Moved</title></head></html>", status, "Found");
    r.headers.append(qMakePair(QByteArray("Location"), location));
    return r;
}

LocalHttpServer::LocalHttpServer() : m_server(new QTcpServer(this))
{
    m_server->listen(QHostAddress::LocalHost, 0);
    connect(m_server, &QTcpServer::newConnection, this, &LocalHttpServer::onConnection);
}

LocalHttpServer::~LocalHttpServer() = default;

quint16 LocalHttpServer::port() const
{
    return m_server->serverPort();
}

QString LocalHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(port());
}

int LocalHttpServer::count(const QString &path) const
{
    int n = 0;
    for (const QString &r : m_requests)
        if (r == path || r.startsWith(path + QLatin1Char('?')))
            ++n;
    return n;
}

void LocalHttpServer::onConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onData(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_pending.remove(socket);
            socket->deleteLater();
        });
    }
}

void LocalHttpServer::onData(QTcpSocket *socket)
{
    QByteArray &buffer = m_pending[socket];
    buffer += socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0)
        return;
    const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
    buffer.clear();
    const QList<QByteArray> parts = requestLine.split(' ');
    answer(socket, parts.size() >= 2 ? parts.at(1) : QByteArray("/"));
}

void LocalHttpServer::answer(QTcpSocket *socket, const QByteArray &target)
{
    const QString full = QString::fromLatin1(target);
    m_requests.append(full);
    const QString path = full.section(QLatin1Char('?'), 0, 0);

    Response r = page404();
    auto once = m_once.find(path);
    if (once != m_once.end() && !once->empty()) {
        r = once->front();
        once->pop_front();
    } else if (m_routes.contains(path)) {
        r = m_routes.value(path);
    }

    if (r.mode == Response::Silent)
        return;
    QByteArray out;
    if (r.mode == Response::Raw) {
        out = r.body;
    } else {
        out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
        out += "Content-Length: " + QByteArray::number(r.body.size()) + "\r\n";
        out += "Connection: close\r\n";
        for (const auto &h : r.headers)
            out += h.first + ": " + h.second + "\r\n";
        out += "\r\n";
        const bool part = r.mode == Response::CutShort || r.mode == Response::Stalled;
        out += part ? r.body.left(r.cutAt) : r.body;
    }
    socket->write(out);
    if (r.mode != Response::Stalled)
        socket->disconnectFromHost();
}

} // namespace orvia::test
