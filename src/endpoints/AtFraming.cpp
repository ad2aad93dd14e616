#include "endpoints/AtFraming.h"

namespace orvia {

namespace {

// A final result line that names a reason ("+CME ERROR: 11", "+CMS ERROR: 500") ends the reply
// like a bare ERROR; without this a locked SIM would look like a silent phone.
bool hasExtendedError(const QString &buffer)
{
    for (const QLatin1String prefix : {QLatin1String("\r\n+CME ERROR"), QLatin1String("\r\n+CMS ERROR")}) {
        qsizetype from = 0;
        while (true) {
            const qsizetype at = buffer.indexOf(prefix, from);
            if (at < 0)
                break;
            // The line counts once it has its own line end.
            if (buffer.indexOf(QLatin1String("\r\n"), at + prefix.size()) >= 0)
                return true;
            from = at + 1;
        }
    }
    return false;
}

} // namespace

ReplyStatus classifyReply(const QString &buffer)
{
    if (buffer.contains(QLatin1String("\r\nOK\r\n")))
        return ReplyStatus::Complete;
    if (buffer.contains(QLatin1String("\r\nERROR\r\n")) || hasExtendedError(buffer))
        return ReplyStatus::Error;
    return ReplyStatus::Incomplete;
}

QString textAfterColon(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    return colon < 0 ? line : line.mid(colon + 1);
}

} // namespace orvia
