#include "support/FakeInternetTransfer.h"
#include "platform/RuntimeError.h"

namespace orvia::test {

QByteArray FakeInternetTransfer::fetch(const QString &url, qint64 maxBytes)
{
    m_urls.append(url);
    m_timeouts.append(requestTimeout());
    m_header.clear();
    Reply r;
    if (m_replies.empty()) {
        r.error = inet::ErrCannotConnect;
        r.errorText = QStringLiteral("Cannot connect");
        r.states = {inet::Resolving, inet::Error};
    } else {
        r = m_replies.front();
        m_replies.pop_front();
    }
    for (qsizetype i = 0; i < r.states.size(); ++i) {
        stateChanged(r.states.at(i));
        if (i == 0 && m_onFetch)
            m_onFetch(url);
    }
    if (r.error)
        throwError(r.error, r.errorText);
    if (r.body.size() > maxBytes)
        throwError(inet::ErrReplyTooLarge, QStringLiteral("The reply is larger than %1 bytes").arg(maxBytes));
    m_header = r.header;
    return r.body;
}

} // namespace orvia::test
