#include "endpoints/VelmoraAT.h"

#include "data/DBCalendar.h"
#include "data/ZeroDateTime.h"
#include "endpoints/AtCommands.h"
#include "endpoints/AtFraming.h"
#include "endpoints/CalendarReplies.h"
#include "endpoints/DriverServices.h"
#include "endpoints/PhoneModels.h"

namespace orvia {

using driver::T;

VelmoraAT::VelmoraAT(IMessageBox *messageBox)
    : AtDriverBase(messageBox, FamilyTraits{{QStringLiteral("AT+GMM")},
                                            2000,
                                            QStringLiteral("Velmora AT fsm: "),
                                            QStringLiteral("VelmoraAT protocol error: ")})
{
}

bool VelmoraAT::ownsModel(const QString &name) const
{
    return familyOf(name) != ModelFamily::Tarvex;
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
    if (mem != QLatin1String("SM"))
        return name;
    const QString text = driver::fromGsm(name);
    return text.isEmpty() ? name : text;
}

QString VelmoraAT::startCalendarRead()
{
    driver::log(QStringLiteral("Velmora AT calendar read: progress start"));
    startProgress(1);
    driver::log(QStringLiteral("Velmora AT calendar read: sending the list request"));
    return QStringLiteral("AT+SCHL");
}

bool VelmoraAT::handleErrorReply()
{
    if (m_state != stateOf(Step::AskSimStatus)) {
        protocolFailure();
        return false;
    }
    logProtocolError();
    showMessage(T(QStringLiteral("Could not read the SIM card data.")) + QLatin1Char('\n') +
                T(QStringLiteral("Please make sure that the PIN code has been inserted, then retry.")));
    if (!detecting()) {
        endAfterFailure();
        return false;
    }
    // Outside a run the setup window goes on with its detection.
    m_automares = false;
    handBackToSetup();
    return false;
}

void VelmoraAT::dispatchFamily(const QString &echo)
{
    if (echo.contains(QLatin1String("AT+SCHD")))
        return; // nothing to read
    if (echo.contains(QLatin1String("AT+GMM"))) {
        const QString found = velmoraModelIn(replyLine(3));
        if (!found.isEmpty())
            m_model = found;
        m_description = m_model;
        return;
    }
    if (echo.contains(QLatin1String("AT+SCHW")))
        return; // nothing to read
    if (echo.contains(QLatin1String("AT+SCHL"))) {
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
            m_calReadTarget->add(e.location, e.dstart, zeroDateTime(), e.alarm, e.prerem, EventKind::Plain,
                                 e.title, QString(), Operation::None);
    }
}

bool VelmoraAT::SendNextCalendarItem(qint16 &counter)
{
    const auto item = nextCalendarItem(counter);
    if (!item)
        return false;
    if (item->operation == Operation::Add)
        send(velmoraWriteEventCommand(
            VelmoraEventWrite{item->dstart, item->prerem, item->alarm, item->title, item->body},
            calBodyLen()));
    else if (item->operation == Operation::Delete)
        send(deleteEventCommand(item->location));
    return true;
}

} // namespace orvia
