#pragma once
// What both AT phone drivers share: sending a command on the serial link with the family's reply
// limits, acting on the whole reply the link hands back, the one state machine both families step
// through (identification, phonebook read and write, calendar write), the phonebook commands and
// replies, progress, and the features record. Each driver adds its identification queries, its
// calendar commands, its reply recognition and its error handling.
#include "endpoints/PhoneDriver.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace orvia {

class IMessageBox;
class DBPhonebook;
class DBCalendar;
class DBCalendarItem;
struct PhonebookEntry;
struct MemoryStatus;

class AtDriverBase : public IPhoneDriver
{
public:
    ~AtDriverBase() override;

    // IPhoneDriver
    void Init(ICommandLink *msc, IRunOwner *owner) override;
    std::shared_ptr<ModFeatures> GetFeatures() override;
    void ReadContacts(std::shared_ptr<DBPhonebook> dbp) override;
    void UpdateContacts(std::shared_ptr<DBPhonebook> dbp) override;
    void ReadCalendar(std::shared_ptr<DBCalendar> dbc) override;
    void UpdateCalendar(std::shared_ptr<DBCalendar> dbc) override;
    bool automares() const override { return m_automares; }
    QString PhoneDescription() const override { return m_description; }
    void setShell(ISetupDetection *setup, ITrayState *tray) override;
    void Receive(const PhoneReply &reply) override;
    void TimeOut() override;
    void Abandon() override;

    // The serial link kept by Init (the main window's, which also keeps the reply watchdog).
    ICommandLink *MSCom = nullptr;

    // Longest text accepted as one reply before the link is taken as broken.
    static constexpr qsizetype kMaxReplyLength = 65536;
    // Longest wait for one command's whole reply, however much text keeps arriving meanwhile (no
    // reply of these handsets takes a second at the link's speed).
    static constexpr int kCommandDeadlineMs = 30000;

    // For diagnostics and tests: the state machine's current state (0 idle).
    qint16 currentState() const { return m_state; }

protected:
    // The fixed traits of one family of handsets.
    struct FamilyTraits
    {
        QStringList identificationQueries; // sent in order from state 1
        int watchdogMs = 0;
        QString stepLog;          // the log line of every step, before the state number
        QString protocolErrorLog; // the log line of a failed reply, before the reply
    };

    AtDriverBase(IMessageBox *messageBox, FamilyTraits traits);

    // The state machine: 0 is idle, states 1 to n send the family's identification queries one by one,
    // and the steps below follow as states n + 1 onwards. Each step stores the next state before its
    // command goes out, so the reply finds its handler.
    enum class Step : qint16
    {
        SelectSim = 1, // the last query's reply has come; selects the SIM
        AskSimStatus,  // the SIM selection's reply; asks its status
        SelectHandset,
        AskHandsetStatus,
        Identified,
        ReadStart, // ReadContacts
        ReadHandset,
        ReadSim,
        WriteStart, // UpdateContacts
        WriteSim,
        WriteHandset,
        CalReadStart, // ReadCalendar
        CalReadNext,
        CalWriteStart, // UpdateCalendar
        CalWrite,
    };
    qint16 stateOf(Step s) const;

    // What differs between the two families.
    virtual QString featuresName() const = 0;              // model code or family word
    virtual bool ownsModel(const QString &name) const = 0; // the model table row applies to this driver
    virtual bool categoryDigit() const = 0; // phonebook lines carry a category digit after the name
    virtual void onInit() {}
    virtual void traceSend() {}
    // The phone's part of the tray text, between the title and "on COM", ending in a blank.
    virtual QString trayPhoneText() const = 0;
    // Calendar read: sets up the progress and returns the command that reads the whole calendar, or
    // nothing when the read goes command by command from the next step on (run at once).
    virtual QString startCalendarRead() = 0;
    // Calendar read: sends the next command, or returns false when the read is done.
    virtual bool nextCalendarRead() = 0;
    // Calendar write: sends the command for the next record to carry out, or returns false when none
    // is left.
    virtual bool SendNextCalendarItem(qint16 &counter) = 0;
    // A reply ended in an error; returns true when it is to be dispatched as an answer after all.
    virtual bool handleErrorReply() = 0;
    // A complete reply the shared handling does not know: act on it by its echoed command line.
    // Throws when the reply cannot be read.
    virtual void dispatchFamily(const QString &echo) = 0;
    // A stored phonebook entry's name, as read from memory `mem`.
    virtual QString storedName(const QString &name, const QString &mem) const;

    void send(const QString &s);
    void MrCallback();
    void SetMem(const QString &mem);
    void GetPhonebookEntry(qint16 index);
    void SendEntry(const QString &name, qint16 location, const QString &memory, const QString &data,
                   qint16 typ);
    bool SendNextEntry(qint16 &position, const QString &mem);
    void IncProgress();
    void startProgress(double steps); // a new operation of this many steps, the first one done
    qint16 calBodyLen();              // the text limit of this driver's own features record
    // The calendar write walk: the next record with an operation to carry out (counting its progress
    // step), or null when none is left.
    std::shared_ptr<DBCalendarItem> nextCalendarItem(qint16 &counter);

    const QString &replyLine(int index) const; // throws when the reply has no such line

    // Ends the operation after a protocol failure: log, message, the owner's recovery. Nothing of the
    // driver is touched after the recovery call (the owner may drop the driver there).
    void protocolFailure();
    // The log line of a failed reply.
    void logProtocolError();
    // The end of a failed operation after its message: idle, and the owner's recovery (last).
    void endAfterFailure();
    void showMessage(const QString &text);
    // No run is on: the phone is being detected, and the setup window decides what follows.
    bool detecting() const;
    // Outside a run: idle, and the setup window's detection decides what follows.
    void handBackToSetup();

    IMessageBox *m_box = nullptr;
    IRunOwner *m_owner = nullptr;
    ISetupDetection *m_setup = nullptr;
    ITrayState *m_tray = nullptr;

    bool m_automares = false;
    QString m_description;

    PhoneReply m_reply; // the reply being acted on
    bool lastReplyWasError() const { return m_reply.end == PhoneReply::End::Error; }
    qint16 m_state = 0;
    QString m_currentMem;
    qint16 m_smUsed = 0, m_smTotal = 0, m_meUsed = 0, m_meTotal = 0;
    qint16 m_counter = 0;
    qint16 m_readIndex = 0;
    std::shared_ptr<DBPhonebook> m_readTarget, m_writeSource;
    std::shared_ptr<DBCalendar> m_calReadTarget, m_calWriteSource;
    double m_progressCount = 0, m_progressMax = 0;

private:
    const FamilyTraits m_traits;

    void start(qint16 state);
    void RunAutoma();
    void step(qint16 state);
    void step(Step s);
    void dispatch();
    bool memoryDigit() const;    // "AT+CPBW=" carries 0/2 for the memory
    bool stopRequested();        // the user confirmed a stop: ends the operation
    void finishIdentification(); // tray text, then the setup window or the run
    void setTrayText();
    void finishOperation(); // idle, and the run goes on
    static Step following(Step s);
    void askMemoryStatus(Step s); // the identification steps after the family's own queries
    void selectMemory(Step next, const QString &mem);
    // A phonebook walk of one memory: the counters start again and the memory is selected.
    void startMemory(Step next, const QString &mem);
    // Reads the next location of the current memory, or returns false when the memory is done.
    bool readNextLocation(qint16 used, qint16 total);
    void handleMemoryStatus();
    void handlePhonebookEntries();
};

} // namespace orvia
