// A full run against the simulator program on its pseudo-terminal, through the real serial control:
// afterwards the handset's dumped state holds exactly what the driver wrote.
#include "DriverRig.h"
#include "PtyLink.h"

#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ZeroDateTime.h"
#include "phonesim/ContentsFile.h"
#include "platform/PortMap.h"
#include "platform/QtTimerFactory.h"
#include "platform/SerialCommControl.h"
#include "platform/SettingsStore.h"
#include "support/MemorySettingsStore.h"
#include "support/SimulatorProgram.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

TEST(PhonesimProgram, HelpNamesTheProgram)
{
    if (SimulatorProgram::path().isEmpty())
        GTEST_SKIP() << "the simulator program is not built";
    QProcess sim;
    sim.start(SimulatorProgram::path(), {QStringLiteral("--help")});
    ASSERT_TRUE(sim.waitForFinished(10000));
    const QString help = QString::fromLocal8Bit(sim.readAllStandardOutput());
    EXPECT_TRUE(help.startsWith(QStringLiteral("Usage: phonesim [options]"))) << help.toStdString();
    EXPECT_FALSE(help.contains(QStringLiteral("<executable_name>")));
    EXPECT_EQ(sim.exitCode(), 0);
}

TEST(PhonesimProgram, FullRunThroughTheSerialControl)
{
    if (SimulatorProgram::path().isEmpty())
        GTEST_SKIP() << "the simulator program is not built";
    for (const char *model : {"L420", "G170"}) {
        SCOPED_TRACE(model);
        const bool tarvex = QLatin1String(model) == QLatin1String("G170");
        QTemporaryDir dir;
        SimulatorProgram sim(QLatin1String(model),
                             "SM=250\nME=1000\n"
                             "entry=SM,1,\"+4915112345678\",145,\"Anna, B\"\n"
                             "entry=ME,4,\"0301\",129,\"O'Neil\"\n"
                             "entry=ME,9,\"0309\",129,\"Zed\"\n",
                             dir.path());
        ASSERT_TRUE(sim.ok());
        const QString ptyPath = sim.ptyPath();

        MemorySettingsStore settings;
        settings.save(kSettingsApp, QStringLiteral("ports"), QStringLiteral("COM4"), ptyPath);
        PortMap ports{&settings, [] { return QStringList(); }};
        SerialCommControl comm{ports};
        comm.setCommPort(4);
        comm.setSettings(QStringLiteral("57600,N,8,1"));
        comm.setHandshaking(2);
        comm.setRTSEnable(true);
        comm.setRThreshold(1);
        comm.setPortOpen(true);

        QtTimerFactory timers;
        Platform platform;
        platform.timers = &timers;
        PhoneLink link(&comm, platform);
        ScriptedMessageBox box;
        RecordingOwner owner;
        RecordingShell shell;
        std::unique_ptr<AtDriverBase> driver;
        if (tarvex)
            driver = std::make_unique<TarvexAT>(&box);
        else
            driver = std::make_unique<VelmoraAT>(&box);
        driver->setShell(&shell, &shell);
        attachDriver(link, [&driver] { return driver.get(); });
        auto step = [&](int callbacks) {
            return pumpUntil([&] { return owner.callbacks >= callbacks || owner.recoveries > 0; });
        };

        driver->Init(&link, &owner);
        ASSERT_TRUE(step(1));
        EXPECT_TRUE(driver->automares());
        EXPECT_EQ(driver->PhoneDescription(), QLatin1String(model));
        EXPECT_EQ(shell.tips.value(0).endsWith(QStringLiteral("on COM4")), true);

        auto pb = std::make_shared<DBPhonebook>();
        driver->ReadContacts(pb);
        ASSERT_TRUE(step(2));
        EXPECT_EQ(pb->countEntries(), 3);
        EXPECT_EQ(pb->GetNameById(pb->GetItemByDataType(QStringLiteral("0301"), ContactKind::Mobile, 0)->id),
                  QStringLiteral("O'Neil"));

        auto add = std::make_shared<DBPhonebook>();
        add->AddByName(QStringLiteral("New, SIM"), 2, QStringLiteral("SM"), QStringLiteral("+331"),
                       ContactKind::Mobile, Operation::Add);
        add->AddByName(QStringLiteral("Home"), 5, QStringLiteral("ME"), QStringLiteral("0302"),
                       tarvex ? ContactKind::Mobile : ContactKind::Home, Operation::Add);
        driver->UpdateContacts(add);
        ASSERT_TRUE(step(3));

        auto calOut = std::make_shared<DBCalendar>();
        calOut->add(3, QDateTime(QDate(2026, 12, 31), QTime(0, 10)), zeroDateTime(), true, 20,
                    EventKind::Plain, QStringLiteral("NY"), QString(), Operation::Add);
        driver->UpdateCalendar(calOut);
        ASSERT_TRUE(step(4));
        auto cal = std::make_shared<DBCalendar>();
        driver->ReadCalendar(cal);
        ASSERT_TRUE(step(5));
        ASSERT_EQ(cal->count(), 1);
        EXPECT_EQ(cal->GetItem(0)->dstart, QDateTime(QDate(2026, 12, 31), QTime(0, 10)));
        // The second family keeps only the alarm's time of day: a reminder the evening before still
        // reads back as the lead it was.
        EXPECT_EQ(cal->GetItem(0)->prerem, 20);
        EXPECT_EQ(owner.recoveries, 0);
        EXPECT_EQ(box.count(), 0);

        // The dump holds the original entries plus exactly the two written ones.
        ASSERT_TRUE(sim.dump());
        comm.setPortOpen(false);
        sim.stop();
        const auto dumped = phonesim::loadContentsFile(sim.dumpPath(), QLatin1String(model));
        ASSERT_TRUE(dumped.contents) << dumped.error.toStdString();
        const auto &h = *dumped.contents;
        ASSERT_EQ(h.sim.entries.size(), 2u);
        ASSERT_EQ(h.me.entries.size(), 3u);
        EXPECT_EQ(h.sim.entries.at(2).name, QStringLiteral("New, SIM"));
        EXPECT_EQ(h.sim.entries.at(2).number, QStringLiteral("+331"));
        EXPECT_EQ(h.sim.entries.at(2).type, 145);
        EXPECT_EQ(h.me.entries.at(5).name, QStringLiteral("Home"));
        EXPECT_EQ(h.me.entries.at(5).category, tarvex ? 0 : 2);
        EXPECT_EQ(h.calendar.size(), 1u);
    }
}
