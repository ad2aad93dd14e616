#pragma once
// What a folder of the desktop store holds. A folder with item files holds what most of them are, and
// the program's own marker file says it for folders it made. A new, empty collection (as the calendar
// and address book tools create them) has neither: its kind is read from the tree around it, from its
// own name, its siblings, or a parent named for calendars or contacts, rather than taken for mail.
#include <QByteArray>
#include <QString>

namespace orvia::pim {

enum DefaultItemType : qint32
{
    ItemTypeMail = 0,
    ItemTypeAppointment = 1,
    ItemTypeContact = 2
};

// The kind the marker file of `folder` names; -1 when it names none.
qint32 markedKind(const QByteArray &folder);
// The kind of a folder with these numbers of item files and no marker (mail when it has none).
qint32 kindFromFiles(qsizetype cards, qsizetype events);
// The kind of a folder under `root` that has no marker and no item files.
qint32 kindOfEmptyFolder(const QByteArray &root, const QByteArray &folder);

} // namespace orvia::pim
