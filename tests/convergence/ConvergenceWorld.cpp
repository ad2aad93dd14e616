#include "convergence/ConvergenceWorld.h"

#include "phonesim/ModelTable.h"
#include <QSet>
#include <array>
#include <random>

namespace orvia::test::convergence {

namespace {

class Dice
{
public:
    explicit Dice(quint32 seed) : m_gen(seed) {}
    int below(int n) { return n <= 1 ? 0 : int(m_gen() % quint32(n)); }
    int between(int lo, int hi) { return lo + below(hi - lo + 1); }
    bool chance(int percent) { return below(100) < percent; }
    QString pick(const QStringList &l) { return l.at(below(int(l.size()))); }

private:
    std::mt19937 m_gen;
};

const QStringList kGiven = {"Anna",   "Zoë",   "José",   "Renée", "Jürgen",  "Åse",    "François", "Bob",
                            "Ingrid", "Núria", "Ciarán", "Mette", "Ødegård", "Élodie", "Grzegorz", "Tomás"};
const QStringList kFamily = {"Berg", "Müller", "Ñúñez", "Smith-Jones", "O'Neill", "Dupré", "Kowalski",
                             "Haß",  "Øster",  "Lind",  "Çelik",       "Dæhlie",  "Ruiz",  "Weiß"};
const QStringList kNon1252 = {"Łukasz Żak",  "Dvořák Jiří", "Ştefan Mărgărit",
                              "Иван Петров", "Ελένη",       "Ćosić"};
const QStringList kTitleWords = {
    "Review",     "Zahnarzt",  "Dîner chez Zoë", "Équipe",
    "Budget, Q3", "A; B; C",   "Say \"hi\"",     "Kino\nund Essen",
    "Ölwechsel",  "Año nuevo", "Standup",        "Präsentation für die Geschäftsleitung am Mittwoch"};
const QStringList kTitleNon1252 = {"Spotkanie z Łukaszem", "Встреча", "Čaj o páté", "Ζωή"};
const QStringList kEmailOdd = {"o'neil+tag", "first.last", "x_y-z",     "semi;colon", "comma,here",
                               "ümlaut",     "a!b#c$d",    "tilde~eq=", "{brace}"};

// The faces of a clock change of the local zone: the hour (or half hour) that it skips or shows twice.
struct ClockChange
{
    QDateTime firstFace; // held as a UTC value: a face, not a moment
    int minutes = 0;
    bool skips = false; // the clock goes forward: these faces are not shown that day
};

int localOffsetAt(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::LocalTime).offsetFromUtc();
}

// The changes of the zone in force for the run between `from` and `to`, found on the clock itself.
QList<ClockChange> clockChanges(const QDateTime &from, const QDateTime &to)
{
    constexpr qint64 kHour = 3600 * 1000;
    QList<ClockChange> out;
    for (qint64 t = from.toMSecsSinceEpoch(), end = to.toMSecsSinceEpoch(); t < end; t += kHour) {
        const int before = localOffsetAt(t), after = localOffsetAt(t + kHour);
        if (before == after)
            continue;
        qint64 lo = t, hi = t + kHour; // the change lies in (lo, hi]
        while (hi - lo > 1000) {
            const qint64 mid = lo + (hi - lo) / 2;
            (localOffsetAt(mid) == before ? lo : hi) = mid;
        }
        const qint64 faceMs = hi + 1000LL * qMin(before, after);
        out << ClockChange{QDateTime::fromMSecsSinceEpoch(faceMs, Qt::UTC), qAbs(after - before) / 60,
                           after > before};
    }
    return out;
}

QDateTime face(const QDate &d, const QTime &t)
{
    return QDateTime(d, t, Qt::UTC);
}

// Every name or title of a world differs from every other in its first 12 characters and is no
// prefix of another, unless the generator pairs them on purpose.
class Names
{
public:
    bool take(const QString &s)
    {
        const QString key = s.trimmed().left(12);
        for (const QString &k : m_keys)
            if (k.startsWith(key) || key.startsWith(k))
                return false;
        m_keys << key;
        return true;
    }

private:
    QStringList m_keys;
};

struct Gen
{
    Dice dice;
    const TextClasses &classes;
    const Keywords &words;
    const phonesim::ModelInfo &model;
    QDateTime now;
    Names names, titles;
    int serial = 0;
    World w;
    int crowd = 1;              // some worlds hold several times as much
    QList<ClockChange> changes; // of the run's zone, over the span the events are drawn from
    // One event of a world goes without a title: two would be one event to either side. Its start, for
    // a titled phone event at the same minute.
    bool untitledDrawn = false;
    QDateTime untitledStart;

