#include "data/DBCalendarItem.h"

#include "common/CalendarText.h"
#include "common/FieldEscaping.h"
#include "common/NumberText.h"
#include "data/RecordFields.h"
#include "platform/RuntimeError.h"
#include "platform/WallClock.h"

namespace orvia {

namespace {

QString quoted(const QString &s)
{
    return u'"' + EscapeField(s) + u'"';
}

// The field without its enclosing quotes (the first and last characters, not checked).
QString unquoted(const QString &field)
{
    if (field.size() < 2)
        throwError(ErrInvalidArgument);
    return UnescapeField(field.mid(1, field.size() - 2));
}

} // namespace

QDateTime DBCalendarItem::startFace() const
{
    return skippedFace.isValid() ? skippedFace : clockFace(dstart);
}

void DBCalendarItem::keepStartFace(const QDateTime &face)
{
    skippedFace = face.isValid() && face != clockFace(dstart) ? face : QDateTime();
}

QString DBCalendarItem::GetDataText() const
{
    return QString::number(location) + u',' + DateTimeToText(dstart) + u',' + DateTimeToText(dend) + u',' +
           (alarm ? u'1' : u'0') + u',' + QString::number(prerem) + u',' + QString::number(qint16(typ)) +
           u',' + quoted(title) + u',' + quoted(body) + u',' + QString::number(qint16(operation)) +
           QStringLiteral("\r\n");
}

void DBCalendarItem::SetDataText(const QString &s)
{
    const RecordFields f(s, 8);
    location = textToInt16(f.field(1));
    dstart = TextToDateTime(f.field(2));
    dend = TextToDateTime(f.field(3));
    alarm = textToBoolean(f.field(4));
    prerem = textToInt32(f.field(5));
    typ = EventKind(textToInt16(f.field(6)));
    title = unquoted(f.field(7));
    body = unquoted(f.field(8));
    QString last = f.rest(8);
    while (last.endsWith(u'\n') || last.endsWith(u'\r'))
        last.chop(1);
    operation = Operation(textToInt16(last));
}

} // namespace orvia
