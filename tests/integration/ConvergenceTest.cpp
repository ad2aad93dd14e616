// Whole runs over generated contents for every model: after the first contacts and calendar runs,
// nothing moves any more, nothing is doubled, and what one side holds reaches the other or is named
// in the run's details.
#include "convergence/ConvergenceCheck.h"
#include <gtest/gtest.h>

using namespace orvia::test::convergence;

class Convergence : public ::testing::TestWithParam<quint32>
{
};

TEST_P(Convergence, LaterRunsMoveNothingAndEveryItemReadsBackOrIsNoticed)
{
    static const Keywords words =
        loadKeywords(qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl"));
    ASSERT_FALSE(words.meeting.isEmpty());
    const World world = generateWorld(GetParam(), TextClasses(), words, runStart());
    const Verdict v = checkWorld(world, words);
    EXPECT_TRUE(v.ok()) << v.failures.join(u'\n').toStdString() << "\n" << describeWorld(world).toStdString();
}

// Models follow the seed modulo 9, fills modulo 27 and regional settings modulo 135: every fifth seed
// up to 135 meets each model, fill and setting.
INSTANTIATE_TEST_SUITE_P(Seeds, Convergence, ::testing::Range(quint32(1), quint32(136), quint32(5)));