    bool untitled(int percent)
    {
        if (!classes.emptyTitles || untitledDrawn || !dice.chance(percent))
            return false;
        return untitledDrawn = true;
    }

    bool velmora() const { return model.family == phonesim::Family::Velmora; }

    QString number()
    {
        const int n = ++serial;
        const QString digits = QString::number(5550000 + dice.below(4000) * 1000 + n);
        switch (dice.below(6)) {
        case 4:
            return QStringLiteral("+49 (0)30 ") + digits;
        case 5:
            return QStringLiteral("*31#0171") + digits;
        case 0:
            return QStringLiteral("+49151") + digits;
        case 1:
            return QStringLiteral("0171 ") + digits.left(3) + u' ' + digits.mid(3);
        case 2:
            return QStringLiteral("030-") + digits;
        default:
            return QStringLiteral("0") + QString::number(40 + n) + digits;
        }
    }
    QString phoneNumber() // as a handset holds it
    {
        QString s = number();
        s.remove(u' ');
        s.remove(u'-');
        return s;
    }
    QString email(const QString &name)
    {
        QString local = dice.chance(50) ? dice.pick(kEmailOdd) : name.section(u' ', 0, 0).toLower();
        if (classes.quotedEmails && dice.chance(15))
            local = QStringLiteral("\"odd\"") + local;
        if (dice.chance(10))
            local += QStringLiteral(".with.a.rather.long.local.part");
        return local + QString::number(++serial) + QStringLiteral("@example.org");
    }

    QString personName()
    {
        for (int tries = 0; tries < 50; ++tries) {
            QString s;
            switch (dice.below(9)) {
            case 0:
                s = dice.pick(kFamily) + QStringLiteral(", ") + dice.pick(kGiven);
                break;
            case 1:
                s = dice.pick(kGiven) + u' ' + dice.pick(kFamily) + QStringLiteral("; Work");
                break;
            case 2:
                s = dice.pick(kGiven) + QStringLiteral(" \"") + dice.pick(kGiven) + QStringLiteral("\" ") +
                    dice.pick(kFamily);
                break;
            case 3:
                s = dice.pick(kGiven) + u'\n' + dice.pick(kFamily);
                break;
            case 4:
                s = dice.pick(kGiven) + u' ' + dice.pick(kFamily) +
                    QStringLiteral(" von Hohenberg-Schwarzenfeld");
                break;
            case 5:
                if (classes.non1252Names) {
                    s = dice.pick(kNon1252);
                    break;
                }
                [[fallthrough]];
            default:
                s = dice.pick(kGiven) + u' ' + dice.pick(kFamily);
            }
            if (names.take(s))
                return s;
        }
        return QStringLiteral("Person ") + QString::number(++serial);
    }

    // A name as the user keyed it into the handset: what its memory and the link can hold.
    QString handsetName(int maxLength)
    {
        for (int tries = 0; tries < 50; ++tries) {
            QString s = dice.pick(kGiven) + u' ' + dice.pick(kFamily);
            if (dice.chance(20))
                s = dice.pick(kFamily) + QStringLiteral(", ") + dice.pick(kGiven);
            s = s.left(maxLength).trimmed();
            if (names.take(s))
                return s;
        }
        return QStringLiteral("Ph ") + QString::number(++serial);
    }

    QString keyword(const QStringList &list)
    {
        const QString k = dice.pick(list);
        return dice.chance(50) ? k : k.left(1).toUpper() + k.mid(1);
    }

