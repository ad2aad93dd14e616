// Connection, folder lists, folder choice and features of the desktop endpoint.
#include "endpoints/OutlookControl.h"
#include "common/Globals.h"
#include "data/ModFeatures.h"
#include "endpoints/PhoneModels.h"
#include "endpoints/RunCapacity.h"
#include "endpoints/RunOwner.h"
#include "platform/RuntimeError.h"
#include "platform/Timer.h"
#include "platform/VisibleText.h"
#include "platform/pim/PimFolder.h"
#include "platform/pim/PimItems.h"
#include "platform/pim/PimNamespace.h"

#include <limits>

namespace orvia {

void OutlookControl::logLine(const QString &s)
{
    globals().gLog.log(visibleText(s));
}

OutlookControl::OutlookControl(const QString &root, IMessageLoop *loop)
    : m_root(root), m_loop(loop), m_wait(loop)
{
}

OutlookControl::~OutlookControl() = default;

bool OutlookControl::Init()
{
    logLine(QStringLiteral("Outlook init start"));
    int checkpoint = 10;
    bool result = false;
    try {
        OutlookApp = pim::PimApplication::attach(m_root, m_wait);
    } catch (const RuntimeError &) {
        OutlookApp.reset();
    }
    QString errorText = QStringLiteral("0");
    if (!OutlookApp) {
        checkpoint = 20;
        try {
            OutlookApp = pim::PimApplication::create(m_root, m_wait);
        } catch (const RuntimeError &e) {
            errorText = QString::number(e.number()) + e.description();
        }
    }
    result = OutlookApp != nullptr;
    logLine(QStringLiteral("Outlook obj created as ") +
            (OutlookApp ? OutlookApp->TypeName() : QStringLiteral("Nothing")) + QStringLiteral(" Err: ") +
            errorText);
    if (!result) {
        logLine(QStringLiteral("error in outlook.init ") + errorText + QStringLiteral("   breakpoint was: ") +
                QString::number(checkpoint));
        return false;
    }
    try {
        checkpoint = 30;
        globals().gOutlookVersion = OutlookApp->version();
        logLine(QStringLiteral("Outlook version: ") + globals().gOutlookVersion);
        checkpoint = 40;
        OutlookNamespace = OutlookApp->GetNamespace(QStringLiteral("MAPI"));
        checkpoint = 50;
        OutlookNamespace->Logon();
        checkpoint = 60;
        ContactsFolder = OutlookNamespace->GetDefaultFolder(pim::FolderContacts);
        if (!ContactsFolder)
            throwError(ErrObjectNotSet);
        logLine(QStringLiteral("Contacts default folder: ") + ContactsFolder->name() +
                QStringLiteral(" Description: ") + ContactsFolder->Description());
        checkpoint = 80;
        CalendarFolder = OutlookNamespace->GetDefaultFolder(pim::FolderCalendar);
        if (!CalendarFolder)
            throwError(ErrObjectNotSet);
        logLine(QStringLiteral("Calendar default folder: ") + CalendarFolder->name() +
                QStringLiteral(" Description: ") + CalendarFolder->Description());
        logLine(QStringLiteral("Outlook init stop"));
        scanFolders();
    } catch (const RuntimeError &e) {
        logLine(QStringLiteral("error in outlook.init ") + QString::number(e.number()) + QLatin1Char(' ') +
                e.description() + QStringLiteral("   breakpoint was: ") + QString::number(checkpoint));
        m_initErrorNumber = e.number();
        m_initErrorDescription = e.description();
    }
    return result;
}

void OutlookControl::throwFoldersUnknown() const
{
    if (m_initErrorNumber != 0)
        throwError(m_initErrorNumber, m_initErrorDescription);
    throwError(ErrPathNotFound,
               QStringLiteral("the folders of the contacts and calendar store are not known"));
}

void OutlookControl::scanFolders()
{
    FoldersIDs = std::make_unique<StringArray>();
    FoldersNames = std::make_unique<StringArray>();
    FoldersTypes = std::make_unique<IntArray>();
    walkFolders(OutlookNamespace->Folders(), QString());
}

void OutlookControl::walkFolders(const std::shared_ptr<pim::PimFolders> &folders, const QString &path)
{
    int number = 0;
    QString description;
    try {
        for (auto f = folders->GetFirst(); f; f = folders->GetNext()) {
            const qint32 type = f->DefaultItemType();
            logLine(QStringLiteral("id: ") + f->EntryID() + QStringLiteral(" class: ") +
                    QString::number(f->Class()) + QStringLiteral(" name: ") + f->name() +
                    QStringLiteral(" msgclass: ") + pim::PimFolder::messageClassFor(type) +
                    QStringLiteral(" defaulttype: ") + QString::number(type));
            const QString folderPath = path + QLatin1Char('\\') + f->name();
            if (type == 1 || type == 2) {
                FoldersIDs->add(f->EntryID());
                FoldersNames->add(folderPath);
                FoldersTypes->add(qint16(type));
            }
            walkFolders(f->Folders(), folderPath);
        }
    } catch (const RuntimeError &e) {
        number = e.number();
        description = e.description();
    }
    logLine(QStringLiteral("recurse outlook folders: ") + QString::number(number) + QLatin1Char(' ') +
            description);
}

QString OutlookControl::getContactsFolderID() const
{
    if (!ContactsFolder)
        throwFoldersUnknown();
    return ContactsFolder->EntryID();
}

QString OutlookControl::getCalendarFolderID() const
{
    if (!CalendarFolder)
        throwFoldersUnknown();
    return CalendarFolder->EntryID();
}

QString OutlookControl::chooseFolder(const QString &folderId, std::shared_ptr<pim::PimFolder> &target)
{
    // A folder that cannot be found leaves the previous choice in place.
    try {
        if (!OutlookNamespace)
            return QString();
        auto f = OutlookNamespace->GetFolderFromID(folderId);
        if (!f)
            return QString();
        target = f;
        return f->name();
    } catch (const RuntimeError &) {
        return QString();
    }
}

QString OutlookControl::setContactsFolder(const QString &folderId)
{
    return chooseFolder(folderId, ContactsFolder);
}

QString OutlookControl::setCalendarFolder(const QString &folderId)
{
    return chooseFolder(folderId, CalendarFolder);
}

std::shared_ptr<ModFeatures> OutlookControl::GetFeatures()
{
    if (!ContactsFolder)
        throwFoldersUnknown();
    auto f = std::make_shared<ModFeatures>();
    f->name = kDesktopSide;
    f->ME_capacity = 10000;
    // A folder fuller than the features record can count shows as full; whether a run can hold it is
    // for the read to say, and a calendar run does not depend on it.
    const qint32 n = ContactsFolder->Items()->count();
    f->ME_filled = qint16(qMin<qint32>(n, std::numeric_limits<qint16>::max()));
    f->SM_capacity = 0;
    f->SM_filled = 0;
    f->NameLen = 50;
    f->EmailLen = 50;
    f->CalBodyLen = 10000;
    f->Cal_capacity = 10000;
    f->ExtPB = true;
    f->writeable = true;
    return f;
}

void OutlookControl::storeOperation(const std::function<bool()> &body)
{
    bool finished = false;
    try {
        finished = body();
    } catch (const RunCapacityError &) {
        throw; // not a failure of the store: the run says what it cannot hold
    } catch (const RuntimeError &e) {
        raiseOutlookError(e.number(), e.description());
    } catch (const std::exception &e) {
        raiseOutlookError(ErrInvalidArgument, QString::fromLocal8Bit(e.what()));
    }
    if (finished)
        m_owner->MrCallback(1);
}

bool OutlookControl::pollInterrupt()
{
    m_loop->yieldIfDue();
    return m_owner->UserInterrupt();
}

void OutlookControl::raiseOutlookError(int number, const QString &description)
{
    logLine(QStringLiteral("Outlook error: ") + QString::number(number) + description);
    throwError(ErrOutlook);
}

} // namespace orvia
