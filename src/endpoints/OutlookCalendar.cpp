// Reading and writing desktop appointments: the kind of an entry comes from a keyword at the start
// of its subject (in any language of the translation table); writing only ever creates appointments.
#include "common/CalendarText.h"
#include "common/Details.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "data/DBCalendar.h"
#include "data/DBCalendarItem.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/RunOwner.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"
#include "platform/WallClock.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/AtomicFile.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/RecurrencePattern.h"

namespace orvia {

namespace {

struct KindAndTitle
{
    EventKind typ = EventKind::Plain;
    QString title;
};

// Marks an appointment whose whole subject is a plain title, though it begins with a kind keyword.
const QByteArray kPlainSubject = QByteArrayLiteral("X-ORVIA-PLAIN-SUBJECT");

// The subject on one line, as the phone can hold it: line breaks and double quotes become blanks.
QString subjectText(const QString &subject)
{
    QString s = subject;
    s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    // A lone line feed too: the phone cannot hold one, and a title that keeps it would never match its
    // copy on the phone, so every run would add it again.
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    s.replace(QLatin1Char('"'), QLatin1Char(' '));
    return s;
}

// "Meeting: Review" -> Meeting, "Review"; "Birthday Anna" -> Birthday, "Anna"; anything else keeps its
// subject.
KindAndTitle kindFromSubject(const QString &subject)
{
    const QString s = subjectText(subject);
    KindAndTitle r{EventKind::Plain, s};
    qsizetype p = s.indexOf(QLatin1Char(':'));
    const bool colon = p >= 0;
    if (!colon)
        p = s.indexOf(QLatin1Char(' '));
    if (p <= 0)
        return r; // no separator, or one in first place: no keyword before it
    QString keyword = s.left(p).toLower();
    Globals &g = globals();
    if (g.gMeetingWords.Contains(keyword))
        r.typ = EventKind::Meeting;
    else if (g.gCallWords.Contains(keyword))
        r.typ = EventKind::Call;
    else if (g.gBirthdayWords.Contains(keyword))
        r.typ = EventKind::Birthday;
    else
        return r;
    // The blank written after a colon is dropped with it; a title right after the colon keeps its
    // first character ("Call:Bob" is Bob, not "ob").
    qsizetype from = p + 1;
    if (colon && from < s.size() && s.at(from) == QLatin1Char(' '))
        ++from;
    r.title = s.mid(from);
    return r;
}

KindAndTitle kindOf(const pim::AppointmentItem &appt)
{
    if (appt.extraProperty(kPlainSubject) == u"TRUE")
        return KindAndTitle{EventKind::Plain, subjectText(appt.subject())};
    return kindFromSubject(appt.subject());
}

QString oneLine(const QString &body)
{
    QString b = body;
    b.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    b.replace(QLatin1Char('\r'), QLatin1Char(' '));
    b.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return b;
}

QString prefixFor(EventKind typ)
{
    switch (typ) {
    case EventKind::Meeting:
        return QStringLiteral("Meeting: ");
    case EventKind::Call:
        return QStringLiteral("Call: ");
    case EventKind::Birthday:
        return QStringLiteral("Birthday: ");
    default:
        return QString();
    }
}

} // namespace

void OutlookControl::ReadCalendar(std::shared_ptr<DBCalendar> dbc)
{
    // A run starts with its read: files found busy by the last run are tried again, with a new wait.
    m_wait.renew();
    storeOperation([&] {
        if (!CalendarFolder)
            throwFoldersUnknown();
        logLine(QStringLiteral("bkpt read cal start"));
        auto items = CalendarFolder->Items();
        const double total = items->count();
        logLine(QStringLiteral("bkpt read cal count ") + QString::number(total));
        const qint32 n = qint32(total);
        // Past the store's room the events are only counted, for the message that says how many there are.
        const qint32 held = dbc->count();
        qint32 events = 0;
        for (qint32 i = 1; i <= n; ++i) {
            if (pollInterrupt())
                return false;
            m_owner->SetProgress(i / total);
            std::shared_ptr<pim::PimItem> item;
            try {
                item = items->Item(i);
            } catch (const RuntimeError &e) {
                // Not damaged: another program has it. Left out of this run, read again by the next.
                if (e.number() == ErrItemBusy)
                    AddDetails(QStringLiteral("Outlook"), busyNotice(e.description()));
                if (e.number() == ErrItemRefused) {
                    logLine(QStringLiteral("Outlook readcal error 4096: ") + e.description());
                    // Each refusal on a line of its own: two in a row would otherwise run together.
                    AddReadError(QStringLiteral("Error from Outlook while reading calendar"),
                                 e.description());
                }
                continue; // any other failed fetch leaves no item: skipped
            }
            logLine(QStringLiteral("bkpt read cal item type ") + item->TypeName());
            if (item->TypeName() != QLatin1String("AppointmentItem"))
                continue;
            auto appt = std::static_pointer_cast<pim::AppointmentItem>(item);
            logLine(QStringLiteral("bkpt read cal subject ") + appt->subject());
            logLine(QStringLiteral("bkpt read cal start ") + appt->start().toString(Qt::ISODate));
            if (appt->AllDayEvent()) {
                // The phones keep no whole-day events: the run leaves it out, and says so among its
                // own notices (the desktop folder itself is fine).
                AddDetails(Translate(QStringLiteral("Synchronization")),
                           Translate(QStringLiteral("Whole-day event not sent to the phone:")) + u' ' +
                               appt->subject());
                continue;
            }
            ++events;
            if (held + events > RunCapacityError::kCapacity)
                continue;
            // A zone no database and no block of the file describes: the time is taken as it stands, and
            // the user is told, since it may be hours off.
            const QString zone = appt->unresolvedZone();
            if (!zone.isEmpty())
                AddDetails(Translate(QStringLiteral("Synchronization")),
                           Translate(QStringLiteral("Unknown time zone, time read as local time:")) + u' ' +
                               appt->subject() + QStringLiteral(" (") + zone + u')');
            const KindAndTitle kt = kindOf(*appt);
            // Compared and fitted in composed form: letters some tools write decomposed ("e" and a
            // combining mark) are the phone's composed ones. The file keeps its own form.
            dbc->add(0, appt->start(), appt->end(), appt->ReminderSet(), appt->ReminderMinutesBeforeStart(),
                     kt.typ, kt.title.normalized(QString::NormalizationForm_C),
                     oneLine(appt->body()).normalized(QString::NormalizationForm_C), Operation::None);
            // A series keeps the face it was written at, though its first day skips it.
            dbc->GetItem(qint16(dbc->count() - 1))->keepStartFace(appt->startFace());
        }
        if (held + events > RunCapacityError::kCapacity)
            throw RunCapacityError(RunCapacityError::Folder::Calendar, events, events);
        return true;
    });
}

void OutlookControl::UpdateCalendar(std::shared_ptr<DBCalendar> dbc)
{
    storeOperation([&] {
        if (!CalendarFolder)
            throwFoldersUnknown();
        auto items = CalendarFolder->Items();
        const qint16 n = dbc->count();
        bool stopped = false;
        for (qint16 i = 0; i < n && !stopped; ++i) {
            stopped = pollInterrupt();
            auto rec = stopped ? nullptr : dbc->GetItem(i);
            if (!rec || rec->operation != Operation::Add)
                continue;
            auto appt = std::static_pointer_cast<pim::AppointmentItem>(items->add());
            // A yearly series is written at its own face, even one its first day skips (each year is
            // placed on its own); any other event at the face of its moment.
            const bool yearly = rec->typ == EventKind::Birthday;
            const QDateTime face = yearly ? rec->startFace() : clockFace(rec->dstart);
            if (yearly) {
                pim::RecurrencePattern &rp = appt->GetRecurrencePattern();
                rp.setRecurrenceType(pim::RecursYearly);
                rp.setPatternStartDate(face.date());
                rp.setPatternEndDate(QDate(2222, 12, 21));
            }
            const QString prefix = prefixFor(rec->typ);
            appt->setSubject(prefix + rec->title);
            // A plain title that begins with a kind keyword ("Call Bob") would read back as another
            // kind with a shorter title and never match its original again: the file says it is plain.
            if (prefix.isEmpty() && kindFromSubject(rec->title).typ != EventKind::Plain)
                appt->setExtraProperty(kPlainSubject, QStringLiteral("TRUE"));
            appt->setStartFace(face);
            // Half an hour on the face: from a start in the hour the clock repeats, half an hour of
            // moments would end at an earlier face than the start. A single event's end in the hour the
            // clock skips is placed by the rule, as its start is; a series keeps the face.
            const QDateTime end = face.addSecs(30 * 60);
            appt->setEndFace(yearly ? end : clockFace(faceMoment(end)));
            appt->setReminderSet(rec->alarm);
            appt->setReminderMinutesBeforeStart(rec->prerem);
            appt->setBody(rec->body);
            try {
                appt->Save();
            } catch (const RuntimeError &e) {
                const QString what = appt->subject() + QLatin1Char(' ') + DateTimeToText(rec->dstart);
                // A file another program holds could be this event: no second copy is made meanwhile.
                if (e.number() == ErrItemBusy) {
                    AddDetails(QStringLiteral("Outlook"),
                               busyNotice(e.description()) + QStringLiteral(" (") + what + QLatin1Char(')'));
                    continue;
                }
                // The run stops with the store's error box; the details say which event and why.
                addSaveFailure(what, e.description());
                throw;
            }
        }
        // What was written, up to a stop, reaches the disk before the run goes on; an update that wrote
        // nothing does not wait for the disk.
        if (items->takeUnsyncedChanges())
            pim::syncFileSystemOf(m_root);
        return !stopped;
    });
}

} // namespace orvia