    QString title(int maxLength, bool phone)
    {
        for (int tries = 0; tries < 50; ++tries) {
            QString s = dice.pick(kTitleWords);
            if (!phone && classes.non1252Titles && dice.chance(15))
                s = dice.pick(kTitleNon1252);
            if (phone)
                s.remove(u'"').replace(u'\n', u' ');
            const bool timeTitle = classes.velmoraTimeTitles || !velmora();
            if (timeTitle && dice.chance(10))
                s = QStringLiteral("%1:%2 ")
                        .arg(dice.below(24), 2, 10, QChar(u'0'))
                        .arg(dice.below(12) * 5, 2, 10, QChar(u'0')) +
                    s;
            if (classes.keywordTitles && dice.chance(15))
                s = keyword(*std::array{&words.meeting, &words.call, &words.birthday}[dice.below(3)]) + u' ' +
                    s;
            s = (s + QStringLiteral(" ") + QString::number(++serial)).left(maxLength);
            if (titles.take(s))
                return s;
        }
        return QStringLiteral("Event ") + QString::number(++serial);
    }

    // A face inside the hour a change of the run's zone skips or repeats, as it stands.
    QDateTime changeFace()
    {
        const ClockChange &c = changes.at(dice.below(int(changes.size())));
        return c.firstFace.addSecs(60 * 5 * dice.below(qMax(1, c.minutes / 5)));
    }
    bool drawChangeFace(int percent)
    {
        return classes.clockChangeTimes && !changes.isEmpty() && dice.chance(percent);
    }

    // Every time is a clock face: a face the zone skips or repeats is kept as it stands.
    QDateTime start()
    {
        if (dice.chance(8))
            return face(QDate(2028, 2, 29), QTime(dice.between(0, 23), dice.below(12) * 5));
        if (drawChangeFace(6))
            return changeFace();
        if (dice.chance(6)) { // around the changes of summer time, here and there
            const QStringList days{"2026-03-29", "2026-10-25", "2026-03-08", "2026-11-01", "2027-03-28"};
            const QDateTime t =
                face(QDate::fromString(dice.pick(days), Qt::ISODate),
                     QTime(dice.pick({"0", "1", "2", "3", "23"}).toInt(), dice.below(12) * 5));
            if (classes.clockChangeTimes)
                return t;
            // With the class off, a face the change skips moves an hour on.
            const QDateTime local(t.date(), t.time());
            return local.isValid() ? t : t.addSecs(3600);
        }
        int day = dice.between(-20, 400);
        if (day >= -1 && day <= 1)
            day += 5;
        const int hour = dice.chance(10) ? dice.pick({"0", "23"}).toInt() : dice.between(7, 21);
        return face(now.date().addDays(day), QTime(hour, dice.below(12) * 5));
    }

    // A start whose reminder, `lead` minutes before it on the face, falls inside a change's odd hour.
    void reminderInChange(QDateTime &at, const std::optional<int> &lead)
    {
        if (lead && *lead > 0 && drawChangeFace(8))
            at = changeFace().addSecs(60 * *lead);
    }

    std::optional<int> reminder()
    {
        if (dice.chance(35))
            return std::nullopt;
        QList<int> leads{0, 5, 15, 60, 23 * 60};
        if (classes.velmoraDayReminders || !velmora())
            leads << 24 * 60 << 2 * 24 * 60 << 7 * 24 * 60;
        return leads.at(dice.below(int(leads.size())));
    }

    void desktopContacts()
    {
        const int n = dice.between(0, 6 * crowd);
        for (int i = 0; i < n; ++i) {
            DesktopContact c;
            c.uid = QStringLiteral("c%1").arg(i);
            c.fullName = personName();
            const QStringList kinds{"CELL", "HOME", "WORK", "VOICE"};
            const int numbers = dice.between(0, 3);
            QSet<QString> used;
            for (int k = 0; k < numbers; ++k) {
                const QString kind = kinds.at(dice.below(4));
                if (used.contains(kind) && !classes.twoNumbersOfOneKind)
                    continue;
                used.insert(kind);
                c.numbers.append({kind, number()});
            }
            if (dice.chance(40))
                c.emails << email(c.fullName);
            if (classes.paddedNames && dice.chance(10))
                c.fullName = dice.chance(50) ? c.fullName + u' ' : u' ' + c.fullName;
            w.contacts << c;
        }
        if (classes.sharedPrefixNames && dice.chance(25)) {
            for (const char *name : {"Christina Bauer", "Christina Baumann"}) {
                DesktopContact c;
                c.uid = QStringLiteral("p%1").arg(w.contacts.size());
                c.fullName = QString::fromLatin1(name);
                c.numbers.append({dice.pick({"CELL", "HOME", "WORK"}), number()});
                w.contacts << c;
            }
        }
    }

