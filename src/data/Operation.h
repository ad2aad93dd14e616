#pragma once
// What is still to be done with a record on the side its store is meant for. Stored and written as
// the bare number; a number read from a stored line is kept as it is, even one without a name here.
#include <QtGlobal>

namespace orvia {

enum class Operation : qint16
{
    None = 0,   // nothing to do
    Add = 1,    // write the record
    Delete = 3, // delete the record (by location)
};

} // namespace orvia
