// The program's run path end to end over a real pseudo-terminal: the simulator program on its terminal,
// the real serial control and timers, the run hub, the policy and the desktop store on disk.
#include "WholeRunRig.h"

#include "phonesim/ContentsFile.h"
#include "platform/PortMap.h"
#include "platform/QtTimerFactory.h"
#include "platform/SerialCommControl.h"
#include "platform/SettingsStore.h"
#include "support/HubDeps.h"
#include "support/MemorySettingsStore.h"
#include "support/SimulatorProgram.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

TEST(PtyWholeRun, ContactsAndCalendarThroughThePhoneSimulatorProgram)
{
    if (SimulatorProgram::path().isEmpty())
        GTEST_SKIP() << "the simulator program is not built";
    resetGlobals();
    QTemporaryDir dir;
    SimulatorProgram sim(QStringLiteral("K110"),
                         "SM=250\nME=1000\n"
                         "entry=SM,1,\"+4915112345678\",145,\"Anna\",0\n"
                         "entry=ME,3,\"030123\",129,\"Cleo\",2\n",
                         dir.path());
    ASSERT_TRUE(sim.ok());
    const QString ptyPath = sim.ptyPath();

    MemorySettingsStore settings;
    settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM3"), ptyPath);
    PortMap ports{&settings, [] { return QStringList(); }};
    SerialCommControl comm{ports};
    QtTimerFactory timers;
    SystemClock clock;
    QtMessageLoop loop;
    ScriptedMessageBox boxes;
    RecordingView view;
    FakeTray tray;
    FakeShell shell;
    NoSetup setup;
    const QString root = dir.filePath(QStringLiteral("pim"));
    OutlookControl outlook(root, &loop);
    MrPolicy policy(&clock, &loop);
    Platform platform;
    platform.timers = &timers;
    platform.clock = &clock;
    platform.loop = &loop;
    platform.messageBox = &boxes;
    FormMain fm(hubDeps(platform, &comm, {&view, &tray, &shell}, &outlook, &policy));
    outlook.setOwner(&fm);
    ASSERT_TRUE(outlook.Init());
    auto driver = std::make_shared<VelmoraAT>(&boxes);
    driver->setShell(&setup, &tray);
    fm.setDriver(driver);
    ASSERT_TRUE(fm.OpenCom(ComPort(3), QStringLiteral("57600")));

    const QString contacts = root + QStringLiteral("/Personal Folders/Contacts/");
    const QString calendar = root + QStringLiteral("/Personal Folders/Calendar/");
    {
        QFile f(contacts + QStringLiteral("bert.vcf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:bert\r\nFN:Bert Bauer\r\nN:Bauer;Bert;;;\r\n"
                "TEL;TYPE=CELL:+49 170 555\r\nEND:VCARD\r\n");
    }
    {
        // An event a few days ahead of the real clock, so the policy keeps it.
        const QByteArray day =
            QDate::currentDate().addDays(3).toString(QStringLiteral("yyyyMMdd")).toLatin1();
        QFile f(calendar + QStringLiteral("e.ics"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//t//t//EN\r\nBEGIN:VEVENT\r\nUID:e1\r\n"
                "DTSTAMP:20260101T000000Z\r\nDTSTART:" +
                day + "T093000\r\nDTEND:" + day +
                "T100000\r\nSUMMARY:Dentist\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n");
    }

    const auto run = [&](bool cal) {
        view.text.clear();
        if (cal)
            fm.StartCalendar();
        else
            fm.StartContacts();
        return pumpUntil([&] { return fm.syncState == Idle; }, 60000);
    };
    const QString done = QStringLiteral("Data exchange successfully completed.");

    ASSERT_TRUE(run(false));
    EXPECT_TRUE(view.text.endsWith(done)) << view.text.toStdString();
    ASSERT_TRUE(run(true));
    EXPECT_TRUE(view.text.endsWith(done)) << view.text.toStdString();
    EXPECT_EQ(boxes.count(), 0) << boxes.texts().join(QLatin1Char('|')).toStdString();
    const int contactFiles = QDir(contacts).entryList({QStringLiteral("*.vcf")}).size();
    EXPECT_EQ(contactFiles, 3); // Bert, plus Anna and Cleo from the phone

    // Straight after, nothing moves either way.
    ASSERT_TRUE(run(false));
    EXPECT_TRUE(view.text.contains(QStringLiteral("Sending 0 entries to Outlook\u00AE...")))
        << view.text.toStdString();
    EXPECT_TRUE(view.text.contains(QStringLiteral("Sending 0 entries to the Velmora\u00AE phone...")));
    ASSERT_TRUE(run(true));
    EXPECT_TRUE(view.text.contains(QStringLiteral("Sending 0 events to the Velmora\u00AE phone...")))
        << view.text.toStdString();
    EXPECT_EQ(QDir(contacts).entryList({QStringLiteral("*.vcf")}).size(), contactFiles);

    comm.setPortOpen(false);
    ASSERT_TRUE(sim.dump());
    sim.stop();
    const auto dumped = phonesim::loadContentsFile(sim.dumpPath(), QStringLiteral("K110"));
    ASSERT_TRUE(dumped.contents) << dumped.error.toStdString();
    const auto &h = *dumped.contents;
    EXPECT_EQ(h.sim.entries.size() + h.me.entries.size(), 3u);
    bool bert = false;
    for (const auto &[loc, e] : h.me.entries)
        bert = bert || (e.name == QStringLiteral("Bert Bauer") && e.number == QStringLiteral("+49170555"));
    EXPECT_TRUE(bert) << phonesim::formatContents(h).toStdString();
    ASSERT_EQ(h.calendar.size(), 1u);
    // The first family keeps the start time in front of the text.
    EXPECT_EQ(h.calendar.begin()->second.text, QStringLiteral("09:30 Dentist "));
}
