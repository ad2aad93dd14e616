#include "endpoints/AtDriverBase.h"

#include "common/DialString.h"
#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "endpoints/AtCommands.h"
#include "endpoints/CommandLink.h"
#include "endpoints/DriverServices.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/PhonebookReplies.h"
#include "endpoints/RunOwner.h"
#include "endpoints/ShellCallbacks.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "platform/VisibleText.h"

#include <limits>
#include <utility>

namespace orvia {

using driver::T;

AtDriverBase::AtDriverBase(IMessageBox *messageBox, FamilyTraits traits)
    : m_box(messageBox), m_traits(std::move(traits))
{
}

AtDriverBase::~AtDriverBase() = default;

void AtDriverBase::setShell(ISetupDetection *setup, ITrayState *tray)
{
    m_setup = setup;
    m_tray = tray;
}

namespace {
const QString kSim = QStringLiteral("SM");
const QString kHandset = QStringLiteral("ME");
} // namespace

qint16 AtDriverBase::stateOf(Step s) const
{
    return qint16(m_traits.identificationQueries.size() + qint16(s));
}

void AtDriverBase::start(qint16 state)
{
    m_state = state;
    RunAutoma();
}

void AtDriverBase::Init(ICommandLink *msc, IRunOwner *owner)
{
    MSCom = msc;
    m_owner = owner;
    onInit();
    start(1);
}

void AtDriverBase::ReadContacts(std::shared_ptr<DBPhonebook> dbp)
{
    m_readTarget = std::move(dbp);
    start(stateOf(Step::ReadStart));
}

void AtDriverBase::UpdateContacts(std::shared_ptr<DBPhonebook> dbp)
{
    m_writeSource = std::move(dbp);
    start(stateOf(Step::WriteStart));
}

void AtDriverBase::ReadCalendar(std::shared_ptr<DBCalendar> dbc)
{
    m_calReadTarget = std::move(dbc);
    start(stateOf(Step::CalReadStart));
}

void AtDriverBase::UpdateCalendar(std::shared_ptr<DBCalendar> dbc)
{
    m_calWriteSource = std::move(dbc);
    start(stateOf(Step::CalWriteStart));
}

void AtDriverBase::RunAutoma()
{
    driver::log(m_traits.stepLog + QString::number(m_state));
    if (stopRequested())
        return;
    step(m_state);
}

void AtDriverBase::step(qint16 state)
{
    const QStringList &queries = m_traits.identificationQueries;
    if (state >= 1 && state <= queries.size()) {
        if (state == 1)
            m_automares = false; // identified again from scratch
        m_state = qint16(state + 1);
        send(queries.at(state - 1));
        return;
    }
    const qint16 shared = qint16(state - queries.size());
    if (shared >= qint16(Step::SelectSim) && shared <= qint16(Step::CalWrite))
        step(Step(shared));
    // Idle, or a state no step has: nothing to do.
}

void AtDriverBase::step(Step s)
{
    switch (s) {
    case Step::SelectSim:
    case Step::AskSimStatus:
    case Step::SelectHandset:
    case Step::AskHandsetStatus:
        askMemoryStatus(s);
        break;
    case Step::Identified:
        finishIdentification();
        break;
    case Step::ReadStart:
        startProgress(double(m_smUsed) + double(m_meUsed) + 2);
        startMemory(Step::ReadHandset, kHandset);
        break;
    case Step::ReadHandset:
        if (readNextLocation(m_meUsed, m_meTotal))
            break;
        IncProgress(); // the change of memory counts as a step
        startMemory(Step::ReadSim, kSim);
        break;
    case Step::ReadSim:
        if (readNextLocation(m_smUsed, m_smTotal))
            break;
        finishOperation();
        break;
    case Step::WriteStart:
        startProgress(double(m_writeSource ? m_writeSource->countToSend() : 0) + 1);
        startMemory(Step::WriteSim, kSim);
        break;
    case Step::WriteSim:
        if (!SendNextEntry(m_counter, kSim))
            startMemory(Step::WriteHandset, kHandset);
        break;
    case Step::WriteHandset:
        if (!SendNextEntry(m_counter, kHandset))
            finishOperation();
        break;
    case Step::CalReadStart: {
        const QString command = startCalendarRead();
        m_state = stateOf(Step::CalReadNext);
        if (command.isEmpty())
            step(Step::CalReadNext);
        else
            send(command);
        break;
    }
    case Step::CalReadNext:
        if (!nextCalendarRead())
            finishOperation();
        break;
    case Step::CalWriteStart:
        startProgress(double(m_calWriteSource ? m_calWriteSource->countToSend() : 0) + 1);
        m_counter = 0;
        m_state = stateOf(Step::CalWrite);
        step(Step::CalWrite);
        break;
    case Step::CalWrite:
        if (SendNextCalendarItem(m_counter))
            break;
        m_counter = 0;
        finishOperation();
        break;
    }
}

AtDriverBase::Step AtDriverBase::following(Step s)
{
    return Step(qint16(s) + 1);
}

void AtDriverBase::askMemoryStatus(Step s)
{
    // Each memory in turn: select it, then ask how many of its places are used.
    m_state = stateOf(following(s));
    if (s == Step::SelectSim)
        SetMem(kSim);
    else if (s == Step::SelectHandset)
        SetMem(kHandset);
    else
        send(QStringLiteral("AT+CPBS?"));
}

void AtDriverBase::selectMemory(Step next, const QString &mem)
{
    m_state = stateOf(next);
    SetMem(mem);
}

void AtDriverBase::startMemory(Step next, const QString &mem)
{
    m_counter = 0;
    m_readIndex = 0;
    selectMemory(next, mem);
}

void AtDriverBase::startProgress(double steps)
{
    m_progressCount = 0;
    m_progressMax = steps;
    IncProgress();
}

void AtDriverBase::finishOperation()
{
    m_state = 0;
    MrCallback();
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
    traceSend();
    if (MSCom)
        MSCom->sendCommand(s, ReplyLimits{m_traits.watchdogMs, kCommandDeadlineMs, kMaxReplyLength});
}

void AtDriverBase::Receive(const PhoneReply &reply)
{
    // The link has ended the wait already: whatever this reply leads to, late text starts nothing.
    m_reply = reply;
    if (reply.end == PhoneReply::End::TooLong) {
        // A phone that keeps sending without ever ending its reply: no reply of these handsets comes
        // near that size, so the link is taken as broken.
        driver::log(m_traits.protocolErrorLog + QStringLiteral("reply too long"));
        protocolFailure();
        return;
    }
    if (!reply.echoed && !lastReplyWasError()) {
        // An OK that follows no echo of the command sent answers something else: taking it for the
        // answer would read nothing and report success. Most often the phone's echo is off (ATE0 kept
        // in its profile); the user can mend that, so the log, the details and the box say so.
        const QString why = T(QStringLiteral(
            "The phone does not echo its commands. Switch its echo on (command ATE1) and try again."));
        driver::log(m_traits.protocolErrorLog + QStringLiteral("no echo of ") + reply.command +
                    QStringLiteral(": ") + why);
        driver::addDetails(m_description.isEmpty() ? reply.command : m_description, why);
        logProtocolError();
        showMessage(T(QStringLiteral("A protocol error occurred while performing operation.")) +
                    QStringLiteral("\r\n") + why);
        endAfterFailure();
        return;
    }
    if (lastReplyWasError() && !handleErrorReply())
        return;
    try {
        dispatch();
    } catch (const std::exception &e) {
        // A complete reply that cannot be read ends the operation like an ERROR reply would; waiting on
        // would only wait for nothing.
        driver::log(m_traits.protocolErrorLog + QStringLiteral("unreadable reply (") +
                    visibleText(QString::fromUtf8(e.what())) + QStringLiteral(")"));
        protocolFailure();
        return;
    }
    RunAutoma();
}

void AtDriverBase::Abandon()
{
    // The user stopped the run while a reply was awaited; the link no longer waits for it, and what
    // still arrives starts nothing.
    m_state = 0;
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
    logProtocolError();
    showMessage(T(QStringLiteral("A protocol error occurred while performing operation.")));
    endAfterFailure();
}

void AtDriverBase::logProtocolError()
{
    // The reply on one line, as it came: what the phone sent cannot pass for lines of the log.
    driver::log(m_traits.protocolErrorLog + visibleText(m_reply.text));
}

void AtDriverBase::endAfterFailure()
{
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
    if (detecting()) {
        handBackToSetup();
    } else {
        MrCallback();
    }
}

bool AtDriverBase::detecting() const
{
    return !m_owner || m_owner->SyncStateMachine() == 0;
}

void AtDriverBase::handBackToSetup()
{
    m_state = 0;
    if (m_setup)
        m_setup->FiniteStateMachine();
}

void AtDriverBase::setTrayText()
{
    if (!m_tray || !m_owner || featuresName().isEmpty())
        return;
    m_tray->ToolTip(kAppTitle + QLatin1Char(' ') + trayPhoneText() + T(QStringLiteral("on COM")) +
                    QString::number(MSCom ? MSCom->commPort() : 0));
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

bool AtDriverBase::memoryDigit() const
{
    return hasMemoryDigit(featuresName());
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
        if (!item || item->memory != mem || item->typ == ContactKind::Name ||
            item->operation != Operation::Add)
            continue;
        const QString name = m_writeSource->GetNameById(item->id);
        IncProgress();
        SendEntry(name, item->location, item->memory, item->data, qint16(item->typ));
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
        if (item && (item->operation == Operation::Add || item->operation == Operation::Delete)) {
            IncProgress();
            return item;
        }
    }
    return nullptr;
}

const QString &AtDriverBase::replyLine(int index) const
{
    if (index < 0 || index >= m_reply.lines.size())
        throwError(ErrSubscript);
    return m_reply.lines.at(index);
}

void AtDriverBase::handleMemoryStatus()
{
    const QList<MemoryStatus> statuses = parseMemoryStatus(m_reply.lines);
    // Without a status line the phone's memories would count as empty: nothing read, nothing written,
    // and the run reported as a success.
    if (statuses.isEmpty())
        throwError(ErrTypeMismatch);
    for (const MemoryStatus &st : statuses) {
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

void AtDriverBase::dispatch()
{
    const QString &echo = replyLine(1);
    if (echo.contains(QLatin1String("AT+CPBS?")))
        handleMemoryStatus();
    else if (echo.contains(QLatin1String("AT+CPBR")))
        handlePhonebookEntries();
    else
        dispatchFamily(echo);
}

void AtDriverBase::handlePhonebookEntries()
{
    // Every line is read before the store is touched, so a bad line adds nothing.
    const QList<PhonebookEntry> entries = parsePhonebookEntries(m_reply.lines, categoryDigit());
    for (const PhonebookEntry &e : entries) {
        // A SIM card hands a pause back as "P" or ",": the number is the one that was sent.
        const ContactKind typ = ContactKind(e.typ);
        if (m_readTarget)
            m_readTarget->AddByName(storedName(e.name, m_currentMem), e.location, m_currentMem,
                                    isNumber(typ) ? onePauseForm(e.number) : e.number, typ, Operation::None);
        ++m_counter;
        IncProgress();
    }
}

} // namespace orvia
