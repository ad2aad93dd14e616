#pragma once
// The phone endpoint: implemented by the two AT drivers (VelmoraAT, TarvexAT).
#include "endpoints/SerialHandler.h"
#include <QString>
#include <memory>

namespace orvia {

class ICommandLink;
class IRunOwner;
class ISetupDetection;
class ITrayState;
class ModFeatures;
class DBPhonebook;
class DBCalendar;

class IPhoneDriver : public ISerialHandler
{
public:
    // Init, ReadContacts, UpdateContacts, ReadCalendar and UpdateCalendar return at once; the driver
    // ends the operation with owner->MrCallback(1) (or the setup window's FiniteStateMachine after an
    // identification outside a run). The driver sends its commands on `msc` and gets their replies
    // through Receive, and the expiry of their watchdog through TimeOut.
    virtual void Init(ICommandLink *msc, IRunOwner *owner) = 0;
    virtual std::shared_ptr<ModFeatures> GetFeatures() = 0;
    virtual void ReadContacts(std::shared_ptr<DBPhonebook> dbp) = 0;
    virtual void UpdateContacts(std::shared_ptr<DBPhonebook> dbp) = 0;
    virtual void ReadCalendar(std::shared_ptr<DBCalendar> dbc) = 0;
    virtual void UpdateCalendar(std::shared_ptr<DBCalendar> dbc) = 0;
    // The user stopped the run while a reply was awaited (the link waits for it no longer): send
    // nothing more.
    virtual void Abandon() {}
    virtual bool automares() const = 0;
    virtual QString PhoneDescription() const = 0;
    // The shell windows the driver reaches (set once by whoever creates the driver).
    virtual void setShell(ISetupDetection *setup, ITrayState *tray) = 0;
};

} // namespace orvia
