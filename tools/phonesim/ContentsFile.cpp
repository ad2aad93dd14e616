#include "phonesim/ContentsFile.h"

#include "phonesim/Fields.h"
#include "phonesim/ModelTable.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace orvia::phonesim {

namespace {

const QString kDateTime = QStringLiteral("yyyy-MM-dd HH:mm");
const QString kTime = QStringLiteral("HH:mm");

// What the handset cannot carry on the wire inside a quoted text.
bool wireSafe(const QString &s)
{
    return !s.contains(u'"') && !s.contains(u'\r') && !s.contains(u'\n');
}

struct Parser
{
    HandsetContents c;
    QString error;
    bool modelSeen = false;
    bool capacitySet[2] = {false, false};

    bool fail(const QString &why)
    {
        error = why;
        return false;
    }

    bool setModel(const QString &code)
    {
        const ModelInfo *m = findModel(code);
        if (!m)
            return fail(
                QStringLiteral("unknown model \"%1\" (known: %2)").arg(code, modelCodes().join(u' ')));
        HandsetContents fresh = HandsetContents::forModel(m->code);
        c.model = m->code;
        if (!capacitySet[0])
            c.sim.capacity = fresh.sim.capacity;
        if (!capacitySet[1])
            c.me.capacity = fresh.me.capacity;
        modelSeen = true;
        return true;
    }

    bool entry(const QList<Field> &f)
    {
        if (f.size() < 5 || f.size() > 6)
            return fail(QStringLiteral("an entry is: memory,location,\"number\",type,\"name\"[,category]"));
        Memory *m = c.memory(f.at(0).text);
        const auto loc = intField(f.at(1), 1, 100000);
        if (!m || f.at(0).quoted)
            return fail(QStringLiteral("memory must be SM or ME"));
        if (!loc)
            return fail(QStringLiteral("bad location"));
        if (!f.at(2).quoted || !f.at(4).quoted)
            return fail(QStringLiteral("number and name must be quoted"));
        PhonebookEntry e{f.at(2).text, std::nullopt, f.at(4).text, 0};
        if (!f.at(3).empty()) {
            e.type = intField(f.at(3), 0, 255);
            if (!e.type)
                return fail(QStringLiteral("bad number type"));
        }
        if (f.size() == 6) {
            const auto cat = intField(f.at(5), 0, 9);
            if (!cat)
                return fail(QStringLiteral("bad category"));
            e.category = *cat;
        }
        if (!wireSafe(e.number) || !wireSafe(e.name))
            return fail(QStringLiteral("a handset text cannot hold a double quote or a line break"));
        if (m->entries.count(*loc))
            return fail(QStringLiteral("location %1 is given twice").arg(*loc));
        m->entries[*loc] = e;
        return true;
    }

    bool event(const QList<Field> &f)
    {
        if (f.size() != 6)
            return fail(QStringLiteral(
                "an event is: index,kind,yyyy-MM-dd HH:mm,alarm,alarm time or empty,\"text\""));
        const auto index = intField(f.at(0), 0, 100000);
        const auto kind = intField(f.at(1), 1, 4);
        // The handset's clock has no zone: a face the local clock skips is a face it holds all the same.
        QDateTime when =
            QDateTime::fromString(f.at(2).text + QStringLiteral(" Z"), kDateTime + QStringLiteral(" t"));
        when.setTimeSpec(Qt::UTC);
        const auto alarm = intField(f.at(3), 0, 1);
        if (!index || !kind || !when.isValid() || !alarm || !f.at(5).quoted)
            return fail(QStringLiteral("bad event fields"));
        CalendarEvent e{*kind, when, *alarm == 1, std::nullopt, f.at(5).text};
        if (!f.at(4).empty()) {
            const QTime t = QTime::fromString(f.at(4).text, kTime);
            if (!t.isValid())
                return fail(QStringLiteral("bad alarm time"));
            e.alarmTime = t;
        }
        if (!wireSafe(e.text))
            return fail(QStringLiteral("a handset text cannot hold a double quote or a line break"));
        if (c.calendar.count(*index))
            return fail(QStringLiteral("event index %1 is given twice").arg(*index));
        c.calendar[*index] = e;
        return true;
    }

