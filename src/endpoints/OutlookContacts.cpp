// Reading and writing desktop contacts: each contact becomes a name record plus one record per
// number and address; writing only ever fills empty fields or creates contacts.
#include "common/Details.h"
#include "common/DialString.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "data/DBPhonebook.h"
#include "data/DBPhonebookItem.h"
#include "endpoints/OutlookControl.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/RunOwner.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"
#include "platform/pim/AtomicFile.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include <algorithm>
#include <array>
#include <functional>

namespace orvia {

namespace {

using Getter = QString (pim::ContactItem::*)() const;
using Setter = void (pim::ContactItem::*)(const QString &);

struct Slot
{
    ContactKind typ;
    Getter get;
    Setter set;
    bool email;
};

// The order in which a contact's fields are read, and per kind the order in which they are filled.
const std::array<Slot, 9> kSlots{{
    {ContactKind::Mobile, &pim::ContactItem::MobileTelephoneNumber,
     &pim::ContactItem::setMobileTelephoneNumber, false},
    {ContactKind::Mobile, &pim::ContactItem::OtherTelephoneNumber, &pim::ContactItem::setOtherTelephoneNumber,
     false},
    {ContactKind::Home, &pim::ContactItem::HomeTelephoneNumber, &pim::ContactItem::setHomeTelephoneNumber,
     false},
    {ContactKind::Home, &pim::ContactItem::Home2TelephoneNumber, &pim::ContactItem::setHome2TelephoneNumber,
     false},
    {ContactKind::Work, &pim::ContactItem::BusinessTelephoneNumber,
     &pim::ContactItem::setBusinessTelephoneNumber, false},
    {ContactKind::Work, &pim::ContactItem::Business2TelephoneNumber,
     &pim::ContactItem::setBusiness2TelephoneNumber, false},
    {ContactKind::Email, &pim::ContactItem::Email1Address, &pim::ContactItem::setEmail1Address, true},
    {ContactKind::Email, &pim::ContactItem::Email2Address, &pim::ContactItem::setEmail2Address, true},
    {ContactKind::Email, &pim::ContactItem::Email3Address, &pim::ContactItem::setEmail3Address, true},
}};

// Texts are compared in composed form: tools that write letters decomposed ("e" and a combining mark)
// mean the same name or address as the phone's composed letters. The card keeps its own form.
QString composed(const QString &s)
{
    return s.normalized(QString::NormalizationForm_C);
}

QString addressOf(const QString &raw)
{
    return composed(OutlookControl::RemoveSpaces(raw));
}

// Whether the contact already has this number in any of its numbers (faxes included), or this address.
bool holds(const pim::ContactItem &contact, const DBPhonebookItem &item)
{
    const bool email = item.typ == ContactKind::Email;
    const QStringList values = email ? contact.AllEmailAddresses() : contact.AllTelephoneNumbers();
    return std::any_of(values.cbegin(), values.cend(), [&](const QString &v) {
        return (email ? addressOf(v) : OutlookControl::NumberOnly(v)) == item.data;
    });
}

struct Datum
{
    ContactKind typ;
    QString value;
};

// The contact's numbers and addresses, cleaned, in the order they become records under the name's id;
// empty ones are left out. `yield` lets the message loop run between the fields.
QList<Datum> contactData(const pim::ContactItem &contact, const std::function<void()> &yield)
{
    QList<Datum> data;
    const auto addDatum = [&](const QString &value, ContactKind typ) {
        if (!value.isEmpty())
            data.append({typ, value});
    };
    for (std::size_t k = 0; k < kSlots.size(); ++k) {
        if (k == 2 || k == 4 || k == 6 || k == 8)
            yield();
        const Slot &s = kSlots[k];
        const QString raw = (contact.*s.get)();
        addDatum(s.email ? addressOf(raw) : OutlookControl::NumberOnly(raw), s.typ);
    }
    // Numbers and addresses past the fields above are the contact's too: unseen, a phone's copy of one
    // would be written into the card again on every run.
    for (const auto &[typ, raw] : contact.FurtherTelephoneNumbers())
        addDatum(OutlookControl::NumberOnly(raw), ContactKind(typ));
    for (const QString &raw : contact.FurtherEmailAddresses())
        addDatum(addressOf(raw), ContactKind::Email);
    return data;
}

} // namespace

QString OutlookControl::busyNotice(const QString &fileName)
{
    return Translate(QStringLiteral("In use by another program, left as it is:")) + u' ' + fileName;
}

void OutlookControl::addSaveFailure(const QString &what, const QString &why)
{
    AddDetails(QStringLiteral("Outlook"), Translate(QStringLiteral("Could not be saved:")) + u' ' + what +
                                              QStringLiteral(" (") + why + QLatin1Char(')'));
}

QString OutlookControl::NumberOnly(const QString &s)
{
    return dialStringOf(s);
}

QString OutlookControl::RemoveSpaces(const QString &s)
{
    QString r = s;
    r.remove(QLatin1Char(' '));
    return r;
}

void OutlookControl::ReadContacts(std::shared_ptr<DBPhonebook> dbp)
{
    // A run starts with its read: files found busy by the last run are tried again, with a new wait.
    m_wait.renew();
    // The first count is outside the trap: a failure here is an unexpected error of the run. Each look at
    // the folder lists it again, so the one listing serves the whole read.
    if (!ContactsFolder)
        throwFoldersUnknown();
    const auto items = ContactsFolder->Items();
    const double total = items->count();
    dbp->heldNumbers.clear();
    dbp->earlierNumbers.clear();
    storeOperation([&] {
        const qint32 n = items->count();
        // Each contact's id follows the largest id so far: kept here, not searched for in the store.
        qint16 lastId = dbp->GetLastId();
        // Records the store already held, and what the folder's contacts make; past the store's room the
        // rest is only counted, for the message that says how large the folder is.
        const qint32 held = dbp->count();
        qint32 contacts = 0, records = 0;
        for (qint32 i = 1; i <= n; ++i) {
            logLine(QStringLiteral("startfor"));
            if (pollInterrupt())
                return false;
            logLine(QStringLiteral("after userinterrupt"));
            m_owner->SetProgress(i / total);
            logLine(QStringLiteral("after setprogress"));
            std::shared_ptr<pim::PimItem> item;
            try {
                item = items->Item(i);
            } catch (const RuntimeError &e) {
                if (e.number() == ErrItemBusy) {
                    // Not damaged: another program has it. Left out of this run, read again by the next.
                    AddDetails(QStringLiteral("Outlook"), busyNotice(e.description()));
                    continue;
                }
                if (e.number() != ErrItemRefused)
                    throw;
                logLine(QStringLiteral("Outlook readcontacts error 4096: ") + e.description());
                // Each refusal on a line of its own: two in a row would otherwise run together.
                AddReadError(QStringLiteral("Error from Outlook while reading contacts"), e.description());
                continue;
            }
            logLine(QStringLiteral("typename ") + item->TypeName());
            logLine(QStringLiteral("class ") + QString::number(item->Class()));
            if (item->TypeName() != QLatin1String("ContactItem"))
                continue;
            auto contact = std::static_pointer_cast<pim::ContactItem>(item);
            logLine(QStringLiteral("new contact entry"));
            const QString fullName = composed(contact->FullName());
            logLine(QStringLiteral(" fullname ") + contact->FullName());
            const QList<Datum> data = contactData(*contact, [this] { m_loop->yieldIfDue(); });
            ++contacts;
            records += 1 + qint32(data.size());
            if (held + records > RunCapacityError::kCapacity)
                continue;
            qint16 id = qint16(lastId + 1);
            id = dbp->add(id, 0, QString(), fullName, ContactKind::Name, Operation::None);
            lastId = qMax(lastId, id);
            for (const Datum &d : data) {
                qint16 sameId = id;
                dbp->add(sameId, 0, QString(), d.value, d.typ, Operation::None);
            }
            for (const QString &raw : contact->AllTelephoneNumbers()) {
                const QString number = NumberOnly(raw);
                dbp->heldNumbers.insert(number);
                // A phone's copy made by an earlier reading (without "*", "#" and pauses, or with the
                // extension or trunk zero joined to the number) is this number too: it is not written
                // into the card as another one, nor is the number sent again beside it.
                for (const QString &earlier : earlierReadingsOf(raw)) {
                    dbp->heldNumbers.insert(earlier);
                    QStringList &forms = dbp->earlierNumbers[number];
                    if (!forms.contains(earlier))
                        forms << earlier;
                }
            }
        }
        if (held + records > RunCapacityError::kCapacity)
            throw RunCapacityError(RunCapacityError::Folder::Contacts, contacts, records);
        logLine(QStringLiteral("Outlook readcontacts done"));
        return true;
    });
}

void OutlookControl::UpdateContacts(std::shared_ptr<DBPhonebook> dbp)
{
    storeOperation([&] {
        if (!ContactsFolder)
            throwFoldersUnknown();
        // One look at the folder for the whole update: each save checks its own file.
        auto items = ContactsFolder->Items();
        const qint16 n = dbp->count();
        bool stopped = false;
        for (qint16 i = 0; i < n && !stopped; ++i) {
            stopped = pollInterrupt();
            auto item = stopped ? nullptr : dbp->GetItem(i);
            if (item && item->operation == Operation::Add && item->typ != ContactKind::Name)
                StoreContactField(*items, dbp->GetNameById(item->id), *item);
        }
        // What was written, up to a stop, reaches the disk before the run goes on; an update that wrote
        // nothing does not wait for the disk.
        if (items->takeUnsyncedChanges())
            pim::syncFileSystemOf(m_root);
        return !stopped;
    });
}

void OutlookControl::StoreContactField(pim::PimItems &items, const QString &name, const DBPhonebookItem &item)
{
    try {
        storeContactFieldOnce(items, name, item);
    } catch (const RuntimeError &e) {
        CurrentContact.reset();
        const QString datum = QStringLiteral(" (") + name + QLatin1Char(' ') + item.data + QLatin1Char(')');
        // The card is left as it is; the datum goes in by a later run.
        if (e.number() == ErrItemBusy)
            AddDetails(QStringLiteral("Outlook"), busyNotice(e.description()) + datum);
        else if (e.number() == ErrItemLinked)
            AddDetails(QStringLiteral("Outlook"),
                       Translate(QStringLiteral(
                           "Has further names and cannot be rewritten safely, left as it is:")) +
                           u' ' + e.description() + datum);
        else {
            // The run stops with the store's error box; the details say which card and why.
            addSaveFailure(name, e.description());
            throw;
        }
    }
}

void OutlookControl::storeContactFieldOnce(pim::PimItems &items, const QString &name,
                                           const DBPhonebookItem &item)
{
    CurrentContact.reset();
    m_loop->yieldIfDue();
    // When another program changes the card between its reading and the save, the save writes nothing:
    // the card is found again, which reads the new version, and the datum goes where that one has room.
    constexpr int attempts = 4;
    for (int attempt = 1;; ++attempt) {
        // The name is matched as data: quotes or brackets in it cannot widen or break the search.
        auto found = items.Find(pim::PimItems::fullNameFilter(name));
        if (found && found->TypeName() == QLatin1String("ContactItem")) {
            CurrentContact = std::static_pointer_cast<pim::ContactItem>(found);
        } else {
            CurrentContact = std::static_pointer_cast<pim::ContactItem>(items.add());
            CurrentContact->setFullName(name);
        }
        // A datum the card already holds, in any field, is not written a second time.
        bool stored = qint16(item.typ) < 1 || qint16(item.typ) > 4 || holds(*CurrentContact, item);
        for (const Slot &s : kSlots) {
            if (stored || s.typ != item.typ)
                continue;
            if ((CurrentContact.get()->*s.get)().trimmed().isEmpty()) {
                (CurrentContact.get()->*s.set)(item.data);
                stored = true;
            }
        }
        if (CurrentContact->saveUnlessChanged()) {
            if (!stored)
                AddDetails(QStringLiteral("Outlook"), QStringLiteral("no space left in contact for ") + name +
                                                          QLatin1Char(' ') + item.data);
            break;
        }
        logLine(QStringLiteral("contact changed on disk while being written, read again: ") + name);
        if (attempt == attempts)
            throwError(ErrPathAccess, QStringLiteral("the contact keeps changing on disk: ") + name);
    }
    m_loop->yieldIfDue();
    CurrentContact.reset();
}

} // namespace orvia
