// Identification of every handset model of both families, and the SIM-not-ready paths.
#include "DriverRig.h"

#include "data/ModFeatures.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct Expect
{
    const char *model;
    const char *description;
    const char *featuresName;
    int email, nameLen, body, cap;
    bool ext;
};

const Expect kModels[] = {
    {"K110", "K110", "K110", 30, 18, 40, 30, true},     {"K310", "K310", "K310", 30, 18, 40, 30, true},
    {"M230", "M230", "M230", 30, 20, 40, 30, true},     {"L420", "L420", "L420", 30, 20, 40, 30, true},
    {"D240", "D240", "D240", 0, 20, 40, 24, false},     {"G170", "G170", "Tarvex", 0, 14, 28, 50, false},
    {"F550", "F550", "Tarvex", 0, 14, 28, 50, false},   {"F660", "F660", "Tarvex", 0, 14, 28, 50, false},
    {"H280X", "H280X", "Tarvex", 0, 14, 28, 50, false},
};

} // namespace

TEST(Identification, EveryModelOfBothFamilies)
{
    for (const Expect &x : kModels) {
        SCOPED_TRACE(x.model);
        DriverRig rig(QLatin1String(x.model), QStringLiteral("SM=250\nME=1000\n"
                                                             "entry=SM,1,\"+491\",145,\"A\"\n"
                                                             "entry=SM,7,\"+492\",145,\"B\"\n"
                                                             "entry=ME,3,\"0301\",129,\"C\"\n"));
        rig.owner.syncState = 0; // detection, no run
        rig.init();
        EXPECT_TRUE(rig.driver->automares());
        EXPECT_EQ(rig.driver->PhoneDescription(), QLatin1String(x.description));
        if (auto *v = dynamic_cast<VelmoraAT *>(rig.driver.get())) {
            EXPECT_EQ(v->PhoneModel(), QLatin1String(x.model));
        }
        EXPECT_EQ(rig.shell.fsmCalls, 1);
        EXPECT_EQ(rig.owner.callbacks, 0);
        EXPECT_FALSE(rig.link.watchdogArmed());
        ASSERT_EQ(rig.shell.tips.size(), 1);
        const QString family =
            QLatin1String(x.featuresName) == QLatin1String("Tarvex") ? QStringLiteral("family ") : QString();
        EXPECT_EQ(rig.shell.tips[0], QStringLiteral("Velmora Orvia Link ") + QLatin1String(x.description) +
                                         QLatin1Char(' ') + family + QStringLiteral("on COM3"));

        const auto f = rig.driver->GetFeatures();
        EXPECT_EQ(f->name, QLatin1String(x.featuresName));
        EXPECT_EQ(f->SM_capacity, 250);
        EXPECT_EQ(f->SM_filled, 2);
        EXPECT_EQ(f->ME_capacity, 1000);
        EXPECT_EQ(f->ME_filled, 1);
        EXPECT_EQ(f->EmailLen, x.email);
        EXPECT_EQ(f->NameLen, x.nameLen);
        EXPECT_EQ(f->CalBodyLen, x.body);
        EXPECT_EQ(f->Cal_capacity, x.cap);
        EXPECT_EQ(f->ExtPB, x.ext);
        EXPECT_TRUE(f->writeable);
        EXPECT_EQ(rig.box.count(), 0);
        EXPECT_EQ(rig.driver->currentState(), 0);
    }
}

TEST(Identification, CommandsAndRunCallback)
{
    DriverRig velmora(QStringLiteral("K110"));
    velmora.init(); // a run is active
    EXPECT_EQ(velmora.commands(), (QStringList{QStringLiteral("AT+GMM"), QStringLiteral("AT+CPBS=\"SM\""),
                                               QStringLiteral("AT+CPBS?"), QStringLiteral("AT+CPBS=\"ME\""),
                                               QStringLiteral("AT+CPBS?")}));
    EXPECT_EQ(velmora.owner.callbacks, 1);
    EXPECT_EQ(velmora.shell.fsmCalls, 0);

    DriverRig tarvex(QStringLiteral("G170"));
    tarvex.init();
    EXPECT_EQ(tarvex.commands(), (QStringList{QStringLiteral("AT+GMM"), QStringLiteral("AT+CGMM"),
                                              QStringLiteral("AT+CPBS=\"SM\""), QStringLiteral("AT+CPBS?"),
                                              QStringLiteral("AT+CPBS=\"ME\""), QStringLiteral("AT+CPBS?")}));
    EXPECT_EQ(tarvex.owner.callbacks, 1);
    EXPECT_EQ(dynamic_cast<TarvexAT *>(tarvex.driver.get())->family(), QStringLiteral("Tarvex"));
}

TEST(Identification, FeaturesBeforeAnyStatusAreZero)
{
    VelmoraAT v(nullptr);
    const auto f = v.GetFeatures();
    EXPECT_EQ(f->name, QString());
    EXPECT_EQ(f->ME_capacity + f->ME_filled + f->SM_capacity + f->SM_filled + f->NameLen + f->Cal_capacity,
              0);
    EXPECT_FALSE(f->ExtPB);
    EXPECT_TRUE(f->writeable);
    TarvexAT t(nullptr);
    EXPECT_EQ(t.GetFeatures()->NameLen, 0);
}

