#pragma once
// The desktop side of a run as the run state machine calls it. The calls are synchronous; they call
// the owner's MrCallback at the end unless the user stopped the run, and throw RuntimeError 12345 when
// the desktop store fails. A read whose folder would make more records than a run can hold reads on to
// count them and throws RunCapacityError instead of calling back.
#include <memory>

namespace orvia {

class ModFeatures;
class DBPhonebook;
class DBCalendar;

class IDesktopEndpoint
{
public:
    virtual ~IDesktopEndpoint() = default;
    virtual std::shared_ptr<ModFeatures> GetFeatures() = 0;
    virtual void ReadContacts(std::shared_ptr<DBPhonebook> dbp) = 0;
    virtual void UpdateContacts(std::shared_ptr<DBPhonebook> dbp) = 0;
    virtual void ReadCalendar(std::shared_ptr<DBCalendar> dbc) = 0;
    virtual void UpdateCalendar(std::shared_ptr<DBCalendar> dbc) = 0;
};

} // namespace orvia
