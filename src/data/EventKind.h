#pragma once
// The kind of a calendar event. Stored and written as the bare number; a number read from a stored
// line or a phone is kept as it is, even one without a name here.
#include <QtGlobal>

namespace orvia {

enum class EventKind : qint16
{
    Plain = 1,
    Call = 2,
    Meeting = 3,
    Birthday = 4, // repeats yearly
};

} // namespace orvia