TEST(Identification, UnknownModelReplies)
{
    // A model reply naming no known code leaves the model empty: no model values, no tray text.
    HandFedRig rig(std::make_unique<VelmoraAT>(&rig.box));
    rig.init();
    rig.reply(QStringLiteral("AT+GMM\r\r\nVelmora X999\r\n\r\nOK\r\n"));
    auto *v = dynamic_cast<VelmoraAT *>(rig.driver.get());
    EXPECT_EQ(v->PhoneModel(), QString());
    EXPECT_EQ(v->PhoneDescription(), QString());
    rig.reply(QStringLiteral("AT+CPBS=\"SM\"\r\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"SM\",0,250\r\n\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS=\"ME\"\r\r\nOK\r\n"));
    rig.reply(QStringLiteral("AT+CPBS?\r\r\n+CPBS: \"ME\",0,500\r\n\r\nOK\r\n"));
    EXPECT_TRUE(v->automares());
    EXPECT_TRUE(rig.shell.tips.isEmpty());
    const auto f = v->GetFeatures();
    EXPECT_EQ(f->name, QString());
    EXPECT_EQ(f->NameLen, 0);
    EXPECT_EQ(f->ME_capacity, 500);

    // A second-family handset without the family word: empty family, the model line taken whole.
    HandFedRig t(std::make_unique<TarvexAT>(&t.box));
    t.init();
    t.reply(QStringLiteral("AT+GMM\r\r\nSomething\r\n\r\nOK\r\n"));
    t.reply(QStringLiteral("AT+CGMM\r\r\nZ9 phone\r\n\r\nOK\r\n"));
    EXPECT_EQ(t.driver->PhoneDescription(), QStringLiteral("Z9 phone"));
    EXPECT_EQ(dynamic_cast<TarvexAT *>(t.driver.get())->family(), QString());
    EXPECT_EQ(t.driver->GetFeatures()->CalBodyLen, 0);
}

TEST(Identification, SimNotReadyOutsideARun)
{
    for (const auto style : {phonesim::SimErrorStyle::Plain, phonesim::SimErrorStyle::Cme}) {
        DriverRig rig(QStringLiteral("K310"), QStringLiteral("sim-ready=no\n"));
        rig.port.phone().handset().setSimErrorStyle(style);
        rig.owner.syncState = 0;
        rig.init();
        EXPECT_FALSE(rig.driver->automares());
        EXPECT_EQ(rig.shell.fsmCalls, 1);
        EXPECT_EQ(rig.owner.recoveries, 0);
        ASSERT_EQ(rig.box.count(), 1);
        EXPECT_EQ(rig.box.last().text,
                  QStringLiteral("Could not read the SIM card data.\nPlease make sure that "
                                 "the PIN code has been inserted, then retry."));
        EXPECT_FALSE(rig.link.watchdogArmed());
        EXPECT_EQ(rig.commandCount(), 2); // AT+GMM, the SIM selection; nothing after
    }
}

TEST(Identification, SimNotReadyDuringARun)
{
    DriverRig rig(QStringLiteral("L420"), QStringLiteral("sim-ready=no\n"));
    rig.owner.syncState = 1;
    rig.init();
    EXPECT_FALSE(rig.driver->automares());
    EXPECT_EQ(rig.shell.fsmCalls, 0);
    EXPECT_EQ(rig.owner.recoveries, 1);
    EXPECT_EQ(rig.owner.callbacks, 0);
    ASSERT_EQ(rig.box.count(), 1);
    EXPECT_TRUE(rig.box.last().text.startsWith(QStringLiteral("Could not read the SIM card data.")));
    EXPECT_EQ(rig.commandCount(), 2);

    // The second family has no SIM-specific message: a protocol error ends the run.
    DriverRig t(QStringLiteral("F550"), QStringLiteral("sim-ready=no\n"));
    t.init();
    EXPECT_EQ(t.owner.recoveries, 1);
    ASSERT_EQ(t.box.count(), 1);
    EXPECT_EQ(t.box.last().text, QStringLiteral("A protocol error occurred while performing operation."));
}

TEST(Identification, TarvexModelQueryErrorGoesBackToSetup)
{
    DriverRig rig(QStringLiteral("H280X"));
    rig.port.faults().rules.push_back({phonesim::FaultAction::Error, 0, QStringLiteral("AT+CGMM")});
    rig.owner.syncState = 0;
    rig.init();
    EXPECT_EQ(rig.shell.fsmCalls, 1);
    EXPECT_EQ(rig.box.count(), 0);
    EXPECT_EQ(rig.owner.recoveries, 0);
    EXPECT_FALSE(rig.driver->automares());
    EXPECT_EQ(rig.commandCount(), 2);
}
