#pragma once
// The one exception type of the program: a runtime error with its number and description, so that
// callers can trap a particular failure (8005 port in use, 4096 refused item, 12345 desktop store) by number.
#include <QString>
#include <stdexcept>

namespace orvia {

enum ErrorNumber : int
{
    ErrInvalidArgument = 5, // invalid procedure call or argument
    ErrOverflow = 6,
    ErrSubscript = 9, // subscript out of range
    ErrTypeMismatch = 13,
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrFileExists = 58,
    ErrInputPastEnd = 62,
    ErrPathAccess = 75,
    ErrPathNotFound = 76,
    ErrInvalidPropertyValue = 380,
    ErrObjectNotSet = 91,
    ErrCommOpenNow = 8000,     // operation not valid while the port is open
    ErrCommBadPort = 8002,     // no such port
    ErrPortOpen = 8005,        // the serial port is held by another program or another open
    ErrCommUnavailable = 8017, // the port exists but cannot be used (permissions, settings refused)
    ErrCommNotOpen = 8018,     // operation valid only while the port is open
    ErrItemRefused = 4096,     // the desktop store cannot parse this item
    ErrItemBusy = 4097,        // another program holds the item's file: left as it is for now
    ErrItemLinked = 4098,      // a file with further names that cannot be rewritten safely: left as it is
    ErrOutlook = 12345,        // program-defined: the desktop store failed during a run
};

class RuntimeError : public std::runtime_error
{
public:
    RuntimeError(int number, const QString &description);
    int number() const { return m_number; }
    const QString &description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// Throws the error with the standard description of its number.
[[noreturn]] void throwError(int number);
[[noreturn]] void throwError(int number, const QString &description);
QString standardDescription(int number);

} // namespace orvia
