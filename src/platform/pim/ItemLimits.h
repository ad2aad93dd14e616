#pragma once
// The shape an item file of the desktop store must keep to be read at all. The calendar parser needs
// time that grows faster than the file with very long lines and very many properties, and recursion as
// deep as the nesting of its components; no calendar or address book program writes files near these
// limits, so a file beyond them is refused (error 4096) before it reaches a parser, and no single file
// can hold a run up for more than about a second.
#include <QByteArray>

namespace orvia::pim {

// Fits a contact with a large photo.
constexpr qint64 maxItemFileSize = 8 * 1024 * 1024;
// Per physical line, before unfolding; clients fold at 75 octets.
constexpr qint64 maxCalendarLineLength = 64 * 1024;
// Properties (logical lines) of one calendar file: a recurring event with hundreds of exceptions fits.
constexpr qint64 maxCalendarLines = 50000;
// Nested components: calendar, event, alarm is three.
constexpr int maxCalendarNesting = 16;

// Throws RuntimeError 4096 when a file of this size cannot be an item.
void checkItemSize(qint64 size);
// Throws RuntimeError 4096 with the reason when the data breaks a limit above, or when an END line closes
// another component than the last one begun and anything but END lines follows it (the parser would put
// those lines in the wrong component, or drop them).
void checkCalendarShape(const QByteArray &data);

} // namespace orvia::pim