    // A phone entry the user keyed for a desktop contact: its name as the memory can hold it, composed.
    void keyedForContact(const DesktopContact &c, const QString &number)
    {
        PhoneEntry e;
        e.memory = dice.chance(30) ? QStringLiteral("SM") : QStringLiteral("ME");
        const QString name = c.fullName.normalized(QString::NormalizationForm_C).trimmed();
        e.entry.name = name.left(e.memory == u"SM" ? 14 : model.nameLength).trimmed();
        e.entry.number = number;
        e.entry.type = number.startsWith(u'+') ? 145 : 129;
        w.phoneEntries << e;
    }

    static bool keyableName(const QString &name)
    {
        for (QChar ch : name)
            if (ch.unicode() >= 0x100 || ch == u'"' || ch == u'\n' || ch == u'\r')
                return false;
        return true;
    }

    // A number with what a dial string holds besides digits: pauses, "*" and "#", a "+" after a code.
    QString dialString(bool asKeyed)
    {
        const QString n = QString::number(++serial);
        const QString digits = QString::number(1000 + dice.below(9000)) + n;
        QString s;
        switch (dice.below(7)) {
        case 0:
            s = QStringLiteral("030") + digits + u'p' + QString::number(dice.between(10, 99));
            break;
        case 1:
            s = QStringLiteral("0301 ") + digits + QStringLiteral(" w ") +
                QString::number(dice.between(1, 9));
            break;
        case 2:
            s = QStringLiteral("*31#0170") + digits;
            break;
        case 3:
            s = QStringLiteral("#31#+49170") + digits;
            break;
        case 4:
            s = QStringLiteral("**21*0171") + digits + u'#';
            break;
        case 5:
            s = QStringLiteral("0800 ") + digits + QStringLiteral("PP12");
            break;
        default:
            s = QStringLiteral("+49 30 ") + digits + QStringLiteral("pw7");
        }
        if (asKeyed)
            s.remove(u' ');
        return s;
    }

    // The kinds of text that reach a desktop card from other tools: decomposed letters, dial strings,
    // old exports in the Windows code page; and the phone entries the user keyed for such contacts.
    void contactTexts()
    {
        for (DesktopContact &c : w.contacts) {
            const QString composed = c.fullName.normalized(QString::NormalizationForm_C);
            if (classes.decomposedLetters && dice.chance(30)) {
                c.fullName = c.fullName.normalized(QString::NormalizationForm_D);
                for (QString &e : c.emails)
                    e = e.normalized(QString::NormalizationForm_D);
            } else if (classes.codePageCards && keyableName(composed) && dice.chance(25)) {
                c.codePage = dice.chance(30) ? 2 : 1;
            }
            if (classes.dialStrings && dice.chance(20))
                c.numbers.append({dice.pick({"CELL", "HOME", "WORK", "VOICE"}), dialString(false)});
            const bool unusual = c.codePage != 0 || c.fullName != composed;
            if (unusual && keyableName(composed) && dice.chance(50))
                keyedForContact(c, phoneNumber());
        }
        if (!classes.dialStrings)
            return;
        for (int i = dice.between(0, 2); i > 0; --i) {
            PhoneEntry e;
            e.memory = dice.chance(30) ? QStringLiteral("SM") : QStringLiteral("ME");
            e.entry.name = handsetName(e.memory == u"SM" ? 14 : model.nameLength);
            e.entry.number = dialString(true);
            e.entry.type = e.entry.number.startsWith(u'+') ? 145 : 129;
            w.phoneEntries << e;
        }
    }

