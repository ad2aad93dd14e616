#include "endpoints/TarvexAT.h"

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

#include <QLocale>

namespace orvia {

using driver::T;

namespace {
const QString kSim = QStringLiteral("SM");
const QString kHandset = QStringLiteral("ME");
} // namespace

TarvexAT::TarvexAT(IMessageBox *messageBox) : AtDriverBase(messageBox) {}

void TarvexAT::onInit()
{
    driver::log(QStringLiteral("Tarvex init"));
}

void TarvexAT::setTrayText()
{
    if (!m_tray || !m_owner || m_family.isEmpty())
        return;
    m_tray->ToolTip(kAppTitle + QLatin1Char(' ') + m_description + QLatin1Char(' ') +
                    T(QStringLiteral("family")) + QLatin1Char(' ') + T(QStringLiteral("on COM")) +
                    QString::number(MSCom ? MSCom->commPort() : 0));
}

void TarvexAT::RunAutoma()
{
    driver::log(QStringLiteral("Tarvex automa: ") + QString::number(m_state));
    if (stopRequested())
        return;
    step(State(m_state));
}

void TarvexAT::step(State s)
{
    switch (s) {
    case State::AskFamily:
        m_automares = false;
        m_state = qint16(State::AskModel);
        send(QStringLiteral("AT+GMM"));
        break;
    case State::AskModel:
        m_state = qint16(State::SelectSim);
        send(QStringLiteral("AT+CGMM"));
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
        m_progressCount = 0;
        m_progressMax = kCalendarSlots + 1;
        IncProgress();
        m_counter = 0;
        m_state = qint16(State::CalReadSlot);
        step(State::CalReadSlot);
        break;
    case State::CalReadSlot:
        if (m_counter < kCalendarSlots) {
            IncProgress();
            const qint16 slot = m_counter;
            ++m_counter;
            send(readSlotCommand(slot));
            break;
        }
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

bool TarvexAT::handleErrorReply()
{
    if (m_state == qint16(State::CalReadSlot))
        return true; // an empty slot: dispatched like any other answer
    if (m_state == qint16(State::SelectSim)) {
        // The model query failed: the setup window decides what follows.
        stopWatchdog();
        m_state = 0;
        if (m_setup)
            m_setup->FiniteStateMachine();
        return false;
    }
    protocolFailure();
    return false;
}

void TarvexAT::dispatch()
{
    const QString &echo = replyLine(1);
    if (echo.contains(QLatin1String("AT+CPBS?"))) {
        handleMemoryStatus();
    } else if (echo.contains(QLatin1String("AT+CPBR"))) {
        handlePhonebookEntries(false);
    } else if (echo.contains(QLatin1String("at+schr"))) {
        // An error answer in the slot walk is an empty slot, whatever its wording.
        if (!m_lastReplyWasError)
            ParseCalendarEntry(textAfterColon(replyLine(3)));
    } else if (echo.contains(QLatin1String("AT+GMM"))) {
        if (replyLine(3).contains(kTarvexFamily))
            m_family = kTarvexFamily;
    } else if (echo.contains(QLatin1String("AT+CGMM"))) {
        m_description = tarvexDescriptionOf(replyLine(3));
    }
}

void TarvexAT::ParseCalendarEntry(const QString &line)
{
    const auto e = parseTarvexCalendarEntry(line);
    if (e && m_calReadTarget)
        m_calReadTarget->add(e->location, e->dstart, zeroDateTime(), e->alarm, e->prerem, e->typ, e->title,
                             QString(), 0);
}

bool TarvexAT::SendNextCalendarItem(qint16 &counter)
{
    while (const auto item = nextCalendarItem(counter)) {
        if (item->operation == 3) {
            send(deleteEventCommand(item->location));
            return true;
        }
        if (item->location < 0) {
            // The policy found no free slot for it: writing slot -1 would fail or overwrite; say so instead.
            driver::addDetails(item->title + QLatin1Char(' ') +
                                   QLocale().toString(item->dstart, QLocale::ShortFormat),
                               T(QStringLiteral("not stored.")));
            continue;
        }
        send(tarvexWriteEventCommand(TarvexEventWrite{item->location, item->typ, item->dstart, item->prerem,
                                                      item->alarm, item->title, item->body},
                                     calBodyLen()));
        return true;
    }
    return false;
}

} // namespace orvia
