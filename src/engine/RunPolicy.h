#pragma once
// The merge policy as the run state machine calls it. Both calls are synchronous and replace the two
// output stores they are given.
#include <memory>

namespace orvia {

class IRunOwner;
class ModFeatures;
class DBPhonebook;
class DBCalendar;

class IRunPolicy
{
public:
    virtual ~IRunPolicy() = default;
    virtual void Init(IRunOwner *owner) = 0;
    virtual void DoContacts(const std::shared_ptr<DBPhonebook> &fromOutlook,
                            const std::shared_ptr<DBPhonebook> &fromPhone,
                            std::shared_ptr<DBPhonebook> &toOutlook, std::shared_ptr<DBPhonebook> &toPhone,
                            const std::shared_ptr<ModFeatures> &feaOutlook,
                            const std::shared_ptr<ModFeatures> &feaPhone) = 0;
    virtual void DoCalendar(const std::shared_ptr<DBCalendar> &fromOutlook,
                            const std::shared_ptr<DBCalendar> &fromPhone,
                            std::shared_ptr<DBCalendar> &toOutlook, std::shared_ptr<DBCalendar> &toPhone,
                            const std::shared_ptr<ModFeatures> &feaOutlook,
                            const std::shared_ptr<ModFeatures> &feaPhone) = 0;
};

} // namespace orvia