    // Desktop numbers with an extension or a trunk zero, spelt in the ways of the program's languages,
    // and phone entries whose pauses a SIM card wrote as "P", "," or "W". Drawn from a stream of their
    // own, so the other draws of a seed stay as they were.
    void extensionNumbers()
    {
        if (!classes.extensionNumbers)
            return;
        Dice d(w.seed ^ 0x45787431u);
        int serial = 0;
        const auto digits = [&] { return QString::number(2000 + d.below(7000)) + QString::number(++serial); };
        const auto extension = [&] { return QString::number(d.between(1, 999)); };
        const auto spelt = [&] {
            switch (d.below(12)) {
            case 0:
                return QStringLiteral("+1 555 ") + digits() + QStringLiteral(" x") + extension();
            case 1:
                return QStringLiteral("+1 (555) ") + digits() + QStringLiteral(" Ext. ") + extension();
            case 2:
                return QStringLiteral("0800 ") + digits() + QStringLiteral(" ext=") + extension();
            case 3:
                return QStringLiteral("+49 (0)40 ") + digits();
            case 4:
                return QStringLiteral("+44(0) 20 ") + digits();
            case 5:
                return QStringLiteral("+49 (0)30 ") + digits() + QStringLiteral(" Durchwahl ") + extension();
            case 6:
                return QStringLiteral("030 ") + digits() + QStringLiteral(" DW ") + extension();
            case 7:
                return QStringLiteral("+33 (0)1 ") + digits() + QStringLiteral(" poste ") + extension();
            case 8:
                return QStringLiteral("06 ") + digits() + QStringLiteral(" interno ") + extension();
            case 9:
                return QStringLiteral("91 ") + digits() + QStringLiteral(" int. ") + extension();
            case 10:
                return QStringLiteral("+1 555 ") + digits() + u',' + extension();
            default:
                return QStringLiteral("tel:+1-555-") + digits() + QStringLiteral(";ext=") + extension();
            }
        };
        for (DesktopContact &c : w.contacts)
            if (d.chance(25))
                c.numbers.append({d.pick({"CELL", "HOME", "WORK", "VOICE"}), spelt()});
        for (int i = d.between(0, 2); i > 0; --i) {
            PhoneEntry e;
            e.memory = d.chance(40) ? QStringLiteral("SM") : QStringLiteral("ME");
            e.entry.name = QStringLiteral("Pause %1 Ext").arg(i);
            if (!names.take(e.entry.name))
                continue;
            const QString pause = d.pick({"P", ",", "W", "PP", "p,"});
            e.entry.number = QStringLiteral("0301") + digits() + pause + extension();
            e.entry.type = 129;
            w.phoneEntries << e;
        }
    }

    void phoneEntries()
    {
        const int n = dice.between(0, 6 * crowd);
        const bool suffixed = !model.extendedPhonebook;
        for (int i = 0; i < n; ++i) {
            PhoneEntry e;
            e.memory = dice.chance(30) ? QStringLiteral("SM") : QStringLiteral("ME");
            QString name = handsetName(e.memory == u"SM" ? 14 : model.nameLength);
            int category = dice.below(3);
            if (suffixed && dice.chance(30)) {
                const QString suffix = dice.chance(50) ? QStringLiteral("#H") : QStringLiteral("#W");
                name =
                    name.left(qMin(e.memory == u"SM" ? 12 : model.nameLength - 2, int(name.size()))) + suffix;
            }
            e.entry.name = name;
            e.entry.number = phoneNumber();
            e.entry.type = e.entry.number.startsWith(u'+') ? 145 : 129;
            if (model.extendedPhonebook && e.memory == u"ME") {
                e.entry.category = category;
                if (dice.chance(20) && model.emailLength > 0) {
                    e.entry.category = 3;
                    e.entry.number = email(name).left(model.emailLength);
                    e.entry.type.reset();
                }
            }
            w.phoneEntries << e;
        }
        // People the user keyed in one after another under one long beginning.
        if (classes.sharedPrefixNames && dice.chance(15)) {
            for (int k = 1; k <= dice.between(2, 4); ++k)
                w.phoneEntries << PhoneEntry{
                    QStringLiteral("ME"),
                    {phoneNumber(), 129, QStringLiteral("Phone Kontakt %1").arg(k, 3, 10, QChar(u'0')), 0}};
        }
        // A number of a desktop contact the user also keyed into the phone, under the phone's cut of its
        // name.
        if (!w.contacts.isEmpty() && dice.chance(30)) {
            const DesktopContact &c = w.contacts.at(dice.below(int(w.contacts.size())));
            const QString name = c.fullName.trimmed();
            bool keyable = !name.contains(u'"') && !name.contains(u'\n') && !name.contains(u'\r');
            for (QChar ch : name)
                keyable = keyable && ch.unicode() < 0x100;
            if (keyable) {
                PhoneEntry e;
                e.memory = QStringLiteral("ME");
                e.entry.name = name.left(model.nameLength);
                e.entry.number = phoneNumber();
                e.entry.type = 129;
                w.phoneEntries << e;
            }
        }
    }

