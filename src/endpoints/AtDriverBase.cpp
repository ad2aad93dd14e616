#include "endpoints/AtDriverBase.h"

#include "common/ReplyParsing.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/AtCommands.h"
#include "endpoints/AtFraming.h"
#include "endpoints/DriverServices.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/PhonebookReplies.h"
#include "endpoints/RunOwner.h"
#include "endpoints/ShellCallbacks.h"
#include "platform/CommControl.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"

#include <limits>

namespace orvia {

using driver::T;

AtDriverBase::AtDriverBase(IMessageBox *messageBox) : m_box(messageBox) {}

AtDriverBase::~AtDriverBase() = default;

void AtDriverBase::setShell(ISetupDetection *setup, ITrayState *tray)
{
    m_setup = setup;
    m_tray = tray;
}

void AtDriverBase::start(qint16 state)
{
    m_state = state;
    RunAutoma();
}

void AtDriverBase::Init(ICommControl *msc, ITimer *timerOut, IRunOwner *owner)
{
    MSCom = msc;
    TimerOut = timerOut;
    m_owner = owner;
    onInit();
    start(startStates().init);
}

void AtDriverBase::ReadContacts(std::shared_ptr<DBPhonebook> dbp)
{
    m_readTarget = std::move(dbp);
    start(startStates().readContacts);
}

void AtDriverBase::UpdateContacts(std::shared_ptr<DBPhonebook> dbp)
{
    m_writeSource = std::move(dbp);
    start(startStates().updateContacts);
}

void AtDriverBase::ReadCalendar(std::shared_ptr<DBCalendar> dbc)
{
    m_calReadTarget = std::move(dbc);
    start(startStates().readCalendar);
}

void AtDriverBase::UpdateCalendar(std::shared_ptr<DBCalendar> dbc)
{
    m_calWriteSource = std::move(dbc);
    start(startStates().updateCalendar);
}

std::shared_ptr<ModFeatures> AtDriverBase::GetFeatures()
{
    auto f = std::make_shared<ModFeatures>();
    f->name = featuresName();
    f->ME_capacity = m_meTotal;
    f->ME_filled = m_meUsed;
    f->SM_capacity = m_smTotal;
    f->SM_filled = m_smUsed;
    f->writeable = true;
    if (const auto m = modelLimits(f->name); m && ownsModel(f->name)) {
        f->EmailLen = m->emailLen;
        f->NameLen = m->nameLen;
        f->CalBodyLen = m->calBodyLen;
        f->Cal_capacity = m->calCapacity;
        f->ExtPB = m->extendedPhonebook;
    }
    return f;
}

qint16 AtDriverBase::calBodyLen()
{
    return GetFeatures()->CalBodyLen;
}

void AtDriverBase::send(const QString &s)
{
    m_rxBuffer.clear();
    m_rxLines = QStringList{QString()};
    if (TimerOut) {
        TimerOut->setInterval(watchdogMs());
        TimerOut->setEnabled(true);
    }
    traceSend();
    if (MSCom)
        MSCom->output(s + QStringLiteral("\r\n"));
}

void AtDriverBase::stopWatchdog()
{
    if (TimerOut)
        TimerOut->setEnabled(false);
}

void AtDriverBase::Receive(const QString &data)
{
    m_rxBuffer += data;
    const ReplyStatus status = classifyReply(m_rxBuffer);
    if (status == ReplyStatus::Incomplete) {
        // A link that keeps sending without ever ending its reply would otherwise restart the watchdog
        // for ever while the buffer grows: no reply of these handsets comes near this size.
        if (m_rxBuffer.size() > kMaxReplyLength) {
            driver::log(protocolErrorLogPrefix() + QStringLiteral("reply too long"));
            protocolFailure();
            return;
        }
        // More text: the phone gets another full interval (only while the watchdog is armed).
        if (TimerOut)
            TimerOut->setInterval(watchdogMs());
        return;
    }
    stopWatchdog();
    m_rxLines = SplitLines(m_rxBuffer);
    m_lastReplyWasError = status == ReplyStatus::Error;
    if (m_lastReplyWasError && !handleErrorReply())
        return;
    try {
        dispatch();
    } catch (const std::exception &e) {
        // A complete reply that cannot be read ends the operation like an ERROR reply would; waiting on
        // would only wait for nothing.
        driver::log(protocolErrorLogPrefix() + QStringLiteral("unreadable reply (") +
                    QString::fromUtf8(e.what()) + QStringLiteral(")"));
        protocolFailure();
        return;
    }
    // The reply has been used; text arriving later starts a new one and never replays this one.
    m_rxBuffer.clear();
    RunAutoma();
}

void AtDriverBase::TimeOut()
{
    m_state = 0;
    showMessage(T(QStringLiteral("Could not find the phone. Check the connection and try again.")));
    if (m_owner)
        m_owner->RecoverFromPhoneError();
}

void AtDriverBase::showMessage(const QString &text)
{
    if (m_box)
        m_box->show(text, mb::OkOnly);
}

void AtDriverBase::protocolFailure()
{
    stopWatchdog();
    driver::log(protocolErrorLogPrefix() + m_rxBuffer + QStringLiteral("\r\n"));
    showMessage(T(QStringLiteral("A protocol error occurred while performing operation.")));
    m_rxBuffer.clear();
    m_state = 0; // a failed driver sends nothing more, whatever arrives later
    if (m_owner)
        m_owner->RecoverFromPhoneError();
}

void AtDriverBase::MrCallback()
{
    if (m_owner)
        m_owner->MrCallback(1);
}

bool AtDriverBase::stopRequested()
{
    if (!m_owner || !m_owner->UserInterrupt())
        return false;
    // The run ends on the owner's next tick; idle now, so that late replies start nothing.
    m_state = 0;
    MrCallback();
    return true;
}

void AtDriverBase::finishIdentification()
{
    m_state = 0;
    m_automares = true;
    setTrayText();
    if (!m_owner || m_owner->SyncStateMachine() == 0) {
        stopWatchdog();
        if (m_setup)
            m_setup->FiniteStateMachine();
    } else {
        MrCallback();
    }
}

void AtDriverBase::SetMem(const QString &mem)
{
    m_currentMem = mem;
    send(selectMemoryCommand(mem));
}

void AtDriverBase::GetPhonebookEntry(qint16 index)
{
    send(readEntryCommand(index));
}

void AtDriverBase::SendEntry(const QString &name, qint16 location, const QString &memory, const QString &data,
                             qint16 typ)
{
    send(writeEntryCommand(EntryWrite{name, location, memory, data, typ, memoryDigit(), categoryDigit()}));
}

bool AtDriverBase::SendNextEntry(qint16 &position, const QString &mem)
{
    if (!m_writeSource)
        return false;
    const qint16 n = m_writeSource->count();
    while (position < n) {
        const auto item = m_writeSource->GetItem(position);
        ++position;
        if (!item || item->memory != mem || item->typ == 0 || item->operation != 1)
            continue;
        const QString name = m_writeSource->GetNameById(item->id);
        IncProgress();
        SendEntry(name, item->location, item->memory, item->data, item->typ);
        return true;
    }
    return false;
}

void AtDriverBase::IncProgress()
{
    m_progressCount += 1;
    if (m_progressMax != 0 && m_owner)
        m_owner->SetProgress(m_progressCount / m_progressMax);
}

bool AtDriverBase::readNextLocation(qint16 used, qint16 total)
{
    if (m_counter >= used)
        return false;
    // A phone that reports more entries than it answers would be asked for ever: stop at its last place.
    if ((total > 0 && m_readIndex >= total) || m_readIndex == std::numeric_limits<qint16>::max())
        return false;
    ++m_readIndex;
    GetPhonebookEntry(m_readIndex);
    return true;
}

std::shared_ptr<DBCalendarItem> AtDriverBase::nextCalendarItem(qint16 &counter)
{
    if (!m_calWriteSource)
        return nullptr;
    const qint16 n = m_calWriteSource->count();
    while (counter < n) {
        auto item = m_calWriteSource->GetItem(counter);
        ++counter;
        // Only writes (1) and deletions (3) exist; anything else is passed over rather than left
        // waiting for a reply to a command never sent.
        if (item && (item->operation == 1 || item->operation == 3)) {
            IncProgress();
            return item;
        }
    }
    return nullptr;
}

const QString &AtDriverBase::replyLine(int index) const
{
    if (index < 0 || index >= m_rxLines.size())
        throwError(ErrSubscript);
    return m_rxLines.at(index);
}

void AtDriverBase::handleMemoryStatus()
{
    for (const MemoryStatus &st : parseMemoryStatus(m_rxLines)) {
        if (st.handset) {
            m_meUsed = st.used;
            m_meTotal = st.total;
        } else {
            m_smUsed = st.used;
            m_smTotal = st.total;
        }
    }
}

QString AtDriverBase::storedName(const QString &name, const QString &) const
{
    return name;
}

void AtDriverBase::handlePhonebookEntries(bool categories)
{
    // Every line is read before the store is touched, so a bad line adds nothing.
    const QList<PhonebookEntry> entries = parsePhonebookEntries(m_rxLines, categories);
    for (const PhonebookEntry &e : entries) {
        if (m_readTarget)
            m_readTarget->AddByName(storedName(e.name, m_currentMem), e.location, m_currentMem, e.number,
                                    e.typ, 0);
        ++m_counter;
        IncProgress();
    }
}

} // namespace orvia
