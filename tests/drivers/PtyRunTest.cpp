// A whole run over a real pseudo-terminal: identification, phonebook read and write, calendar.
#include "DriverRig.h"
#include "PtyLink.h"

#include "data/DBCalendar.h"
#include "data/DBPhonebook.h"
#include "data/ModFeatures.h"
#include "data/ZeroDateTime.h"
#include "phonesim/ContentsFile.h"
#include "platform/QtTimerFactory.h"
#include "support/SimulatorProgram.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

TEST(PtyRun, FullRunOverAPseudoTerminal)
{
    for (const char *model : {"K110", "F550"}) {
        SCOPED_TRACE(model);
        QString contents = QStringLiteral("SM=250\nME=500\n");
        for (int i = 1; i <= 40; i += 2)
            contents += QStringLiteral("entry=ME,%1,\"030%1\",129,\"Name, %1\"\n").arg(i);
        contents += QStringLiteral("entry=SM,5,\"+4915\",145,\"Sim\"\n");
        auto parsed = phonesim::parseContents(contents, QLatin1String(model));
        ASSERT_TRUE(parsed.contents);
        auto phone = std::make_shared<phonesim::PhoneSim>(*parsed.contents);
        PtyPhoneServer server(phone);
        ASSERT_TRUE(server.ok());
        TtyComm comm(server.slavePath());
        comm.setPortOpen(true);
        ASSERT_TRUE(comm.portOpen());

        QtTimerFactory timers;
        Platform platform;
        platform.timers = &timers;
        PhoneLink link(&comm, platform);
        ScriptedMessageBox box;
        RecordingOwner owner;
        RecordingShell shell;
        std::unique_ptr<AtDriverBase> driver;
        if (QLatin1String(model) == QLatin1String("K110"))
            driver = std::make_unique<VelmoraAT>(&box);
        else
            driver = std::make_unique<TarvexAT>(&box);
        driver->setShell(&shell, &shell);
        attachDriver(link, [&driver] { return driver.get(); });

        driver->Init(&link, &owner);
        ASSERT_TRUE(pumpUntil([&] { return owner.callbacks == 1 || owner.recoveries > 0; }));
        EXPECT_TRUE(driver->automares());
        EXPECT_EQ(driver->GetFeatures()->ME_filled, 20);

        auto pb = std::make_shared<DBPhonebook>();
        driver->ReadContacts(pb);
        ASSERT_TRUE(pumpUntil([&] { return owner.callbacks == 2 || owner.recoveries > 0; }));
        EXPECT_EQ(pb->countEntries(), 21);

        auto add = std::make_shared<DBPhonebook>();
        add->AddByName(QStringLiteral("New, one"), 6, QStringLiteral("SM"), QStringLiteral("+3312"),
                       ContactKind::Mobile, Operation::Add);
        driver->UpdateContacts(add);
        ASSERT_TRUE(pumpUntil([&] { return owner.callbacks == 3 || owner.recoveries > 0; }));

        auto calOut = std::make_shared<DBCalendar>();
        calOut->add(2, QDateTime(QDate(2026, 12, 24), QTime(18, 0)), zeroDateTime(), true, 30,
                    EventKind::Plain, QStringLiteral("Eve"), QString(), Operation::Add);
        driver->UpdateCalendar(calOut);
        ASSERT_TRUE(pumpUntil([&] { return owner.callbacks == 4 || owner.recoveries > 0; }));
        auto cal = std::make_shared<DBCalendar>();
        driver->ReadCalendar(cal);
        ASSERT_TRUE(pumpUntil([&] { return owner.callbacks == 5 || owner.recoveries > 0; }));
        ASSERT_EQ(cal->count(), 1);
        EXPECT_EQ(cal->GetItem(0)->dstart, QDateTime(QDate(2026, 12, 24), QTime(18, 0)));
        EXPECT_EQ(cal->GetItem(0)->prerem, 30);

        EXPECT_EQ(owner.recoveries, 0);
        EXPECT_EQ(box.count(), 0);
        EXPECT_EQ(phone->contents().sim.entries.at(6).name, QStringLiteral("New, one"));
        EXPECT_FALSE(link.watchdogArmed());
    }
}
