#include "convergence/ConvergenceCheck.h"

#include "common/CalendarText.h"
#include "data/DBCalendar.h"
#include "data/DBLanguages.h"
#include "engine/CalendarDates.h"
#include "integration/WholeRunRig.h"
#include "phonesim/ModelTable.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"
#include "platform/WallClock.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/ContactItem.h"
#include <QDirIterator>
#include <QRegularExpression>
#include <map>

namespace orvia::test::convergence {

namespace {

const QString kDone = QStringLiteral("Data exchange successfully completed.");

struct Datum
{
    QString name;
    int typ = 0;
    QString data;
};

struct Side
{
    QList<Datum> desktop, phone;
    QList<DBCalendarItem> desktopEvents, phoneEvents;
    QString contactsDetails, calendarDetails;
};

// A phone without kinds keeps a home or work number under the name with "#H" or "#W" added.
QList<Datum> dataOf(const std::shared_ptr<DBPhonebook> &pb)
{
    QList<Datum> out;
    for (qint16 i = 0; pb && i < pb->count(); ++i) {
        const auto r = pb->GetItem(i);
        if (r->typ == ContactKind::Name)
            continue;
        Datum d{pb->GetNameById(r->id), qint16(r->typ), r->data};
        if (d.typ == 1 && (d.name.endsWith(QStringLiteral("#H")) || d.name.endsWith(QStringLiteral("#W")))) {
            d.typ = d.name.endsWith(u'H') ? 2 : 3;
            d.name.chop(2);
        }
        out.append(d);
    }
    return out;
}

QList<DBCalendarItem> eventsOf(const std::shared_ptr<DBCalendar> &cal)
{
    QList<DBCalendarItem> out;
    for (qint16 i = 0; cal && i < cal->count(); ++i)
        out.append(*cal->GetItem(i));
    return out;
}

std::map<QString, QByteArray> treeOf(const QString &root)
{
    std::map<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            out[f.fileName().mid(root.size())] = f.readAll();
    }
    return out;
}

QString entryText(const QString &memory, int loc, const phonesim::PhonebookEntry &e)
{
    return QStringLiteral("%1 %2 \"%3\" \"%4\" category %5")
        .arg(memory)
        .arg(loc)
        .arg(e.number, e.name)
        .arg(e.category);
}

QStringList phoneLines(const phonesim::HandsetContents &c)
{
    QStringList out;
    for (const auto &[loc, e] : c.me.entries)
        out << entryText(QStringLiteral("ME"), loc, e);
    for (const auto &[loc, e] : c.sim.entries)
        out << entryText(QStringLiteral("SM"), loc, e);
    for (const auto &[idx, e] : c.calendar)
        out << QStringLiteral("event %1 kind %2 %3 alarm %4 \"%5\"")
                   .arg(idx)
                   .arg(e.kind)
                   .arg(e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
                   .arg(e.alarm)
                   .arg(e.text);
    return out;
}

// The lines of a vCard or iCalendar file that say what it holds.
QString significantLines(const QByteArray &bytes)
{
    static const QStringList kept{"FN", "TEL", "EMAIL", "DTSTART", "DTEND", "SUMMARY", "RRULE", "TRIGGER"};
    QStringList out;
    for (const QString &line : QString::fromUtf8(bytes).split(QStringLiteral("\r\n"))) {
        for (const QString &k : kept)
            if (line.startsWith(k + u':') || line.startsWith(k + u';')) {
                out << line;
                break;
            }
    }
    return out.join(QStringLiteral("\n    "));
}

// What changed between two states of both sides, one line per added or removed line.
QString movement(const std::map<QString, QByteArray> &treeBefore,
                 const std::map<QString, QByteArray> &treeAfter, const QStringList &phoneBefore,
                 const QStringList &phoneAfter)
{
    QStringList out;
    for (const auto &[path, bytes] : treeAfter) {
        const auto it = treeBefore.find(path);
        if (it == treeBefore.end() || it->second != bytes)
            out << (it == treeBefore.end() ? QStringLiteral("  desktop file added: ")
                                           : QStringLiteral("  desktop file changed: ")) +
                       path + QStringLiteral("\n    ") + significantLines(bytes);
    }
    for (const auto &[path, bytes] : treeBefore)
        if (!treeAfter.count(path))
            out << QStringLiteral("  desktop file removed: ") + path;
    for (const QString &l : phoneAfter)
        if (!phoneBefore.contains(l))
            out << QStringLiteral("  phone now holds: ") + l;
    for (const QString &l : phoneBefore)
        if (!phoneAfter.contains(l))
            out << QStringLiteral("  phone no longer holds: ") + l;
    return out.join(u'\n');
}

// Why a calendar file a run wrote would not read back as it was meant, or empty: the program's own
// reader refuses it, its start or end is no time, or a line of it does not parse.
QString unreadable(const QByteArray &bytes)
{
    try {
        const auto item = pim::AppointmentItem::fromData(bytes);
        if (!item->start().isValid() || !item->end().isValid())
            return QStringLiteral("start or end is no valid time");
        if (item->holdsUnreadableLines())
            return QStringLiteral("a line does not parse");
    } catch (const RuntimeError &e) {
        return e.description();
    }
    return QString();
}

// Every calendar file a run added or changed, read back with the program's own reader.
QStringList unreadableWrites(const std::map<QString, QByteArray> &before,
                             const std::map<QString, QByteArray> &after)
{
    QStringList out;
    for (const auto &[path, bytes] : after) {
        const auto it = before.find(path);
        if (!path.endsWith(QStringLiteral(".ics")) || (it != before.end() && it->second == bytes))
            continue;
        const QString why = unreadable(bytes);
        if (!why.isEmpty())
            out << path + QStringLiteral(": ") + why + QStringLiteral("\n    ") + significantLines(bytes);
    }
    return out;
}

// The desktop reader, like the calendar library under it, drops the blanks a text value ends with.
QString withoutTrailingBlanks(QString s)
{
    while (s.endsWith(u' '))
        s.chop(1);
    return s;
}

// The quote is sent as the phone stores it.
QString comparable(QString name)
{
    return name.replace(u'"', u'\'').trimmed();
}

// The phone name is the desktop name, or the phone's cut of it (trimmed as every name read is).
bool sameContact(const QString &desktop, const QString &phone)
{
    const QString d = comparable(desktop), p = comparable(phone);
    return !p.isEmpty() && d.startsWith(p) &&
           (p.size() >= qMin(d.size(), qsizetype(12)) || d.left(12).trimmed() == p);
}

// Trailing blanks aside, the same title, or a cut of it that the phone's text length explains.
bool sameTitle(const QString &titleA, const QString &titleB)
{
    const QString a = withoutTrailingBlanks(titleA), b = withoutTrailingBlanks(titleB);
    const QString &shorter = a.size() <= b.size() ? a : b;
    const QString &longer = a.size() <= b.size() ? b : a;
    return shorter == longer || (longer.startsWith(shorter) && shorter.size() >= 20);
}

// The Velmora family keeps no kind: its events read back as plain events.
bool sameEvent(DBCalendarItem a, DBCalendarItem b, bool kindKept)
{
    // The phone's text holds no double quote: a blank stands for it.
    const auto withBody = [](const DBCalendarItem &e) {
        return e.title + u' ' + QString(e.body).replace(u'"', u' ');
    };
    const bool titles = sameTitle(a.title, b.title) ||
                        (!a.body.isEmpty() && sameTitle(withBody(a), b.title)) ||
                        (!b.body.isEmpty() && sameTitle(a.title, withBody(b)));
    if ((kindKept && a.typ != b.typ) || !titles)
        return false;
    if (SameMinute(a.dstart, b.dstart))
        return true;
    // A yearly event keeps its face, even one its first day skipped: the same time of day on both
    // sides, or the other's face placed on its day by the one rule for faces a change skips (an
    // anniversary in the gap is given to a phone as it falls).
    const auto placed = [](const QDateTime &day, const QDateTime &face) {
        return clockFace(faceMoment(QDateTime(day.date(), face.time(), Qt::UTC))).time();
    };
    const auto sameTimeOfDay = [&placed](const QDateTime &x, const QDateTime &y) {
        return x.time() == y.time() || placed(x, y) == x.time() || placed(y, x) == y.time();
    };
    return (a.typ == EventKind::Birthday || b.typ == EventKind::Birthday) &&
           sameTimeOfDay(a.startFace(), b.startFace()) &&
           SameAnniversaryDay(a.dstart.date(), b.dstart.date());
}

// A birthday and an event on the same day of the year whose titles begin one another are one event to
// the program, whatever their kinds and times of day: neither side gets the other's copy, so each reads
// back as the other.
bool oneBirthday(const DBCalendarItem &a, const DBCalendarItem &b)
{
    const qsizetype n = qMin(a.title.size(), b.title.size());
    return (a.typ == EventKind::Birthday || b.typ == EventKind::Birthday) && !a.title.trimmed().isEmpty() &&
           !b.title.trimmed().isEmpty() && a.title.left(n) == b.title.left(n) &&
           SameAnniversaryDay(a.dstart.date(), b.dstart.date());
}

QString eventText(const DBCalendarItem &e)
{
    return QStringLiteral("kind %1 %2 alarm %3 lead %4 \"%5\"")
        .arg(qint16(e.typ))
        .arg(e.dstart.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        .arg(e.alarm)
        .arg(e.prerem)
        .arg(e.title);
}

class Checker
{
public:
    Checker(const World &world, const Keywords &words) : m_world(world), m_words(words) {}

    Verdict run()
    {
        WholeRunRig rig(m_world.model, QString());
        setUp(rig);
        Side first, second;
        if (!pair(rig, 1, first))
            return m_verdict;
        const auto tree = treeOf(rig.dir.path());
        const QStringList phone = phoneLines(rig.port.contents());
        numbersAsWritten(rig.port.contents(), tree);
        noSecondCard(tree);
        for (int n = 2; n <= 3; ++n) {
            Side later;
            if (!pair(rig, n, later, tree, phone))
                return m_verdict;
            if (n == 2)
                second = later;
        }
        duplicates(second);
        contactsReadBack(first, second);
        calendarReadBack(first, second);
        otherDesktopsFiles(first, second);
        if (!m_verdict.ok())
            fail(QStringLiteral("details of the first runs:\n") + first.contactsDetails +
                 first.calendarDetails);
        return m_verdict;
    }

private:
    void fail(const QString &what) { m_verdict.failures << what; }

    void setUp(WholeRunRig &rig)
    {
        Globals &g = globals();
        for (const QString &w : m_words.meeting)
            g.gMeetingWords.add(w);
        for (const QString &w : m_words.call)
            g.gCallWords.add(w);
        for (const QString &w : m_words.birthday)
            g.gBirthdayWords.add(w);
        phonesim::HandsetContents &c = rig.port.contents();
        c.me.capacity = m_world.meCapacity;
        c.sim.capacity = m_world.simCapacity;
        for (const PhoneEntry &e : m_world.phoneEntries) {
            phonesim::Memory &m = e.memory == u"SM" ? c.sim : c.me;
            m.entries[int(m.entries.size()) + 1] = e.entry;
        }
        int index = phonesim::findModel(m_world.model)->calendarFirst;
        for (const phonesim::CalendarEvent &e : m_world.phoneEvents)
            c.calendar[index++] = e;
        for (const DesktopContact &dc : m_world.contacts)
            rig.writeFile(rig.contactsDir() + dc.uid + QStringLiteral(".vcf"), vcardOf(dc));
        for (const DesktopEvent &de : m_world.events)
            rig.writeFile(rig.calendarDir() + de.uid + QStringLiteral(".ics"), icsOf(de));
    }

    bool pair(WholeRunRig &rig, int n, Side &side, const std::map<QString, QByteArray> &tree = {},
              const QStringList &phone = {})
    {
        for (const bool calendar : {false, true}) {
            const QString what = QStringLiteral("%1 run %2").arg(calendar ? "calendar" : "contacts").arg(n);
            const auto treeBefore = calendar ? treeOf(rig.dir.path()) : std::map<QString, QByteArray>{};
            if (!rig.run(calendar) || !rig.view.text.contains(kDone)) {
                fail(what + QStringLiteral(" did not complete: ") + rig.view.text.right(300) +
                     QStringLiteral(" | ") + rig.boxes.texts().join(u'|'));
                return false;
            }
            const QString details = globals().gDetails;
            if (calendar)
                for (const QString &bad : unreadableWrites(treeBefore, treeOf(rig.dir.path())))
                    fail(what + QStringLiteral(" wrote a desktop file that does not read back: ") + bad);
            if (calendar) {
                side.desktopEvents = eventsOf(rig.fm->calOutlook);
                side.phoneEvents = eventsOf(rig.fm->calPhone);
                side.calendarDetails = details;
            } else {
                side.desktop = dataOf(rig.fm->pbOutlook);
                side.phone = dataOf(rig.fm->pbPhone);
                side.contactsDetails = details;
            }
            // The calendar library reads a title without the blanks it ends with.
            for (const DesktopEvent &e : m_world.events)
                if (calendar && e.allDay && !details.contains(visibleText(withoutTrailingBlanks(e.summary))))
                    fail(what + QStringLiteral(" gave no notice for the all-day event \"") + e.summary +
                         u'"');
            if (n == 1)
                continue;
            const auto treeNow = treeOf(rig.dir.path());
            const QStringList phoneNow = phoneLines(rig.port.contents());
            if (treeNow != tree || phoneNow != phone) {
                fail(what + QStringLiteral(" moved:\n") + movement(tree, treeNow, phone, phoneNow));
                return false;
            }
        }
        return true;
    }

    // A number reaches the other side as it was written, blanks, dashes and brackets aside: never as
    // another number. An extension is dialled after a pause, a trunk "(0)" after the country code not
    // at all, and a pause is the same pause in any of a SIM card's forms.
    void numbersAsWritten(const phonesim::HandsetContents &phone, const std::map<QString, QByteArray> &tree)
    {
        const auto formattingAside = [](QString n) {
            for (QChar c : {u' ', u'-', u'(', u')', u'.', u'/'})
                n.remove(c);
            return n;
        };
        const auto onePause = [](QString n) {
            if (n.contains(u'@'))
                return n;
            n.replace(u',', u'p').replace(u'P', u'p').replace(u'W', u'w');
            return n;
        };
        const auto dialled = [&](QString n) {
            if (n.startsWith(QStringLiteral("tel:")))
                n = n.mid(4);
            static const QRegularExpression trunk(QStringLiteral("^(\\+\\d{1,3}) ?\\(0\\)"));
            static const QRegularExpression extension(
                QStringLiteral("( ?(x|ext\\.|ext=|Durchwahl|DW|poste|interno|int\\.) ?|;ext=)(?=\\d)"),
                QRegularExpression::CaseInsensitiveOption);
            n.replace(trunk, QStringLiteral("\\1")).replace(extension, QStringLiteral("p"));
            return onePause(formattingAside(n));
        };
        QSet<QString> desktopNumbers, phoneNumbers, desktopDialled;
        for (const DesktopContact &c : m_world.contacts)
            for (const auto &[kind, number] : c.numbers) {
                desktopNumbers.insert(formattingAside(number));
                desktopDialled.insert(dialled(number));
            }
        for (const PhoneEntry &e : m_world.phoneEntries)
            phoneNumbers.insert(onePause(e.entry.number));
        for (const phonesim::Memory *m : {&phone.me, &phone.sim})
            for (const auto &[loc, e] : m->entries)
                if (!e.number.contains(u'@') && !phoneNumbers.contains(onePause(e.number)) &&
                    !desktopDialled.contains(onePause(e.number)))
                    fail(QStringLiteral("the phone holds a number the desktop never held: ") + e.number);
        for (const auto &[path, bytes] : tree)
            for (const QString &line : QString::fromLatin1(bytes).split(QStringLiteral("\r\n"))) {
                if (!line.startsWith(QStringLiteral("TEL"), Qt::CaseInsensitive))
                    continue;
                const QString number = line.section(u':', 1, -1);
                if (!desktopNumbers.contains(formattingAside(number)) && !phoneNumbers.contains(number))
                    fail(QStringLiteral("the desktop holds a number the phone never held: ") + path + u' ' +
                         number);
            }
    }

    // A phone entry under a desktop contact's name, or the phone's cut of it, fills that contact's card:
    // a card of its own beside it would be the contact twice.
    void noSecondCard(const std::map<QString, QByteArray> &tree)
    {
        QSet<QString> own;
        for (const DesktopContact &c : m_world.contacts)
            own.insert(c.uid + QStringLiteral(".vcf"));
        for (const auto &[path, bytes] : tree) {
            if (!path.endsWith(QStringLiteral(".vcf")) || own.contains(path.section(u'/', -1)))
                continue;
            QString name;
            try {
                name = pim::ContactItem::fromData(bytes)->FullName();
            } catch (...) {
                continue;
            }
            for (const DesktopContact &c : m_world.contacts)
                if (sameContact(c.fullName.normalized(QString::NormalizationForm_C), name))
                    fail(QStringLiteral("a second card for \"") + c.fullName + QStringLiteral("\": ") + path);
        }
    }

    void duplicates(const Side &s)
    {
        const auto datumTwice = [this](const QList<Datum> &list, const QString &where) {
            QSet<QString> seen;
            for (const Datum &d : list) {
                const QString key = d.name + u'\x1f' + QString::number(d.typ) + u'\x1f' + d.data;
                if (seen.contains(key))
                    fail(where + QStringLiteral(" holds twice: \"") + d.name + QStringLiteral("\" ") +
                         d.data);
                seen.insert(key);
            }
        };
        datumTwice(s.desktop, QStringLiteral("desktop"));
        datumTwice(s.phone, QStringLiteral("phone"));
        const auto eventTwice = [this](const QList<DBCalendarItem> &list, const QString &where) {
            for (qsizetype i = 0; i < list.size(); ++i)
                for (qsizetype j = i + 1; j < list.size(); ++j) {
                    DBCalendarItem a = list.at(i), b = list.at(j);
                    if (a.typ == b.typ && a.title == b.title && SameMinute(a.dstart, b.dstart))
                        fail(where + QStringLiteral(" holds twice: ") + eventText(a));
                }
        };
        eventTwice(s.desktopEvents, QStringLiteral("desktop calendar"));
        eventTwice(s.phoneEvents, QStringLiteral("phone calendar"));
    }

    void contactsReadBack(const Side &first, const Side &s)
    {
        const auto hasNumber = [&s](const QString &name) {
            for (const Datum &d : s.desktop)
                if (d.name == name && d.typ >= 1 && d.typ <= 3)
                    return true;
            return false;
        };
        for (const Datum &d : s.desktop) {
            bool found = false;
            for (const Datum &p : s.phone)
                found = found || (p.data == d.data && p.typ == d.typ && sameContact(d.name, p.name));
            const bool addressAlone = d.typ == 4 && !hasNumber(d.name);
            if (!found && !addressAlone && !first.contactsDetails.contains(visibleText(d.data)))
                fail(QStringLiteral("desktop datum not on the phone and no notice: \"%1\" %2:%3")
                         .arg(d.name)
                         .arg(d.typ)
                         .arg(d.data));
        }
        for (const Datum &p : s.phone) {
            bool found = false;
            for (const Datum &d : s.desktop)
                found = found || (p.data == d.data && p.typ == d.typ && sameContact(d.name, p.name));
            if (!found && !first.contactsDetails.contains(visibleText(p.data)))
                fail(QStringLiteral("phone datum not on the desktop and no notice: \"%1\" %2:%3")
                         .arg(p.name)
                         .arg(p.typ)
                         .arg(p.data));
        }
    }

    // When a yearly event comes round next (29 February on 1 March in other years).
    static QDateTime nextAnniversary(const DBCalendarItem &e)
    {
        const QDate day = e.startFace().date();
        for (int year = runStart().date().year();; ++year) {
            const QDateTime t = faceMoment(
                QDateTime(QDate(year, day.month(), 1).addDays(day.day() - 1), e.startFace().time(), Qt::UTC));
            if (t > runStart())
                return t;
        }
    }

    // The details name the event (its control characters written out), or its start as they write dates; or a
    // full phone calendar left out the events from a date on, and the event (a yearly one at its next
    // anniversary) is one of them.
    static bool noticed(const Side &first, const DBCalendarItem &e)
    {
        const QString &d = first.calendarDetails;
        const QDateTime when = e.typ == EventKind::Birthday ? nextAnniversary(e) : e.dstart;
        if ((!e.title.isEmpty() && d.contains(visibleText(e.title))) ||
            d.contains(DateTimeToText(e.dstart)) || d.contains(DateTimeToText(when)))
            return true;
        const QString mark = QStringLiteral("Events sync until ");
        const qsizetype at = d.indexOf(mark);
        if (at < 0)
            return false;
        const qsizetype end = d.indexOf(u'\r', at);
        try {
            return when >= TextToDateTime(d.mid(at + mark.size(), end - at - qsizetype(mark.size())));
        } catch (...) {
            return false;
        }
    }

    void calendarReadBack(const Side &first, const Side &s)
    {
        const QDateTime now = runStart();
        const bool kindKept = phonesim::findModel(m_world.model)->family == phonesim::Family::Tarvex;
        const auto check = [&](const QList<DBCalendarItem> &from, const QList<DBCalendarItem> &to,
                               const QString &what) {
            for (const DBCalendarItem &e : from) {
                if (e.typ != EventKind::Birthday && e.dstart <= now)
                    continue; // past events stay where they are
                const DBCalendarItem *match = nullptr;
                bool heldAsOne = false;
                for (const DBCalendarItem &o : to) {
                    match = match ? match : sameEvent(e, o, kindKept) ? &o : nullptr;
                    heldAsOne = heldAsOne || oneBirthday(e, o);
                }
                // Held as one, the other side's reminder is its own: only a copy carries the item's.
                if (!match && !heldAsOne && !noticed(first, e))
                    fail(what + eventText(e));
                else if (match && match->alarm != e.alarm)
                    fail(QStringLiteral("reminder lost or gained: ") + eventText(e) +
                         QStringLiteral(" and ") + eventText(*match));
            }
        };
        check(s.desktopEvents, s.phoneEvents,
              QStringLiteral("desktop event not on the phone and no notice: "));
        check(s.phoneEvents, s.desktopEvents,
              QStringLiteral("phone event not on the desktop and no notice: "));
    }

    // An event in a zone its file defines is read, and reaches the phone, at that zone's moment (the
    // phone shows its local face); a damaged file that can be read is an event like any other, one that
    // cannot is refused with a notice.
    void otherDesktopsFiles(const Side &first, const Side &s)
    {
        int refused = 0;
        for (const DesktopEvent &e : m_world.events) {
            if (e.refused)
                ++refused;
            if (e.refused || (e.zoneId.isEmpty() && e.damagedFile.isEmpty()))
                continue;
            DBCalendarItem want;
            want.title = e.summary;
            want.alarm = e.reminder.has_value();
            want.dstart = e.zoneId.isEmpty()
                              ? localMoment(e.start.date(), e.start.time())
                              : zoneMoment(e.start.date(), e.start.time(), QTimeZone(e.sameRulesAs));
            if (want.dstart <= runStart())
                continue;
            const auto held = [&want](const QList<DBCalendarItem> &events) {
                for (const DBCalendarItem &o : events)
                    if (sameEvent(want, o, false))
                        return true;
                return false;
            };
            const QString face = want.dstart.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
            if (!held(s.desktopEvents))
                fail(QStringLiteral("desktop event not read at its zone's moment ") + face +
                     QStringLiteral(": ") + QString::fromUtf8(icsOf(e)));
            else if (!held(s.phoneEvents) && !noticed(first, want))
                fail(QStringLiteral("desktop event not on the phone at its zone's moment ") + face +
                     QStringLiteral(" and no notice: ") + QString::fromUtf8(icsOf(e)));
        }
        const qsizetype notices = first.calendarDetails.count(QStringLiteral("while reading calendar"));
        if (notices < refused)
            fail(QStringLiteral("%1 damaged calendar files, %2 notices of files not read")
                     .arg(refused)
                     .arg(notices));
    }

    const World &m_world;
    const Keywords &m_words;
    Verdict m_verdict;
};

QStringList listOf(const StringArray &a)
{
    QStringList out;
    for (qint16 i = 0; i < a.count(); ++i)
        out << a.GetItem(i);
    return out;
}

} // namespace

Keywords loadKeywords(const QString &languageFile)
{
    DBLanguages languages;
    if (!languages.Load(languageFile, true))
        return {};
    return Keywords{listOf(languages.GetAllTranslations(QStringLiteral("Meeting"))),
                    listOf(languages.GetAllTranslations(QStringLiteral("Call"))),
                    listOf(languages.GetAllTranslations(QStringLiteral("Birthday")))};
}

QDateTime runStart()
{
    return QDateTime(QDate(2026, 3, 2), QTime(10, 0));
}

Verdict checkWorld(const World &world, const Keywords &words)
{
    const QLocale before;
    QLocale::setDefault(QLocale(world.locale));
    const Verdict v = Checker(world, words).run();
    QLocale::setDefault(before);
    return v;
}

World reduceWorld(const World &world, const Keywords &words)
{
    World w = world;
    for (int i = w.itemCount() - 1; i >= 0; --i) {
        const World smaller = w.without(i);
        if (!checkWorld(smaller, words).ok())
            w = smaller;
    }
    return w;
}

QString describeWorld(const World &world)
{
    QStringList out{QStringLiteral("seed %1, model %2, %3 memories (ME %4, SM %5), %6")
                        .arg(world.seed)
                        .arg(world.model, world.fill)
                        .arg(world.meCapacity)
                        .arg(world.simCapacity)
                        .arg(world.locale)};
    for (int i = 0; i < world.itemCount(); ++i)
        out << world.describeItem(i).trimmed();
    return out.join(u'\n');
}

} // namespace orvia::test::convergence
