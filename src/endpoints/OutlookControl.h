#pragma once
// The desktop endpoint: reads and writes the contacts and calendar folders of the desktop store (a
// vdir tree of vCard and iCalendar files) for the run state machine, and lists the folders for the
// setup window.
#include "data/IntArray.h"
#include "data/StringArray.h"
#include "endpoints/DesktopEndpoint.h"
#include "platform/pim/BusyWait.h"
#include <QString>
#include <functional>
#include <memory>

namespace orvia {

class IRunOwner;
class IMessageLoop;
class DBPhonebookItem;

namespace pim {
class PimApplication;
class PimNamespace;
class PimFolder;
class PimFolders;
class PimItems;
class ContactItem;
} // namespace pim

class OutlookControl : public IDesktopEndpoint
{
public:
    // `root`: the folder tree of the desktop store. `loop` lets the long operations yield.
    OutlookControl(const QString &root, IMessageLoop *loop);
    ~OutlookControl() override;

    void setOwner(IRunOwner *owner) { m_owner = owner; }

    // Public lists of the folder scan: parallel entries of every contacts (2) and calendar (1) folder.
    std::unique_ptr<StringArray> FoldersIDs;
    std::unique_ptr<StringArray> FoldersNames;
    std::unique_ptr<IntArray> FoldersTypes;

    QString getContactsFolderID() const;
    QString setContactsFolder(const QString &folderId);
    QString getCalendarFolderID() const;
    QString setCalendarFolder(const QString &folderId);
    void UpdateContacts(std::shared_ptr<DBPhonebook> dbp) override;
    void ReadContacts(std::shared_ptr<DBPhonebook> dbp) override;
    bool Init();
    std::shared_ptr<ModFeatures> GetFeatures() override;
    void ReadCalendar(std::shared_ptr<DBCalendar> dbc) override;
    void UpdateCalendar(std::shared_ptr<DBCalendar> dbc) override;

    // Why a folder or the folder lists are missing (Init stopped early, for example in a store without
    // a calendar folder): thrown in place of an error about an unset object.
    [[noreturn]] void throwFoldersUnknown() const;

    // A card's number as dialled: formatting dropped, the dial string's "*", "#" and pauses kept.
    static QString NumberOnly(const QString &s);
    static QString RemoveSpaces(const QString &s);

private:
    void scanFolders();
    QString chooseFolder(const QString &folderId, std::shared_ptr<pim::PimFolder> &target);
    void walkFolders(const std::shared_ptr<pim::PimFolders> &folders, const QString &path);
    void StoreContactField(pim::PimItems &items, const QString &name, const DBPhonebookItem &item);
    void storeContactFieldOnce(pim::PimItems &items, const QString &name, const DBPhonebookItem &item);
    // The notice for a file of the store that another program kept closed for longer than a run waits.
    static QString busyNotice(const QString &fileName);
    // The details line for an item the store could not save: which one (`what`) and why.
    static void addSaveFailure(const QString &what, const QString &why);
    // The lines name folders, files, contacts and events: what other programs chose stays on its line.
    static void logLine(const QString &s);
    bool pollInterrupt();
    [[noreturn]] void raiseOutlookError(int number, const QString &description);
    // Runs one read or update of the store: any failure becomes the run's desktop error; the owner is
    // called back when `body` finishes (true), not when the user stopped it (false).
    void storeOperation(const std::function<bool()> &body);

    QString m_root;
    int m_initErrorNumber = 0;
    QString m_initErrorDescription;
    IMessageLoop *m_loop;
    // Shared by every folder of the store: one wait for leases per run, renewed by each run's read.
    pim::BusyWait m_wait;
    IRunOwner *m_owner = nullptr;
    std::shared_ptr<pim::PimApplication> OutlookApp;
    std::shared_ptr<pim::PimNamespace> OutlookNamespace;
    std::shared_ptr<pim::ContactItem> CurrentContact;
    std::shared_ptr<pim::PimFolder> ContactsFolder;
    std::shared_ptr<pim::PimFolder> CalendarFolder;
};

} // namespace orvia
