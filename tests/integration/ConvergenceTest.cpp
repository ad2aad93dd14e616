// Whole runs over generated contents for every model: after the first contacts and calendar runs,
// nothing moves any more, nothing is doubled, and what one side holds reaches the other or is named
// in the run's details.
#include "convergence/ConvergenceCheck.h"
#include <ctime>
#include <gtest/gtest.h>

using namespace orvia::test::convergence;

class Convergence : public ::testing::TestWithParam<quint32>
{
};

// The zone in force for a seed's runs: clock changes of an hour either way, one of half an hour, none.
class SeedZone
{
public:
    explicit SeedZone(quint32 seed) : m_had(qEnvironmentVariableIsSet("TZ")), m_old(qgetenv("TZ"))
    {
        static const char *const zones[] = {"Europe/Berlin", "America/New_York", "Australia/Lord_Howe",
                                            "UTC"};
        qputenv("TZ", zones[seed / 5 % 4]);
        tzset();
    }
    ~SeedZone()
    {
        if (m_had)
            qputenv("TZ", m_old);
        else
            qunsetenv("TZ");
        tzset();
    }
    const char *name() const { return getenv("TZ"); }

private:
    bool m_had;
    QByteArray m_old;
};

TEST_P(Convergence, LaterRunsMoveNothingAndEveryItemReadsBackOrIsNoticed)
{
    static const Keywords words =
        loadKeywords(qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl"));
    ASSERT_FALSE(words.meeting.isEmpty());
    const SeedZone zone(GetParam());
    const World world = generateWorld(GetParam(), TextClasses(), words, runStart());
    const Verdict v = checkWorld(world, words);
    EXPECT_TRUE(v.ok()) << "TZ=" << zone.name() << "\n"
                        << v.failures.join(u'\n').toStdString() << "\n"
                        << describeWorld(world).toStdString();
}

// Models follow the seed modulo 9, fills modulo 27 and regional settings modulo 135: every fifth seed
// up to 135 meets each model, fill and setting; the zones take turns.
INSTANTIATE_TEST_SUITE_P(Seeds, Convergence, ::testing::Range(quint32(1), quint32(136), quint32(5)));
