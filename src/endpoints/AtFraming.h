#pragma once
// Is the text received since the last command a whole reply, and did it end in OK or in an error?
#include <QString>

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

// The text of a reply line after its first colon; the whole line when it has none.
QString textAfterColon(const QString &line);

} // namespace orvia
