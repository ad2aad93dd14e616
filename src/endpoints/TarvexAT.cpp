#include "endpoints/TarvexAT.h"

#include "data/DBCalendar.h"
#include "data/ZeroDateTime.h"
#include "endpoints/AtCommands.h"
#include "endpoints/AtFraming.h"
#include "endpoints/CalendarReplies.h"
#include "endpoints/DriverServices.h"

#include <QLocale>

namespace orvia {

using driver::T;

TarvexAT::TarvexAT(IMessageBox *messageBox)
    // The family first, then the model name.
    : AtDriverBase(messageBox, FamilyTraits{{QStringLiteral("AT+GMM"), QStringLiteral("AT+CGMM")},
                                            5000,
                                            QStringLiteral("Tarvex automa: "),
                                            QStringLiteral("Tarvex protocol error: ")})
{
}

void TarvexAT::onInit()
{
    driver::log(QStringLiteral("Tarvex init"));
}

QString TarvexAT::trayPhoneText() const
{
    return m_description + QLatin1Char(' ') + T(QStringLiteral("family")) + QLatin1Char(' ');
}

QString TarvexAT::startCalendarRead()
{
    startProgress(kCalendarSlots + 1);
    m_counter = 0;
    return {}; // slot by slot
}

bool TarvexAT::nextCalendarRead()
{
    if (m_counter >= kCalendarSlots)
        return false;
    IncProgress();
    const qint16 slot = m_counter;
    ++m_counter;
    send(readSlotCommand(slot));
    return true;
}

bool TarvexAT::handleErrorReply()
{
    if (m_state == stateOf(Step::CalReadNext))
        return true; // an empty slot: dispatched like any other answer
    if (m_state == stateOf(Step::SelectSim) && detecting()) {
        // The model query failed while the phone is being detected: the setup window decides what
        // follows. During a run nobody there waits for it: it ends like any other failed reply.
        handBackToSetup();
        return false;
    }
    protocolFailure();
    return false;
}

void TarvexAT::dispatchFamily(const QString &echo)
{
    if (echo.contains(QLatin1String("at+schr"))) {
        // An error answer in the slot walk is an empty slot, whatever its wording.
        if (!lastReplyWasError())
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
    if (!e || !m_calReadTarget)
        return;
    m_calReadTarget->add(e->location, e->dstart, zeroDateTime(), e->alarm, e->prerem, EventKind(e->typ),
                         e->title, QString(), Operation::None);
    // A yearly event keeps the face it was written at, though its first day skips it.
    m_calReadTarget->GetItem(qint16(m_calReadTarget->count() - 1))->keepStartFace(e->face);
}

bool TarvexAT::SendNextCalendarItem(qint16 &counter)
{
    while (const auto item = nextCalendarItem(counter)) {
        if (item->operation == Operation::Delete) {
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
        send(tarvexWriteEventCommand(TarvexEventWrite{item->location, qint16(item->typ), item->dstart,
                                                      item->prerem, item->alarm, item->title, item->body},
                                     calBodyLen()));
        return true;
    }
    return false;
}

} // namespace orvia