    void capacities()
    {
        int me = 0, sim = 0;
        for (const PhoneEntry &e : w.phoneEntries)
            ++(e.memory == u"SM" ? sim : me);
        const int kind = int(w.seed / 9 % 3);
        w.fill = QStringList{"full", "nearly full", "roomy"}.at(kind);
        const int spare = kind == 0 ? 0 : kind == 1 ? dice.between(1, 2) : 40;
        w.meCapacity = qMax(1, me + spare);
        w.simCapacity = qMax(1, sim + (kind == 0 ? 0 : spare + dice.below(2)));
    }

    void desktopEvents()
    {
        const int n = dice.between(0, 7 * crowd);
        for (int i = 0; i < n; ++i) {
            DesktopEvent e;
            e.uid = QStringLiteral("e%1").arg(i);
            e.start = start();
            e.reminder = reminder();
            reminderInChange(e.start, e.reminder);
            const int shape = dice.below(10);
            if (shape == 0) {
                e.allDay = true;
                e.start.setTime(QTime(0, 0));
                e.summary = title(60, false);
            } else if (shape <= 2) {
                e.yearly = true;
                e.start = dice.chance(30)
                              ? face(QDate(2024, 2, 29), QTime(9, 0))
                              : face(QDate(1990 + dice.below(30), dice.between(1, 12), dice.between(1, 28)),
                                     QTime(dice.between(7, 20), 0));
                e.summary = keyword(words.birthday) + QStringLiteral(": ") + title(30, false);
            } else if (shape <= 4) {
                e.summary = keyword(dice.chance(50) ? words.meeting : words.call) +
                            (dice.chance(70) ? QStringLiteral(": ") : QStringLiteral(":")) + title(30, false);
            } else {
                e.summary = untitled(6) ? QString() : title(60, false);
                if (e.summary.isEmpty())
                    untitledStart = e.start;
            }
            if (dice.chance(15))
                e.description = dice.pick(kTitleWords);
            if (classes.non1252Descriptions && dice.chance(6))
                e.description = dice.pick(kTitleNon1252);
            w.events << e;
        }
        // A busy day: more events than some handsets keep in one day.
        if (dice.chance(15)) {
            const QDate day = now.date().addDays(dice.between(10, 60));
            for (int i = 0; i < 6; ++i)
                w.events << DesktopEvent{QStringLiteral("b%1").arg(i),
                                         title(30, false),
                                         face(day, QTime(8 + i, 0)),
                                         30,
                                         std::nullopt,
                                         false,
                                         false,
                                         {}};
        }
    }

    // A face inside the hour a change of `among` skips, or an invalid value when none skips.
    QDateTime skippedFace(const QList<ClockChange> &among)
    {
        QList<ClockChange> gaps;
        for (const ClockChange &c : among)
            if (c.skips)
                gaps << c;
        if (gaps.isEmpty())
            return QDateTime();
        const ClockChange &c = gaps.at(dice.below(int(gaps.size())));
        return c.firstFace.addSecs(60 * 5 * dice.below(qMax(1, c.minutes / 5)));
    }

    // Yearly events first dated at a face the zone skipped years back (a desktop birthday) or skips the
    // year after next (a yearly event keyed into a phone that keeps kinds): every other year shows that
    // face, and the series keeps it.
    void yearlyAtSkippedFaces()
    {
        if (!classes.yearlySkippedFaces || changes.isEmpty() || !dice.chance(25))
            return;
        const QDateTime back = skippedFace(clockChanges(now.addYears(-7), now.addYears(-6)));
        if (back.isValid() && dice.chance(70)) {
            DesktopEvent e;
            e.uid = QStringLiteral("y0");
            e.start = back;
            e.reminder = reminder();
            e.yearly = true;
            e.summary = keyword(words.birthday) + QStringLiteral(": ") + title(30, false);
            w.events << e;
        }
        const QDateTime ahead = skippedFace(clockChanges(now.addDays(430), now.addDays(800)));
        if (ahead.isValid() && !velmora() && int(w.phoneEvents.size()) < model.calendarCapacity) {
            phonesim::CalendarEvent e;
            e.kind = 4;
            e.when = ahead;
            const std::optional<int> lead = reminder();
            e.alarm = lead.has_value();
            if (e.alarm)
                e.alarmTime = ahead.addSecs(-60 * *lead).time();
            e.text = title(model.calendarTextLength, true);
            w.phoneEvents << e;
        }
    }

