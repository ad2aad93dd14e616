#pragma once
// The driver of the Tarvex software family's handsets (G170, F550, F660, H280X).
#include "endpoints/AtDriverBase.h"
#include "endpoints/PhoneModels.h"

namespace orvia {

class TarvexAT : public AtDriverBase
{
public:
    enum class State : qint16
    {
        Idle = 0,
        AskFamily = 1, // sends AT+GMM
        AskModel = 2,  // sends AT+CGMM
        SelectSim = 3, // the model reply has come
        AskSimStatus = 4,
        SelectHandset = 5,
        AskHandsetStatus = 6,
        Identified = 7,
        ReadStart = 8, // ReadContacts
        ReadHandset = 9,
        ReadSim = 10,
        WriteStart = 11, // UpdateContacts
        WriteSim = 12,
        WriteHandset = 13,
        CalReadStart = 14, // ReadCalendar
        CalReadSlot = 15,
        CalWriteStart = 16, // UpdateCalendar
        CalWrite = 17,
    };
    static constexpr qint16 kCalendarSlots = 50;

    explicit TarvexAT(IMessageBox *messageBox);

    // "Tarvex" once the family reply named it, else empty.
    QString family() const { return m_family; }

protected:
    StartStates startStates() const override { return {1, 8, 11, 14, 16}; }
    int watchdogMs() const override { return 5000; }
    QString featuresName() const override { return m_family; }
    bool ownsModel(const QString &name) const override { return name == kTarvexFamily; }
    bool memoryDigit() const override { return m_family == kTarvexFamily; }
    bool categoryDigit() const override { return false; }
    void onInit() override;
    void RunAutoma() override;
    bool handleErrorReply() override;
    void dispatch() override;
    QString protocolErrorLogPrefix() const override { return QStringLiteral("Tarvex protocol error: "); }
    void setTrayText() override;

private:
    void step(State s);
    void ParseCalendarEntry(const QString &line);
    bool SendNextCalendarItem(qint16 &counter);

    QString m_family;
};

} // namespace orvia
