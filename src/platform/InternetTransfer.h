#pragma once
// The internet transfer control: one blocking HTTP GET at a time. The caller waits until the whole
// reply is in or the request has failed, while the event loop keeps running (state events, repaints).
// Any HTTP status counts as a reply: an error page comes back like any other body, and the status line
// is the first line of the response header. Failures to get a reply at all throw RuntimeError.
#include <QByteArray>
#include <QString>
#include <functional>

namespace orvia {

namespace inet {

// The state numbers a transfer reports as it goes.
enum State : int
{
    Resolving = 1,
    Resolved = 2,
    Connecting = 3,
    Connected = 4,
    Requesting = 5,
    RequestSent = 6,
    Receiving = 7,
    ResponseReceived = 8,
    Disconnecting = 9,
    Disconnected = 10,
    Error = 11,
    ResponseCompleted = 12
};

enum ErrorNumber : int
{
    ErrTransferFailed = 35750, // the connection broke or the server misbehaved
    ErrBadUrl = 35752,         // not a well-formed address
    ErrHostNotFound = 35754,
    ErrCannotConnect = 35755,
    ErrReplyTooLarge = 35760,
    ErrTimedOut = 35761,
    ErrBusy = 35764,             // a request is already running
    ErrUnsupportedScheme = 35765 // only http and https are fetched
};

// Largest reply taken as text; update files may be larger (see setMaxDownloadBytes).
inline constexpr qint64 kMaxTextReplyBytes = 1024 * 1024;
inline constexpr qint64 kDefaultMaxDownloadBytes = 256LL * 1024 * 1024;

} // namespace inet

class IInternetTransfer
{
public:
    virtual ~IInternetTransfer() = default;

    // Seconds a whole request may take, however steadily its reply trickles in; 0 means no limit.
    void setRequestTimeout(int seconds) { m_timeoutSeconds = seconds < 0 ? 0 : seconds; }
    int requestTimeout() const { return m_timeoutSeconds; }
    void setMaxDownloadBytes(qint64 bytes) { m_maxDownloadBytes = bytes; }
    qint64 maxDownloadBytes() const { return m_maxDownloadBytes; }

    // The reply as text: UTF-8 when the server says so in its content type, Windows-1252 otherwise.
    QString openUrlText(const QString &url);
    // The reply's bytes, unchanged.
    QByteArray openUrlBytes(const QString &url) { return fetch(url, m_maxDownloadBytes); }
    // The response header of the latest request: the status line ("HTTP/1.1 200 OK") and the header
    // lines, each ended by CR LF; empty when no response arrived.
    virtual QString getHeader() const = 0;

    // Called with every state change of every request (see inet::State).
    void setOnStateChanged(std::function<void(int)> f) { m_onStateChanged = std::move(f); }

    // The charset named by a header's content type, lower-cased; empty when there is none.
    static QString charsetOf(const QString &header);
    // Bytes to text: UTF-8 for "utf-8", Windows-1252 for anything else.
    static QString decodeText(const QByteArray &bytes, const QString &charset);

protected:
    // Fetches the URL; a reply longer than maxBytes is given up with ErrReplyTooLarge.
    virtual QByteArray fetch(const QString &url, qint64 maxBytes) = 0;
    // A listener's failure must not unwind through the event loop that delivered the state.
    void stateChanged(int state) noexcept
    {
        try {
            if (auto f = m_onStateChanged)
                f(state);
        } catch (...) {
        }
    }

private:
    int m_timeoutSeconds = 60;
    qint64 m_maxDownloadBytes = inet::kDefaultMaxDownloadBytes;
    std::function<void(int)> m_onStateChanged;
};

} // namespace orvia
