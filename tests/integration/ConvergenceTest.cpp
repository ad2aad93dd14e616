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

// Consecutive seeds walk through every model and every fill of the memories.
INSTANTIATE_TEST_SUITE_P(Seeds, Convergence, ::testing::Range(quint32(1), quint32(28)));
