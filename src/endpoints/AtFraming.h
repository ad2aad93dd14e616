#pragma once
// Is the text received since the last command a whole reply, and did it end in OK or in an error?
#include <QString>
#include <QStringList>

namespace orvia {

enum class ReplyStatus
{
    Incomplete,
    Complete,
    Error
};

// "OK" on a line of its own anywhere in the buffer makes the reply complete (tested first, so a
// buffer holding both counts as complete); "ERROR" on a line of its own, or a line starting with
// "+CME ERROR" / "+CMS ERROR" (a handset's error with a reason), makes it an error.
ReplyStatus classifyReply(const QString &buffer);

// The lines of a complete reply (as split at its line ends, element 0 empty) with unsolicited result
// codes set aside: element 1 becomes the echo of `command` (what came before it is dropped), and
// the ring, call, message, network and signal reports (RING, "+CREG: 1", "+CSQ: 20,99" ...), each with
// the blank line the phone puts before it, are left out. Empty when no line echoes the command: the
// reply is not its answer.
QStringList replyToCommand(const QStringList &lines, const QString &command);

// The text of a reply line after its first colon; the whole line when it has none.
QString textAfterColon(const QString &line);

} // namespace orvia
