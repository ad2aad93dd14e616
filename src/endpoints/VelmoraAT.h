#pragma once
// The driver of the maker's own handsets, identified by a model code (K110, K310, M230, L420, D240).
#include "endpoints/AtDriverBase.h"

namespace orvia {

class VelmoraAT : public AtDriverBase
{
public:
    // The steps of the state machine; each names the step that handles the reply to its command.
    enum class State : qint16
    {
        Idle = 0,
        AskModel = 1,     // sends AT+GMM
        SelectSim = 2,    // the model reply has come; selects the SIM
        AskSimStatus = 3, // the SIM selection's reply; asks its status
        SelectHandset = 4,
        AskHandsetStatus = 5,
        Identified = 6,
        ReadStart = 7, // ReadContacts
        ReadHandset = 8,
        ReadSim = 9,
        WriteStart = 10, // UpdateContacts
        WriteSim = 11,
        WriteHandset = 12,
        CalReadStart = 13, // ReadCalendar
        CalReadDone = 14,
        CalWriteStart = 15, // UpdateCalendar
        CalWrite = 16,
    };

    explicit VelmoraAT(IMessageBox *messageBox);

    // The model code recognised in the model reply; empty until then.
    QString PhoneModel() const { return m_model; }

protected:
    StartStates startStates() const override { return {1, 7, 10, 13, 15}; }
    int watchdogMs() const override { return 2000; }
    QString featuresName() const override { return m_model; }
    bool ownsModel(const QString &name) const override;
    bool memoryDigit() const override;
    bool categoryDigit() const override;
    void traceSend() override;
    void RunAutoma() override;
    bool handleErrorReply() override;
    void dispatch() override;
    QString protocolErrorLogPrefix() const override { return QStringLiteral("VelmoraAT protocol error: "); }
    QString storedName(const QString &name, const QString &mem) const override;
    void setTrayText() override;

private:
    void step(State s);
    void ParseCalendarList(QString &text);
    bool SendNextCalendarItem(qint16 &counter);

    QString m_model;
};

} // namespace orvia
