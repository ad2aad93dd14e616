// The phonebook commands in the forms the drivers and a general client send, per family.
#include "SimTestHelpers.h"

#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::answer;

namespace {

const QByteArray kOk = "\r\nOK\r\n";
const QByteArray kError = "\r\nERROR\r\n";

QByteArray info(const QByteArray &line)
{
    return "\r\n" + line + "\r\n\r\nOK\r\n";
}

PhoneSim withEntries(const char *model)
{
    HandsetContents c = HandsetContents::forModel(QString::fromLatin1(model));
    c.sim.entries[1] = {QStringLiteral("+4915112345678"), 145, QStringLiteral("Anna"), 0};
    c.sim.entries[3] = {QStringLiteral("030123456"), 129, QStringLiteral("Bert, Jr"), 2};
    c.me.entries[2] = {QStringLiteral("anna@example.org"), std::nullopt, QStringLiteral("Anna"), 3};
    return PhoneSim(c);
}

TEST(Phonebook, MemoryStatusGivesTrueCounts)
{
    PhoneSim sim = withEntries("K110");
    EXPECT_EQ(answer(sim, "AT+CPBS=?"), info("+CPBS: (\"SM\",\"ME\")"));
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS?"), info("+CPBS: \"SM\",2,250"));
    EXPECT_EQ(answer(sim, "AT+CPBS=\"ME\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS?"), info("+CPBS: \"ME\",1,500"));
    EXPECT_EQ(answer(sim, "AT+CPBS=\"FD\""), kError);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"ME\",\"x\""), kError);
}

TEST(Phonebook, ExtendedModelsCarryTheCategoryDigit)
{
    PhoneSim sim = withEntries("K110");
    EXPECT_EQ(answer(sim, "AT+CPBR=1"), info("+CPBR: 1,\"+4915112345678\",145,\"Anna\",0"));
    EXPECT_EQ(answer(sim, "AT+CPBR=3"), info("+CPBR: 3,\"030123456\",129,\"Bert, Jr\",2"));
    EXPECT_EQ(answer(sim, "AT+CPBS=\"ME\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBR=2"), info("+CPBR: 2,\"anna@example.org\",,\"Anna\",3"));
}

TEST(Phonebook, PlainModelsHaveNoCategory)
{
    for (const char *model : {"D240", "G170"}) {
        PhoneSim sim = withEntries(model);
        EXPECT_EQ(answer(sim, "AT+CPBR=1"), info("+CPBR: 1,\"+4915112345678\",145,\"Anna\"")) << model;
    }
}

TEST(Phonebook, ReadsEmptyLocationsRangesAndLimits)
{
    PhoneSim sim = withEntries("M230");
    EXPECT_EQ(answer(sim, "AT+CPBR=2"), kOk); // empty: OK alone
    EXPECT_EQ(
        answer(sim, "AT+CPBR=1,3"),
        "\r\n+CPBR: 1,\"+4915112345678\",145,\"Anna\",0\r\n\r\n+CPBR: 3,\"030123456\",129,\"Bert, Jr\",2\r\n"
        "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CPBR=4,250"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBR=?"), info("+CPBR: (1-250),40,20"));
    EXPECT_EQ(answer(sim, "AT+CPBR=0"), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR=251"), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR=3,1"), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR=x"), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR=99999999999"), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR"), kError);
}

TEST(Phonebook, VelmoraWritesWithCategoryAndEmptyType)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(answer(sim, "AT+CPBS=\"ME\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=5,\"+4930123\",145,\"Carla\",1"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=6,\"carla@example.org\",,\"Carla\",3"), kOk);
    const Memory &me = sim.contents().me;
    ASSERT_EQ(me.used(), 2);
    EXPECT_EQ(me.entries.at(5),
              (PhonebookEntry{QStringLiteral("+4930123"), 145, QStringLiteral("Carla"), 1}));
    EXPECT_EQ(me.entries.at(6), (PhonebookEntry{QStringLiteral("carla@example.org"), std::nullopt,
                                                QStringLiteral("Carla"), 3}));
    EXPECT_TRUE(sim.contents().sim.entries.empty());
    // Without a category (a general client) the entry reads back as category 0.
    EXPECT_EQ(answer(sim, "AT+CPBW=7,\"123\",129,\"Dirk\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBR=7"), info("+CPBR: 7,\"123\",129,\"Dirk\",0"));
}

TEST(Phonebook, WritesThatAHandsetRefuses)
{
    PhoneSim k110{QStringLiteral("K110")};
    EXPECT_EQ(answer(k110, "AT+CPBW=1,0,\"123\",129,\"Memory digit\""), kError); // not a Tarvex
    EXPECT_EQ(answer(k110, "AT+CPBW=1,\"123\",129,\"Name\",1,5"), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=1,123,129,\"Unquoted\""), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=1,\"123\",129,\"Eighteen chars ok!\""), kOk);
    EXPECT_EQ(answer(k110, "AT+CPBW=1,\"123\",129,\"Nineteen characters\""), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=1,\"123\",129,\"Broken \"quote\""), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=251,\"123\",129,\"Name\""), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=1,\"0123456789012345678901234567890123456789X\",129,\"Long\""), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=2,\"a-very-long-address@example.org\",,\"Mail\",3"), kError);
    EXPECT_EQ(answer(k110, "AT+CPBW=2,\"123\",99,\"Type\""), kError);
    PhoneSim d240{QStringLiteral("D240")};
    EXPECT_EQ(answer(d240, "AT+CPBW=1,\"123\",129,\"Category\",0"), kError);
    EXPECT_EQ(answer(d240, "AT+CPBW=1,\"123\",129,\"Twenty characters ok\""), kOk);
    EXPECT_EQ(k110.contents().sim.used(), 1);
}

