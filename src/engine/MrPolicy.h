#pragma once
// The synchronisation rule set: what each side lacks of the other's contacts and events, fitted to
// what the side can hold. Nothing is remembered between runs and, on contacts, nothing is deleted.
#include "engine/RunPolicy.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace orvia {

class DBCalendar;
class DBCalendarItem;
class DBPhonebook;
class IClock;
class IMessageLoop;
class IRunOwner;
class ModFeatures;

class MrPolicy : public IRunPolicy
{
public:
    // Sets the suffix texts of simple phonebooks. `clock` gives "now" (the system clock when null);
    // `loop` is yielded to once per record (nothing when null).
    MrPolicy(IClock *clock, IMessageLoop *loop);

    void Init(IRunOwner *owner) override;

    // Outlook's phonebook and the phone's in, what each of them should receive out (the two output
    // references are replaced by new stores). Polls the owner for a stop between steps.
    void DoContacts(const std::shared_ptr<DBPhonebook> &dbpin1, const std::shared_ptr<DBPhonebook> &dbpin2,
                    std::shared_ptr<DBPhonebook> &dbpout1, std::shared_ptr<DBPhonebook> &dbpout2,
                    const std::shared_ptr<ModFeatures> &fea1,
                    const std::shared_ptr<ModFeatures> &fea2) override;

    // Outlook's calendar and the phone's in, the additions for Outlook and the additions and deletions
    // for the phone out (both output references replaced).
    void DoCalendar(const std::shared_ptr<DBCalendar> &dbc1, const std::shared_ptr<DBCalendar> &dbc2,
                    std::shared_ptr<DBCalendar> &dbcout1, std::shared_ptr<DBCalendar> &dbcout2,
                    const std::shared_ptr<ModFeatures> &fea1,
                    const std::shared_ptr<ModFeatures> &fea2) override;

    // The steps of the two operations, callable one at a time.

    // `diff` (what the side lacks) cut to the side's limits and placed in its memories. `other` is the
    // other side as read: a number the side holds in a form the other side's earlier readings gave it
    // is there already.
    std::shared_ptr<DBPhonebook> Fit2Feat(const DBPhonebook &side, const DBPhonebook &diff,
                                          const ModFeatures &fea, const DBPhonebook *other = nullptr);
    // The first location of memory `mem` that neither store uses, or -1.
    qint16 FindFreeLocation(const DBPhonebook &store1, const DBPhonebook &store2, const QString &mem,
                            const ModFeatures &fea) const;

    std::shared_ptr<DBCalendar> PurgePastEvents(const DBCalendar &cal);
    std::shared_ptr<DBCalendar> MergeCalendar(const DBCalendar &a, const DBCalendar &b);
    std::shared_ptr<DBCalendar> DiffCalendar(const DBCalendar &side, const DBCalendar &merged);
    std::shared_ptr<DBCalendar> Fit2FeatCalendar(const DBCalendar &side, const DBCalendar &diff,
                                                 const ModFeatures &fea);
    std::shared_ptr<DBCalendar> RemoveOutOfDateEvents(const DBCalendar &side, const DBCalendar &list);
    // Keeps at most `room` additions of `list` (the latest ones lose their Add); returns the start of
    // the latest addition kept that lies after now, or now.
    QDateTime GetSyncUntilDate(DBCalendar &list, qint16 &room);
    qint16 FindFreeCalendarLocation(const DBCalendar &side, DBCalendar &list, const ModFeatures &fea) const;
    // Keeps the additions of `work` a day can still take (only additions go on; with `fiveADay`, no
    // more than five events a day, counting the side's and every earlier record of the list).
    void checkPerDay(const DBCalendar &side, std::shared_ptr<DBCalendar> &work, bool fiveADay);
    // Gives every addition of `work` the first slot neither the side nor another addition holds (a slot
    // being deleted is free); an addition without one is not sent.
    void assignSlots(const DBCalendar &side, DBCalendar &work, const ModFeatures &fea);

private:
    bool interrupted() const;
    void progress(double fraction) const;
    void yield() const;
    QDateTime now() const;

    void placeOnHandset(const DBPhonebook &side, const DBPhonebook &res, const ModFeatures &fea,
                        DBPhonebook &out);
    void placeWithSuffix(const DBPhonebook &side, const DBPhonebook &res, const ModFeatures &fea,
                         DBPhonebook &out);
    void fitToCapacity(const DBCalendar &side, std::shared_ptr<DBCalendar> &work, const ModFeatures &fea);

    IClock *m_clock;
    IMessageLoop *m_loop;
    IRunOwner *m_owner = nullptr;
};

} // namespace orvia
