// The language and desktop-folder pages: what a choice stores, which folder is preselected, and what
// happens when a saved folder is gone or two folders share a name.
#include "shell/SetupPages.h"
#include "common/Globals.h"
#include "endpoints/OutlookControl.h"
#include "platform/RuntimeError.h"
#include "support/FakeSystemServices.h"
#include "support/LanguageFixture.h"
#include "support/ManualTime.h"
#include "support/MemorySettingsStore.h"
#include "support/TempDir.h"
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;
using setup::FolderKind;

namespace {

TEST(LanguagePage, SystemEntryFollowsTheLocaleAtOnceOthersAtTheNextStart)
{
    ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("en")));
    MemorySettingsStore settings;
    FakeSystemServices system;
    system.setLanguage(QStringLiteral("German"));
    EXPECT_EQ(setup::chooseLanguage(0, settings, system), QStringLiteral("local"));
    EXPECT_EQ(settings.get(QStringLiteral("language")), QStringLiteral("local"));
    EXPECT_EQ(globals().gLanguage, QStringLiteral("de"));

    EXPECT_EQ(setup::languageEntryFor(QStringLiteral("it")), 3);
    setup::chooseLanguage(3, settings, system); // Italiano
    EXPECT_EQ(settings.get(QStringLiteral("language")), QStringLiteral("it"));
    EXPECT_EQ(globals().gLanguage, QStringLiteral("de")) << "texts change only at the next start";
    EXPECT_THROW(setup::chooseLanguage(6, settings, system), RuntimeError);
}

struct FolderPage : ::testing::Test
{
    TempDir dir;
    ManualTime time;
    MemorySettingsStore settings;
    std::unique_ptr<OutlookControl> ol;

    void SetUp() override { resetGlobals(); }
    void open()
    {
        ol = std::make_unique<OutlookControl>(dir.path() + QStringLiteral("/pim"), &time);
        ASSERT_TRUE(ol->Init());
    }
    void addFolder(const QString &path, int kind)
    {
        dir.write(QStringLiteral("pim/") + path + QStringLiteral("/.orvia-folder"),
                  "DefaultItemType=" + QByteArray::number(kind) + "\n");
    }
    int preselect(FolderKind kind)
    {
        const QString saved = settings.get(kSettingsApp, kSettingsSection, setup::folderSettingKey(kind),
                                           QStringLiteral("default"));
        return setup::preselectedEntry(*ol, kind, saved, setup::folderNames(*ol, kind));
    }
    qint16 positionOf(const QString &name) const
    {
        for (qint16 i = 0; i < ol->FoldersNames->count(); ++i)
            if (ol->FoldersNames->GetItem(i) == name)
                return i;
        return -1;
    }
};

TEST_F(FolderPage, OneFolderOfEachKindIsSelectedAndStoredAtTheFirstStart)
{
    open();
    const QStringList contacts = setup::folderNames(*ol, FolderKind::Contacts);
    const QStringList calendar = setup::folderNames(*ol, FolderKind::Calendar);
    EXPECT_EQ(contacts, QStringList{QStringLiteral("\\Personal Folders\\Contacts")});
    EXPECT_EQ(calendar, QStringList{QStringLiteral("\\Personal Folders\\Calendar")});
    EXPECT_EQ(preselect(FolderKind::Contacts), 0);
    setup::chooseFolder(*ol, FolderKind::Contacts, contacts[0], settings);
    setup::chooseFolder(*ol, FolderKind::Calendar, calendar[0], settings);
    EXPECT_EQ(settings.get(QStringLiteral("outlook_contacts")), ol->getContactsFolderID());
    EXPECT_EQ(settings.get(QStringLiteral("outlook_calendar")), ol->getCalendarFolderID());
    EXPECT_FALSE(ol->getContactsFolderID().isEmpty());
}

TEST_F(FolderPage, SavedFolderIsPreferredAndAVanishedOneGivesWayToTheFolderInUse)
{
    open(); // the first start makes the default store
    addFolder(QStringLiteral("Work/Team"), 2);
    open();
    const QStringList contacts = setup::folderNames(*ol, FolderKind::Contacts);
    ASSERT_EQ(contacts.size(), 2);
    const qint16 team = positionOf(QStringLiteral("\\Work\\Team"));
    ASSERT_GE(team, 0);
    settings.set(QStringLiteral("outlook_contacts"), ol->FoldersIDs->GetItem(team));
    const int entry = preselect(FolderKind::Contacts);
    EXPECT_EQ(contacts[entry], QStringLiteral("\\Work\\Team"));
    setup::chooseFolder(*ol, FolderKind::Contacts, contacts[entry], settings);
    EXPECT_EQ(ol->getContactsFolderID(), ol->FoldersIDs->GetItem(team));

    settings.set(QStringLiteral("outlook_contacts"), QStringLiteral("no-such-folder"));
    const int fallback = preselect(FolderKind::Contacts);
    EXPECT_EQ(contacts[fallback], QStringLiteral("\\Work\\Team")) << "the folder in use";
}

TEST_F(FolderPage, EqualNamesChooseTheLaterFolder)
{
    open(); // the first start makes the default store
    addFolder(QStringLiteral("Work/Team"), 2);
    open();
    // A second entry named like the first contacts folder but standing for the other one.
    const qint16 personal = positionOf(QStringLiteral("\\Personal Folders\\Contacts"));
    const qint16 team = positionOf(QStringLiteral("\\Work\\Team"));
    ol->FoldersIDs->add(ol->FoldersIDs->GetItem(team));
    ol->FoldersNames->add(ol->FoldersNames->GetItem(personal));
    ol->FoldersTypes->add(2);
    const QStringList contacts = setup::folderNames(*ol, FolderKind::Contacts);
    EXPECT_EQ(contacts.count(QStringLiteral("\\Personal Folders\\Contacts")), 2);
    setup::chooseFolder(*ol, FolderKind::Contacts, QStringLiteral("\\Personal Folders\\Contacts"), settings);
    EXPECT_EQ(ol->getContactsFolderID(), ol->FoldersIDs->GetItem(team));
    EXPECT_EQ(settings.get(QStringLiteral("outlook_contacts")), ol->FoldersIDs->GetItem(team));
}

TEST_F(FolderPage, FolderThatCannotBeSetKeepsThePreviousOne)
{
    open();
    const QString before = ol->getContactsFolderID();
    ol->FoldersIDs->add(QStringLiteral("bogus"));
    ol->FoldersNames->add(QStringLiteral("\\Ghost"));
    ol->FoldersTypes->add(2);
    setup::chooseFolder(*ol, FolderKind::Contacts, QStringLiteral("\\Ghost"), settings);
    EXPECT_EQ(settings.get(QStringLiteral("outlook_contacts")), before);
}

TEST_F(FolderPage, NoFoldersIsAnErrorNotACrash)
{
    open();
    ol->FoldersIDs->Clear();
    ol->FoldersNames->Clear();
    ol->FoldersTypes->Clear();
    EXPECT_TRUE(setup::folderNames(*ol, FolderKind::Contacts).isEmpty());
    EXPECT_THROW(preselect(FolderKind::Contacts), RuntimeError);
    EXPECT_THROW(setup::chooseFolder(*ol, FolderKind::Contacts, QString(), settings), RuntimeError);
}

} // namespace