TEST(Phonebook, TarvexMemoryDigitChoosesTheMemory)
{
    PhoneSim sim{QStringLiteral("F660")};
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=1,0,\"+4930\",145,\"Sim\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=1,2,\"0301\",129,\"Handset\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=2,\"0302\",129,\"Plain\""), kOk); // a general client's form
    EXPECT_EQ(answer(sim, "AT+CPBW=3,1,\"0303\",129,\"Bad digit\""), kError);
    EXPECT_EQ(answer(sim, "AT+CPBW=3,0,\"0303\",129,\"Fifteen chars!!\""), kError);
    EXPECT_EQ(answer(sim, "AT+CPBW=3,0,\"0303\",129,\"Name\",0"), kError); // no categories
    EXPECT_EQ(sim.contents().sim.entries.at(1).name, QStringLiteral("Sim"));
    EXPECT_EQ(sim.contents().sim.entries.at(2).name, QStringLiteral("Plain"));
    EXPECT_EQ(sim.contents().me.entries.at(1).name, QStringLiteral("Handset"));
    EXPECT_EQ(answer(sim, "AT+CPBW=1,2"), kOk); // erase in the handset memory
    EXPECT_TRUE(sim.contents().me.entries.empty());
    EXPECT_EQ(sim.contents().sim.used(), 2);
}

TEST(Phonebook, Ucs2CharsetCarriesNamesAsHex)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(answer(sim, "AT+CSCS=\"UCS2\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=1,\"+49\",145,\"004A00FC0072006700650020010D\""), kOk);
    EXPECT_EQ(sim.contents().sim.entries.at(1).name, QStringLiteral("J\u00fcrge \u010d"));
    EXPECT_EQ(answer(sim, "AT+CPBR=1"), info("+CPBR: 1,\"+49\",145,\"004A00FC0072006700650020010D\",0"));
    EXPECT_EQ(answer(sim, "AT+CPBW=2,\"+49\",145,\"004A00F\""), kError);
    EXPECT_EQ(answer(sim, "AT+CPBW=2,\"+49\",145,\"004A00FG\""), kError);
    EXPECT_EQ(answer(sim, "AT+CSCS=\"IRA\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBR=1"), "\r\n+CPBR: 1,\"+49\",145,\"J\xfcrge ?\",0\r\n\r\nOK\r\n");
}

TEST(Phonebook, LocationAloneErasesAndEmptyLocationTakesTheFirstFree)
{
    PhoneSim sim = withEntries("L420");
    EXPECT_EQ(answer(sim, "AT+CPBW=1"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=1"), kOk); // erasing an empty location is harmless
    EXPECT_EQ(sim.contents().sim.used(), 1);
    EXPECT_EQ(answer(sim, "AT+CPBW=,\"555\",129,\"Free\""), kOk);
    EXPECT_EQ(sim.contents().sim.entries.at(1).name, QStringLiteral("Free"));
    EXPECT_EQ(answer(sim, "AT+CPBW=,\"556\",129,\"Next\""), kOk);
    EXPECT_EQ(sim.contents().sim.entries.at(2).name, QStringLiteral("Next"));
    EXPECT_EQ(answer(sim, "AT+CPBW="), kError);
}

TEST(Phonebook, FullMemoryRefusesAFreeLocationWrite)
{
    HandsetContents c = HandsetContents::forModel(QStringLiteral("G170"));
    c.sim.capacity = 2;
    c.sim.entries[1] = {QStringLiteral("1"), 129, QStringLiteral("One"), 0};
    c.sim.entries[2] = {QStringLiteral("2"), 129, QStringLiteral("Two"), 0};
    PhoneSim sim(c);
    EXPECT_EQ(answer(sim, "AT+CMEE=1"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBW=,\"3\",129,\"Three\""), "\r\n+CME ERROR: 20\r\n");
}

TEST(Phonebook, SimNotReadyRefusesSimCommandsOnly)
{
    HandsetContents c = HandsetContents::forModel(QStringLiteral("K110"));
    c.simReady = false;
    PhoneSim sim(c);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), kError);
    EXPECT_EQ(answer(sim, "AT+CPBR=1"), kError); // SM is still the selected memory
    EXPECT_EQ(answer(sim, "AT+CPIN?"), info("+CPIN: SIM PIN"));
    EXPECT_EQ(answer(sim, "AT+CMEE=1"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(answer(sim, "AT+CIMI"), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(answer(sim, "AT+CPBS=\"ME\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS?"), info("+CPBS: \"ME\",0,500"));
    sim.handset().setSimErrorStyle(SimErrorStyle::Plain);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), kError);
    sim.handset().setSimErrorStyle(SimErrorStyle::Cme);
    EXPECT_EQ(answer(sim, "AT+CMEE=0"), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), "\r\n+CME ERROR: 11\r\n");
    EXPECT_EQ(answer(sim, "AT+CPIN=\"1234\""), kOk);
    EXPECT_EQ(answer(sim, "AT+CPBS=\"SM\""), kOk);
}

} // namespace
