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

// What identifies the echo of a command: its text before any "=" or "?" (the arguments may be echoed
// in another character set or case).
QString echoKey(const QString &command)
{
    for (qsizetype i = 0; i < command.size(); ++i)
        if (command.at(i) == QLatin1Char('=') || command.at(i) == QLatin1Char('?'))
            return command.left(i);
    return command;
}

// The name of the command ("+CPBR" for "AT+CPBR=1"); its own result lines begin with it.
QString commandName(const QString &command)
{
    const QString key = echoKey(command);
    return key.startsWith(QLatin1String("AT"), Qt::CaseInsensitive) ? key.mid(2) : key;
}

// A line the phone may send at any time, unasked: a ring, a call, a message, a network or signal
// report. A command of that very name gets its line as its answer.
bool isUnsolicited(const QString &line, const QString &ownName)
{
    for (const char *word : {"RING", "NO CARRIER"})
        if (line == QLatin1String(word))
            return true;
    static const char *const kCodes[] = {"+CRING", "+CLIP", "+CCWA", "+CREG", "+CGREG", "+CEREG", "+CSQ",
                                         "+CMTI",  "+CMT",  "+CBMI", "+CBM",  "+CDSI",  "+CDS",   "+CUSD",
                                         "+CIEV",  "+CTZV", "+CTZE", "+CSSI", "+CSSU",  "+CCCM",  "+CGEV"};
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    if (!line.startsWith(QLatin1Char('+')) || colon < 0)
        return false;
    const QStringView name = QStringView(line).left(colon);
    if (name.compare(ownName, Qt::CaseInsensitive) == 0)
        return false;
    for (const char *code : kCodes)
        if (name == QLatin1String(code))
            return true;
    return false;
}

} // namespace

QStringList replyToCommand(const QStringList &lines, const QString &command)
{
    const QString key = echoKey(command);
    qsizetype echo = -1;
    for (qsizetype i = 1; i < lines.size() && echo < 0; ++i)
        if (lines.at(i).contains(key, Qt::CaseInsensitive))
            echo = i;
    if (echo < 0)
        return {};
    const QString ownName = commandName(command);
    QStringList out{QString(), lines.at(echo)};
    for (qsizetype i = echo + 1; i < lines.size(); ++i) {
        if (!isUnsolicited(lines.at(i), ownName)) {
            out.append(lines.at(i));
            continue;
        }
        // An unsolicited line comes as CR LF, the line, CR LF: its leading blank line goes with it.
        if (out.size() > 2 && out.constLast().isEmpty())
            out.removeLast();
    }
    return out;
}

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
