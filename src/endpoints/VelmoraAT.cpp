#include "endpoints/VelmoraAT.h"

#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"
#include "endpoints/AtCommands.h"
#include "endpoints/AtFraming.h"
#include "endpoints/CalendarReplies.h"
#include "endpoints/DriverServices.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/RunOwner.h"
#include "endpoints/ShellCallbacks.h"
#include "platform/CommControl.h"
#include "platform/MessageBox.h"

namespace orvia {

using driver::T;

namespace {
const QString kSim = QStringLiteral("SM");
const QString kHandset = QStringLiteral("ME");
} // namespace

VelmoraAT::VelmoraAT(IMessageBox *messageBox) : AtDriverBase(messageBox) {}

bool VelmoraAT::ownsModel(const QString &name) const
{
    return name != kTarvexFamily;
}

bool VelmoraAT::memoryDigit() const
{
    return m_model == kTarvexFamily;
}

bool VelmoraAT::categoryDigit() const
{
    return hasExtendedPhonebook(m_model);
}

void VelmoraAT::traceSend()
{
    driver::log(QStringLiteral("mscom type ") +
                (MSCom ? QStringLiteral("CommControl") : QStringLiteral("Nothing")));
}

QString VelmoraAT::storedName(const QString &name, const QString &mem) const
{
    // SIM names are held in GSM codes; a name that does not convert whole is kept as read.
    if (mem != kSim)
        return name;
    const QString text = driver::fromGsm(name);
    return text.isEmpty() ? name : text;
}

void VelmoraAT::setTrayText()
{
    if (!m_tray || !m_owner || m_model.isEmpty())
        return;
    m_tray->ToolTip(kAppTitle + QLatin1Char(' ') + m_model + QLatin1Char(' ') + T(QStringLiteral("on COM")) +
                    QString::number(MSCom ? MSCom->commPort() : 0));
}

void VelmoraAT::RunAutoma()
{
    driver::log(QStringLiteral("Velmora AT fsm: ") + QString::number(m_state));
    if (stopRequested())
        return;
    step(State(m_state));
}

// One step; the next state is stored before the command goes out, so the reply finds its handler.
void VelmoraAT::step(State s)
{
    switch (s) {
    case State::AskModel:
        m_automares = false;
        m_state = qint16(State::SelectSim);
        send(QStringLiteral("AT+GMM"));
        break;
    case State::SelectSim:
        m_state = qint16(State::AskSimStatus);
        SetMem(kSim);
        break;
    case State::AskSimStatus:
        m_state = qint16(State::SelectHandset);
        send(QStringLiteral("AT+CPBS?"));
        break;
    case State::SelectHandset:
        m_state = qint16(State::AskHandsetStatus);
        SetMem(kHandset);
        break;
    case State::AskHandsetStatus:
        m_state = qint16(State::Identified);
        send(QStringLiteral("AT+CPBS?"));
        break;
    case State::Identified:
        finishIdentification();
        break;
    case State::ReadStart:
        m_progressMax = double(m_smUsed) + double(m_meUsed) + 2;
        m_progressCount = 0;
        IncProgress();
        m_counter = 0;
        m_readIndex = 0;
        m_state = qint16(State::ReadHandset);
        SetMem(kHandset);
        break;
    case State::ReadHandset:
        if (readNextLocation(m_meUsed, m_meTotal))
            break;
        m_counter = 0;
        m_readIndex = 0;
        IncProgress();
        m_state = qint16(State::ReadSim);
        SetMem(kSim);
        break;
    case State::ReadSim:
        if (readNextLocation(m_smUsed, m_smTotal))
            break;
        m_state = 0;
        MrCallback();
        break;
    case State::WriteStart:
        m_progressCount = 0;
        m_progressMax = double(m_writeSource ? m_writeSource->countToSend() : 0) + 1;
        IncProgress();
        m_counter = 0;
        m_state = qint16(State::WriteSim);
        SetMem(kSim);
        break;
    case State::WriteSim:
        if (SendNextEntry(m_counter, kSim))
            break;
        m_counter = 0;
        m_state = qint16(State::WriteHandset);
        SetMem(kHandset);
        break;
    case State::WriteHandset:
        if (SendNextEntry(m_counter, kHandset))
            break;
        m_state = 0;
        MrCallback();
        break;
    case State::CalReadStart:
        m_progressMax = 1;
        m_progressCount = 0;
        driver::log(QStringLiteral("Velmora AT calendar read: progress start"));
        IncProgress();
        driver::log(QStringLiteral("Velmora AT calendar read: sending the list request"));
        m_state = qint16(State::CalReadDone);
        send(QStringLiteral("AT+SCHL"));
        break;
    case State::CalReadDone:
        m_state = 0;
        MrCallback();
        break;
    case State::CalWriteStart:
        m_progressCount = 0;
        m_progressMax = double(m_calWriteSource ? m_calWriteSource->countToSend() : 0) + 1;
        IncProgress();
        m_counter = 0;
        m_state = qint16(State::CalWrite);
        step(State::CalWrite);
        break;
    case State::CalWrite:
        if (SendNextCalendarItem(m_counter))
            break;
        m_counter = 0;
        m_state = 0;
        MrCallback();
        break;
    case State::Idle:
        break;
    }
}

bool VelmoraAT::handleErrorReply()
{
    stopWatchdog();
    driver::log(protocolErrorLogPrefix() + m_rxBuffer + QStringLiteral("\r\n"));
    if (m_state == qint16(State::AskSimStatus)) {
        showMessage(T(QStringLiteral("Could not read the SIM card data.")) + QLatin1Char('\n') +
                    T(QStringLiteral("Please make sure that the PIN code has been inserted, then retry.")));
        if (!m_owner || m_owner->SyncStateMachine() == 0) {
            // Outside a run the setup window goes on with its detection.
            stopWatchdog();
            m_automares = false;
            m_state = 0;
            if (m_setup)
                m_setup->FiniteStateMachine();
            return false;
        }
        stopWatchdog();
    } else {
        showMessage(T(QStringLiteral("A protocol error occurred while performing operation.")));
    }
    m_rxBuffer.clear();
    m_state = 0;
    if (m_owner)
        m_owner->RecoverFromPhoneError();
    return false;
}

void VelmoraAT::dispatch()
{
    const QString &echo = replyLine(1);
    if (echo.contains(QLatin1String("AT+CPBS?"))) {
        handleMemoryStatus();
    } else if (echo.contains(QLatin1String("AT+CPBR"))) {
        handlePhonebookEntries(hasExtendedPhonebook(m_model));
    } else if (echo.contains(QLatin1String("AT+SCHD"))) {
        // nothing to read
    } else if (echo.contains(QLatin1String("AT+GMM"))) {
        const QString found = velmoraModelIn(replyLine(3));
        if (!found.isEmpty())
            m_model = found;
        m_description = m_model;
    } else if (echo.contains(QLatin1String("AT+SCHW"))) {
        // nothing to read
    } else if (echo.contains(QLatin1String("AT+SCHL"))) {
        QString text = textAfterColon(replyLine(3));
        ParseCalendarList(text);
    }
}

void VelmoraAT::ParseCalendarList(QString &text)
{
    const QList<PhoneEvent> events = parseVelmoraCalendarList(text);
    text.clear();
    for (const PhoneEvent &e : events) {
        if (e.indexMismatch)
            showMessage(QStringLiteral("Unexpected entry data"));
        if (m_calReadTarget)
            m_calReadTarget->add(e.location, e.dstart, zeroDateTime(), e.alarm, e.prerem, 1, e.title,
                                 QString(), 0);
    }
}

bool VelmoraAT::SendNextCalendarItem(qint16 &counter)
{
    const auto item = nextCalendarItem(counter);
    if (!item)
        return false;
    if (item->operation == 1)
        send(velmoraWriteEventCommand(
            VelmoraEventWrite{item->dstart, item->prerem, item->alarm, item->title, item->body},
            calBodyLen()));
    else if (item->operation == 3)
        send(deleteEventCommand(item->location));
    return true;
}

} // namespace orvia
