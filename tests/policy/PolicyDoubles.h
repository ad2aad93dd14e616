#pragma once
// Test doubles and store builders shared by the policy tests.
#include "common/Globals.h"
#include "data/DBCalendar.h"
#include "data/ModFeatures.h"
#include "endpoints/RunOwner.h"
#include "platform/Timer.h"

#include <QList>
#include <functional>

namespace orvia::test {

class FixedClock : public IClock
{
public:
    explicit FixedClock(QDateTime t) : time(std::move(t)) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

class CountingLoop : public IMessageLoop
{
public:
    void yieldOnce() override { ++yields; }
    void pause(int) override {}
    int yields = 0;
};

// Records what the policy reports; `interruptAfter` answers true from that poll on (counted from 1).
class RecordingOwner : public IRunOwner
{
public:
    void MrCallback(qint16 code) override { callbacks.append(code); }
    void SetProgress(double fraction) override { progress.append(fraction); }
    bool UserInterrupt() override { return ++polls >= interruptAfter; }
    void RecoverFromPhoneError() override {}
    qint16 SyncStateMachine() const override { return 4; }

    QList<qint16> callbacks;
    QList<double> progress;
    int polls = 0;
    int interruptAfter = 1 << 30;
};

inline std::shared_ptr<ModFeatures> features(const QString &name, qint16 calCapacity)
{
    auto f = std::make_shared<ModFeatures>();
    f->name = name;
    f->Cal_capacity = calCapacity;
    f->writeable = true;
    return f;
}

inline void addEvent(DBCalendar &cal, const QString &title, const QDateTime &start,
                     EventKind typ = EventKind::Plain, qint16 location = 0)
{
    cal.add(location, start, zeroDateTime(), false, 0, typ, title, QString(), Operation::None);
}

// The details text split into its notices, without the "Details for <name>: " part.
inline QStringList notices()
{
    QStringList out;
    for (const QString &line : globals().gDetails.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        out.append(line.mid(line.indexOf(QStringLiteral(": ")) + 2));
    return out;
}

inline QList<std::shared_ptr<DBCalendarItem>> items(const DBCalendar &cal)
{
    QList<std::shared_ptr<DBCalendarItem>> out;
    for (qint16 i = 0; i < cal.count(); ++i)
        out.append(cal.GetItem(i));
    return out;
}

} // namespace orvia::test
