#include "platform/QtInternetTransfer.h"
#include "platform/QtTimerFactory.h"
#include "platform/RuntimeError.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace orvia {

namespace {

// Deletes the reply however fetch ends; a reply still running is aborted first.
struct ReplyOwner
{
    QNetworkReply *reply = nullptr;
    ~ReplyOwner()
    {
        if (!reply)
            return;
        QObject::disconnect(reply, nullptr, nullptr, nullptr);
        if (!reply->isFinished())
            reply->abort();
        delete reply;
    }
};

struct BusyFlag
{
    bool &flag;
    explicit BusyFlag(bool &f) : flag(f) { flag = true; }
    ~BusyFlag() { flag = false; }
};

// An HTTP status of 4xx or 5xx: Qt reports it as an error, but the body is the server's answer.
bool isHttpErrorPage(QNetworkReply::NetworkError e)
{
    return (e >= QNetworkReply::ContentAccessDenied && e <= QNetworkReply::UnknownContentError) ||
           (e >= QNetworkReply::InternalServerError && e <= QNetworkReply::UnknownServerError) ||
           e == QNetworkReply::ProtocolInvalidOperationError;
}

QString headerText(QNetworkReply *reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return QString();
    const QByteArray reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray();
    QString text = QStringLiteral("HTTP/1.1 %1 %2\r\n").arg(status.toInt()).arg(QString::fromLatin1(reason));
    for (const auto &pair : reply->rawHeaderPairs())
        text += QString::fromLatin1(pair.first) + QStringLiteral(": ") + QString::fromLatin1(pair.second) +
                QStringLiteral("\r\n");
    return text;
}

} // namespace

QtInternetTransfer::QtInternetTransfer(ITimerFactory *timers)
    : m_timers(timers), m_nam(std::make_unique<QNetworkAccessManager>())
{
    if (!m_timers) {
        m_ownTimers = std::make_unique<QtTimerFactory>();
        m_timers = m_ownTimers.get();
    }
    m_nam->setProxy(QNetworkProxy::NoProxy);
}

QtInternetTransfer::~QtInternetTransfer() = default;

namespace {

// Only http and https addresses with a host are fetched: anything else could read a local file.
QUrl checkedTarget(const QString &url)
{
    const QUrl target(url, QUrl::TolerantMode);
    const QString scheme = target.scheme().toLower();
    if (!scheme.isEmpty() && scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        throwError(inet::ErrUnsupportedScheme,
                   QStringLiteral("The address is not a web address: %1").arg(url));
    if (!target.isValid() || scheme.isEmpty() || target.host().isEmpty())
        throwError(inet::ErrBadUrl, QStringLiteral("The address is not valid: %1").arg(url));
    return target;
}

QNetworkRequest requestFor(const QUrl &target)
{
    QNetworkRequest request(target);
    // Ask for the bytes as stored: a compressed transfer would be unpacked behind our back and its
    // length could no longer be checked against the announced one.
    request.setRawHeader("Accept-Encoding", "identity");
    request.setRawHeader("User-Agent", "OrviaLink");
    // Every redirect is refused when it is announced, before anything is fetched from where it points.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    return request;
}

} // namespace

QByteArray QtInternetTransfer::fetch(const QString &url, qint64 maxBytes)
{
    if (m_busy)
        throwError(inet::ErrBusy, QStringLiteral("Still executing the last request"));
    BusyFlag busy(m_busy);
    m_header.clear();

    const QUrl target = checkedTarget(url);
    stateChanged(inet::Resolving);
    ReplyOwner owner{m_nam->get(requestFor(target))};
    Transfer t;
    t.target = target;
    t.maxBytes = maxBytes;
    receive(owner.reply, t);
    m_header = headerText(owner.reply);
    checkOutcome(owner.reply, t);
    stateChanged(inet::ResponseCompleted);
    return t.body;
}

void QtInternetTransfer::receive(QNetworkReply *reply, Transfer &t)
{
    const auto giveUpTooLarge = [&] {
        t.tooLarge = true;
        reply->abort();
    };
    bool receiving = false;
    QObject::connect(reply, &QNetworkReply::socketStartedConnecting, reply,
                     [&] { stateChanged(inet::Connecting); });
    QObject::connect(reply, &QNetworkReply::requestSent, reply, [&] { stateChanged(inet::RequestSent); });
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl &to) {
        t.refusedRedirect = t.target.resolved(to);
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&] {
        if (!receiving) {
            receiving = true;
            stateChanged(inet::Receiving);
        }
        const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
        if (declared.isValid() && declared.toLongLong() > t.maxBytes)
            giveUpTooLarge();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        if (t.tooLarge)
            return;
        t.body += reply->read(t.maxBytes - t.body.size() + 1);
        if (t.body.size() > t.maxBytes)
            giveUpTooLarge();
    });

    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The time-out limits the whole request, so a server that trickles cannot hold it open.
    const qint64 timeoutMs = qint64(requestTimeout()) * 1000;
    const std::unique_ptr<ITimer> wholeRequest = m_timers->createTimer();
    if (timeoutMs > 0) {
        wholeRequest->setOnTick([&] {
            wholeRequest->setEnabled(false);
            t.expired = true;
            reply->abort();
        });
        wholeRequest->setInterval(int(qMin<qint64>(timeoutMs, INT_MAX)));
        wholeRequest->setEnabled(true);
    }
    if (!reply->isFinished())
        loop.exec();
    wholeRequest->setEnabled(false);
    // The signals capture this frame's locals: none may fire after it ends.
    QObject::disconnect(reply, nullptr, nullptr, nullptr);

    if (!t.tooLarge && reply->isOpen()) {
        t.body += reply->read(t.maxBytes - t.body.size() + 1);
        t.tooLarge = t.body.size() > t.maxBytes;
    }
}

void QtInternetTransfer::checkOutcome(QNetworkReply *reply, const Transfer &t)
{
    const QNetworkReply::NetworkError error = reply->error();
    const auto fail = [&](int number, const QString &description) {
        stateChanged(inet::Error);
        throwError(number, description);
    };
    if (t.tooLarge)
        fail(inet::ErrReplyTooLarge, QStringLiteral("The reply is larger than %1 bytes").arg(t.maxBytes));
    if (!t.refusedRedirect.isEmpty())
        fail(inet::ErrTransferFailed, QStringLiteral("The server sent the request on to another address: %1")
                                          .arg(t.refusedRedirect.toDisplayString()));
    if (t.expired || error == QNetworkReply::OperationCanceledError || error == QNetworkReply::TimeoutError)
        fail(inet::ErrTimedOut, QStringLiteral("The request timed out"));
    if (error == QNetworkReply::HostNotFoundError)
        fail(inet::ErrHostNotFound, QStringLiteral("Host not found: %1").arg(t.target.host()));
    if (error == QNetworkReply::ConnectionRefusedError)
        fail(inet::ErrCannotConnect, QStringLiteral("Cannot connect to %1").arg(t.target.authority()));
    if (error != QNetworkReply::NoError && !(m_header.size() > 0 && isHttpErrorPage(error)))
        fail(inet::ErrTransferFailed, QStringLiteral("The transfer failed: %1").arg(reply->errorString()));
    const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
    if (declared.isValid() && declared.toLongLong() != t.body.size())
        fail(inet::ErrTransferFailed, QStringLiteral("The reply ended after %1 of %2 bytes")
                                          .arg(t.body.size())
                                          .arg(declared.toLongLong()));
}

} // namespace orvia
