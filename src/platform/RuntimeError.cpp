#include "platform/RuntimeError.h"

namespace orvia {

RuntimeError::RuntimeError(int number, const QString &description)
    : std::runtime_error(description.toStdString()), m_number(number), m_description(description)
{
}

QString standardDescription(int number)
{
    switch (number) {
    case ErrInvalidArgument:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow:
        return QStringLiteral("Overflow");
    case ErrSubscript:
        return QStringLiteral("Subscript out of range");
    case ErrTypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrBadFileName:
        return QStringLiteral("Bad file name or number");
    case ErrFileNotFound:
        return QStringLiteral("File not found");
    case ErrFileExists:
        return QStringLiteral("File already exists");
    case ErrInputPastEnd:
        return QStringLiteral("Input past end of file");
    case ErrPathAccess:
        return QStringLiteral("Path/File access error");
    case ErrPathNotFound:
        return QStringLiteral("Path not found");
    case ErrInvalidPropertyValue:
        return QStringLiteral("Invalid property value");
    case ErrObjectNotSet:
        return QStringLiteral("Object variable not set");
    case ErrCommOpenNow:
        return QStringLiteral("Operation not valid while the port is opened");
    case ErrCommBadPort:
        return QStringLiteral("Invalid port number");
    case ErrCommUnavailable:
        return QStringLiteral("Device not available");
    case ErrCommNotOpen:
        return QStringLiteral("Operation valid only when the port is open");
    case ErrPortOpen:
        return QStringLiteral("Port already open");
    case ErrItemRefused:
        return QStringLiteral("The item could not be read");
    case ErrItemBusy:
        return QStringLiteral("The item is in use by another program");
    case ErrItemLinked:
        return QStringLiteral("The item's file has further names and cannot be rewritten safely");
    case ErrOutlook:
        return QStringLiteral("Cannot access the desktop contacts and calendar");
    default:
        return QStringLiteral("Application-defined or object-defined error");
    }
}

void throwError(int number)
{
    throw RuntimeError(number, standardDescription(number));
}

void throwError(int number, const QString &description)
{
    throw RuntimeError(number, description);
}

} // namespace orvia