    void phoneEvents()
    {
        const int capacity = model.calendarCapacity;
        const int n = dice.chance(15) ? capacity - dice.below(3) : dice.between(0, 5 * crowd);
        const int textLength = model.calendarTextLength;
        for (int i = 0; i < n; ++i) {
            phonesim::CalendarEvent e;
            QDateTime at = start();
            const std::optional<int> lead = reminder();
            reminderInChange(at, lead);
            // A titled event at the minute of the desktop's untitled one: two events, not one.
            if (i == 0 && untitledStart.isValid() && dice.chance(50))
                at = untitledStart;
            const bool untitled = this->untitled(5);
            if (velmora()) {
                const bool dayLead = lead && *lead >= 24 * 60;
                e.alarm = lead.has_value() && !dayLead;
                e.when = e.alarm ? at.addSecs(-60 * *lead) : at;
                const QString t = untitled ? QString() : title(textLength - 6, true);
                e.text = dice.chance(80) || e.alarm ? at.toString(QStringLiteral("HH:mm ")) + t : t;
            } else {
                e.kind = dice.between(1, 4);
                e.when = at;
                e.alarm = lead.has_value();
                if (e.alarm)
                    e.alarmTime = at.addSecs(-60 * *lead).time();
                e.text = untitled ? QString() : title(textLength, true);
            }
            w.phoneEvents << e;
        }
    }
};

} // namespace

TextClasses TextClasses::all()
{
    return TextClasses{}; // every class is on by default
}

int World::itemCount() const
{
    return int(contacts.size() + events.size() + phoneEntries.size() + phoneEvents.size());
}

World World::without(int item) const
{
    World w = *this;
    if (item < contacts.size()) {
        w.contacts.removeAt(item);
        return w;
    }
    item -= int(contacts.size());
    if (item < events.size()) {
        w.events.removeAt(item);
        return w;
    }
    item -= int(events.size());
    if (item < phoneEntries.size()) {
        w.phoneEntries.removeAt(item);
        return w;
    }
    item -= int(phoneEntries.size());
    w.phoneEvents.removeAt(item);
    return w;
}

