// What each model answers to the identification commands, and the properties the phone detection
// and both drivers rely on.
#include "SimTestHelpers.h"

#include <gtest/gtest.h>

using namespace orvia::phonesim;
using orvia::phonesim::test::answer;
using orvia::phonesim::test::ask;

namespace {

struct IdentCase
{
    const char *model;
    const char *atzi;
    const char *gmm;
    const char *cgmm;
};

const IdentCase kCases[] = {
    {"K110", "Velmora K110 GSM", "Velmora K110", "K110"},
    {"K310", "Velmora K310 GSM", "Velmora K310", "K310"},
    {"M230", "Velmora M230 GSM", "Velmora M230", "M230"},
    {"L420", "Velmora L420 GSM", "Velmora L420", "L420"},
    {"D240", "Velmora D240 GSM", "Velmora D240", "D240"},
    {"G170", "Tarvex GSM 9600", "Tarvex Mobile", "G170"},
    {"F550", "Tarvex GSM 9600", "Tarvex Mobile", "F550"},
    {"F660", "Tarvex GSM 9600", "Tarvex Mobile", "QX_B"},
    {"H280X", "Tarvex GSM 9600", "Tarvex Mobile", "F150"},
};

QByteArray infoReply(const char *line)
{
    return QByteArray("\r\n") + line + "\r\n\r\nOK\r\n";
}

class IdentificationTest : public ::testing::TestWithParam<IdentCase>
{
};

TEST_P(IdentificationTest, AnswersTheModelsLines)
{
    const IdentCase &c = GetParam();
    PhoneSim sim{QString::fromLatin1(c.model)};
    EXPECT_EQ(answer(sim, "ATZ"), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "ATZI"), infoReply(c.atzi));
    EXPECT_EQ(answer(sim, "AT+GMM"), infoReply(c.gmm));
    EXPECT_EQ(answer(sim, "AT+CGMM"), infoReply(c.cgmm));
}

TEST_P(IdentificationTest, IsRecognisedAsItsFamilyOnly)
{
    const IdentCase &c = GetParam();
    PhoneSim sim{QString::fromLatin1(c.model)};
    const QString ident = QString::fromLatin1(c.atzi);
    const QString gmm = QString::fromLatin1(c.gmm);
    // Detection accepts a port whose identification line holds one of these words.
    EXPECT_TRUE(ident.contains(QLatin1String("9600")) || ident.contains(QLatin1String("Velmora")));
    const bool velmoraCode = gmm.contains(QLatin1String("K110")) || gmm.contains(QLatin1String("K310")) ||
                             gmm.contains(QLatin1String("M230")) || gmm.contains(QLatin1String("L420")) ||
                             gmm.contains(QLatin1String("D240"));
    if (sim.handset().model().family == Family::Velmora) {
        EXPECT_TRUE(gmm.contains(QString::fromLatin1(c.model)));
        EXPECT_FALSE(gmm.contains(QLatin1String("Tarvex")));
    } else {
        EXPECT_TRUE(gmm.contains(QLatin1String("Tarvex")));
        EXPECT_FALSE(velmoraCode);
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, IdentificationTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.model); });

TEST(GeneralCommands, AnswerWhatAGeneralClientAsks)
{
    PhoneSim sim{QStringLiteral("K310")};
    EXPECT_EQ(answer(sim, "AT+CGMI"), infoReply("Velmora"));
    EXPECT_EQ(answer(sim, "AT+CGMR"), infoReply("V 2.31"));
    EXPECT_EQ(answer(sim, "AT+CGSN"), infoReply("351234567890126"));
    EXPECT_EQ(answer(sim, "AT+CIMI"), infoReply("262019876543210"));
    EXPECT_EQ(answer(sim, "AT+CFUN=1"), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CFUN?"), infoReply("+CFUN: 1"));
    EXPECT_EQ(answer(sim, "AT+CSCS?"), infoReply("+CSCS: \"IRA\""));
    EXPECT_EQ(answer(sim, "AT+CSCS=?"), infoReply("+CSCS: (\"IRA\",\"8859-1\",\"UCS2\")"));
    EXPECT_EQ(answer(sim, "AT+CSCS=\"8859-1\""), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CSCS?"), infoReply("+CSCS: \"8859-1\""));
    EXPECT_EQ(answer(sim, "AT+CSCS=\"HEX\""), "\r\nERROR\r\n");
    EXPECT_EQ(answer(sim, "AT+CPIN?"), infoReply("+CPIN: READY"));
    EXPECT_EQ(answer(sim, "AT"), "\r\nOK\r\n");
}

TEST(GeneralCommands, ErrorModeFollowsCmeeAndResetsWithAtz)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(answer(sim, "AT+CPBR=999"), "\r\nERROR\r\n");
    EXPECT_EQ(answer(sim, "AT+CMEE=1"), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CMEE?"), infoReply("+CMEE: 1"));
    EXPECT_EQ(answer(sim, "AT+CPBR=999"), "\r\n+CME ERROR: 21\r\n");
    EXPECT_EQ(answer(sim, "AT+CMEE=2"), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CPBR=999"), "\r\n+CME ERROR: invalid index\r\n");
    // Unknown commands are syntax errors: plain ERROR whatever the mode.
    EXPECT_EQ(answer(sim, "AT+XYZ"), "\r\nERROR\r\n");
    EXPECT_EQ(answer(sim, "AT+CMEE=3"), "\r\nERROR\r\n");
    EXPECT_EQ(answer(sim, "ATZ"), "\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CPBR=999"), "\r\nERROR\r\n");
}

TEST(GeneralCommands, SeveralCommandsOnOneLineStopAtTheFirstError)
{
    PhoneSim sim{QStringLiteral("K110")};
    EXPECT_EQ(answer(sim, "ATE1+CGMI;+CGMM"), "\r\nVelmora\r\n\r\nK110\r\n\r\nOK\r\n");
    EXPECT_EQ(answer(sim, "AT+CGMI;+NOPE;+CGMM"), "\r\nVelmora\r\n\r\nERROR\r\n");
    EXPECT_EQ(answer(sim, "ATV0"), "\r\nERROR\r\n"); // numeric results are not offered
    EXPECT_EQ(answer(sim, "ATD123;"), "\r\nERROR\r\n");
}

TEST(GeneralCommands, UnknownModelIsRefused)
{
    EXPECT_THROW(PhoneSim{QStringLiteral("X999")}, std::invalid_argument);
}

} // namespace