    bool line(const QString &key, const QString &value)
    {
        if (key == QLatin1String("model"))
            return setModel(value);
        if (key == QLatin1String("imei") || key == QLatin1String("imsi")) {
            if (value.isEmpty() || value.size() > 20 || !wireSafe(value))
                return fail(QStringLiteral("bad %1").arg(key));
            (key == QLatin1String("imei") ? c.imei : c.imsi) = value;
            return true;
        }
        if (key == QLatin1String("sim-ready")) {
            if (value != QLatin1String("yes") && value != QLatin1String("no"))
                return fail(QStringLiteral("sim-ready is yes or no"));
            c.simReady = value == QLatin1String("yes");
            return true;
        }
        if (key == QLatin1String("sim-pause")) {
            if (value != QLatin1String("p") && value != QLatin1String("P") && value != QLatin1String(","))
                return fail(QStringLiteral("sim-pause is p, P or ,"));
            c.simPause = value;
            return true;
        }
        if (key == QLatin1String("SM") || key == QLatin1String("ME")) {
            bool ok = false;
            const int cap = value.toInt(&ok);
            if (!ok || cap < 1 || cap > 9999)
                return fail(QStringLiteral("a capacity is 1 to 9999"));
            c.memory(key)->capacity = cap;
            capacitySet[key == QLatin1String("ME")] = true;
            return true;
        }
        if (key == QLatin1String("entry") || key == QLatin1String("event")) {
            const auto f = splitFields(value, true);
            if (!f)
                return fail(QStringLiteral("unbalanced quotes"));
            return key == QLatin1String("entry") ? entry(*f) : event(*f);
        }
        return fail(QStringLiteral("unknown key \"%1\"").arg(key));
    }

    // Checks that need the whole file: locations within the capacities, indexes within the calendar.
    bool finish()
    {
        const ModelInfo &m = *findModel(c.model);
        for (const Memory *mem : {&c.sim, &c.me}) {
            if (!mem->entries.empty() && mem->entries.rbegin()->first > mem->capacity)
                return fail(QStringLiteral("an entry lies beyond its memory's capacity"));
        }
        for (const auto &[index, e] : c.calendar) {
            if (index < m.calendarFirst || index >= m.calendarFirst + m.calendarCapacity)
                return fail(QStringLiteral("event index %1 is outside %2..%3")
                                .arg(index)
                                .arg(m.calendarFirst)
                                .arg(m.calendarFirst + m.calendarCapacity - 1));
        }
        return true;
    }
};

} // namespace

ContentsResult parseContents(const QString &text, const QString &defaultModel)
{
    Parser p;
    if (!p.setModel(defaultModel))
        return {std::nullopt, p.error};
    p.modelSeen = false;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString l = lines.at(i);
        if (l.endsWith(u'\r'))
            l.chop(1);
        const QString t = l.trimmed();
        if (t.isEmpty() || t.startsWith(u'#'))
            continue;
        const qsizetype eq = t.indexOf(u'=');
        const bool ok = eq > 0 && p.line(t.left(eq).trimmed(), t.mid(eq + 1).trimmed());
        if (!ok)
            return {std::nullopt, QStringLiteral("line %1: %2")
                                      .arg(i + 1)
                                      .arg(eq > 0 ? p.error : QStringLiteral("expected key=value"))};
    }
    if (!p.finish())
        return {std::nullopt, p.error};
    return {p.c, {}};
}

QString formatContents(const HandsetContents &c)
{
    QString out = QStringLiteral("# phone simulator contents\n");
    out += QStringLiteral("model=%1\nimei=%2\nimsi=%3\nsim-ready=%4\nSM=%5\nME=%6\n")
               .arg(c.model, c.imei, c.imsi, c.simReady ? QStringLiteral("yes") : QStringLiteral("no"))
               .arg(c.sim.capacity)
               .arg(c.me.capacity);
    if (!c.simPause.isEmpty())
        out += QStringLiteral("sim-pause=%1\n").arg(c.simPause);
    for (const auto &[name, mem] :
         {std::pair{QStringLiteral("SM"), &c.sim}, std::pair{QStringLiteral("ME"), &c.me}}) {
        for (const auto &[loc, e] : mem->entries) {
            out += QStringLiteral("entry=%1,%2,").arg(name).arg(loc) + quoteEscaped(e.number) + u',' +
                   (e.type ? QString::number(*e.type) : QString()) + u',' + quoteEscaped(e.name) + u',' +
                   QString::number(e.category) + u'\n';
        }
    }
    for (const auto &[index, e] : c.calendar) {
        out += QStringLiteral("event=%1,%2,%3,%4,")
                   .arg(index)
                   .arg(e.kind)
                   .arg(e.when.toString(kDateTime))
                   .arg(e.alarm ? 1 : 0) +
               (e.alarmTime ? e.alarmTime->toString(kTime) : QString()) + u',' + quoteEscaped(e.text) + u'\n';
    }
    return out;
}

ContentsResult loadContentsFile(const QString &path, const QString &defaultModel)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("%1: %2").arg(path, f.errorString())};
    if (f.size() > 16 * 1024 * 1024)
        return {std::nullopt, QStringLiteral("%1: file too large").arg(path)};
    ContentsResult r = parseContents(QString::fromUtf8(f.readAll()), defaultModel);
    if (!r.contents)
        r.error = path + QStringLiteral(": ") + r.error;
    return r;
}

bool saveContentsFile(const QString &path, const HandsetContents &contents, QString *error)
{
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && f.write(formatContents(contents).toUtf8()) >= 0 && f.commit())
        return true;
    if (error)
        *error = QStringLiteral("%1: %2").arg(path, f.errorString());
    return false;
}

} // namespace orvia::phonesim