QString World::describeItem(int item) const
{
    if (item < contacts.size()) {
        const DesktopContact &c = contacts.at(item);
        const QByteArray card = vcardOf(c);
        return QStringLiteral("desktop contact:\n") +
               (c.codePage != 0 ? QString::fromLatin1(card) : QString::fromUtf8(card));
    }
    item -= int(contacts.size());
    if (item < events.size())
        return QStringLiteral("desktop event:\n") + QString::fromUtf8(icsOf(events.at(item)));
    item -= int(events.size());
    if (item < phoneEntries.size()) {
        const PhoneEntry &e = phoneEntries.at(item);
        return QStringLiteral("phone entry: %1 \"%2\" \"%3\" category %4")
            .arg(e.memory, e.entry.number, e.entry.name)
            .arg(e.entry.category);
    }
    item -= int(phoneEntries.size());
    const phonesim::CalendarEvent &e = phoneEvents.at(item);
    return QStringLiteral("phone event: kind %1 %2 alarm %3 %4 \"%5\"")
        .arg(e.kind)
        .arg(e.when.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
        .arg(e.alarm)
        .arg(e.alarmTime ? e.alarmTime->toString(QStringLiteral("HH:mm")) : QString(), e.text);
}

World generateWorld(quint32 seed, const TextClasses &classes, const Keywords &words, const QDateTime &now)
{
    const QStringList models = phonesim::modelCodes();
    const phonesim::ModelInfo &model = *phonesim::findModel(models.at(int(seed % quint32(models.size()))));
    Gen g{Dice(seed), classes, words, model, now, {}, {}, 0, {}, 1, {}, false, {}};
    g.w.seed = seed;
    g.w.model = model.code;
    g.w.locale = QStringList{"en_US", "de_DE", "fr_FR", "it_IT", "es_ES"}.at(int(seed / 27 % 5));
    g.crowd = g.dice.chance(10) ? 4 : 1;
    g.changes = clockChanges(now.addDays(-30), now.addDays(430));
    g.desktopContacts();
    g.phoneEntries();
    g.contactTexts();
    g.extensionNumbers();
    g.capacities();
    g.desktopEvents();
    g.phoneEvents();
    g.yearlyAtSkippedFaces();
    drawOtherDesktopsFiles(g.w, classes, now);
    return g.w;
}

namespace {

QString escaped(QString s)
{
    s.replace(u'\\', QStringLiteral("\\\\"));
    s.replace(u',', QStringLiteral("\\,"));
    s.replace(u';', QStringLiteral("\\;"));
    s.replace(u'\n', QStringLiteral("\\n"));
    return s;
}

QString floating(const QDateTime &t, bool allDay)
{
    return allDay ? QStringLiteral(";VALUE=DATE:") + t.toString(QStringLiteral("yyyyMMdd"))
                  : u':' + t.toString(QStringLiteral("yyyyMMdd'T'HHmmss"));
}

} // namespace

namespace {

// An old export: vCard 2.1, bare type words, the text in the Windows code page with no charset named.
QByteArray codePageCardOf(const DesktopContact &c)
{
    QByteArray name = escaped(c.fullName).toLatin1();
    QByteArray fn = "FN:" + name;
    if (c.codePage == 2) {
        QByteArray qp;
        for (char ch : name) {
            const auto b = quint8(ch);
            qp += b >= 0x80 || ch == '=' ? QByteArray("=") + QByteArray::number(b, 16).toUpper()
                                         : QByteArray(1, ch);
        }
        fn = "FN;ENCODING=QUOTED-PRINTABLE:" + qp;
    }
    QByteArray s =
        "BEGIN:VCARD\r\nVERSION:2.1\r\nUID:" + c.uid.toLatin1() + "\r\n" + fn + "\r\nN:;" + name + ";;;\r\n";
    for (const auto &[kind, number] : c.numbers)
        s += "TEL;" + kind.toLatin1() + ':' + number.toLatin1() + "\r\n";
    for (const QString &e : c.emails)
        s += "EMAIL;INTERNET:" + escaped(e).toLatin1() + "\r\n";
    return s + "END:VCARD\r\n";
}

} // namespace

QByteArray vcardOf(const DesktopContact &c)
{
    if (c.codePage != 0)
        return codePageCardOf(c);
    QString s = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:") + c.uid + QStringLiteral("\r\nFN:") +
                escaped(c.fullName) + QStringLiteral("\r\nN:;") + escaped(c.fullName) +
                QStringLiteral(";;;\r\n");
    for (const auto &[kind, number] : c.numbers)
        s += QStringLiteral("TEL;TYPE=") + kind + u':' + number + QStringLiteral("\r\n");
    for (const QString &e : c.emails)
        s += QStringLiteral("EMAIL;TYPE=INTERNET:") + escaped(e) + QStringLiteral("\r\n");
    return (s + QStringLiteral("END:VCARD\r\n")).toUtf8();
}

QByteArray icsOf(const DesktopEvent &e)
{
    if (!e.zoneId.isEmpty() || !e.damagedFile.isEmpty())
        return zonedIcsOf(e);
    QString s =
        QStringLiteral("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:") +
        e.uid + QStringLiteral("\r\nDTSTAMP:20260101T000000Z\r\nDTSTART") + floating(e.start, e.allDay) +
        QStringLiteral("\r\nDTEND") +
        floating(e.allDay ? e.start.addDays(1) : e.start.addSecs(60 * e.minutes), e.allDay) +
        QStringLiteral("\r\n");
    if (!e.summary.isEmpty())
        s += QStringLiteral("SUMMARY:") + escaped(e.summary) + QStringLiteral("\r\n");
    if (e.yearly)
        s += QStringLiteral("RRULE:FREQ=YEARLY\r\n");
    if (!e.description.isEmpty())
        s += QStringLiteral("DESCRIPTION:") + escaped(e.description) + QStringLiteral("\r\n");
    if (e.reminder)
        s += QStringLiteral("BEGIN:VALARM\r\nACTION:DISPLAY\r\nDESCRIPTION:Reminder\r\nTRIGGER:-PT") +
             QString::number(*e.reminder) + QStringLiteral("M\r\nEND:VALARM\r\n");
    return (s + QStringLiteral("END:VEVENT\r\nEND:VCALENDAR\r\n")).toUtf8();
}

} // namespace orvia::test::convergence
