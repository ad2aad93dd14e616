#include "common/NameSuffix.h"
#include "common/Globals.h"

#include <gtest/gtest.h>

using namespace orvia;

namespace {

class NameSuffixTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }
};

TEST_F(NameSuffixTest, StripAndKindOfEntryNames)
{
    struct Case
    {
        QString name;
        QString stripped;
        qint16 kind;
    };
    const Case cases[] = {
        {QStringLiteral("Anna#H"), QStringLiteral("Anna"), 2},
        {QStringLiteral("Anna#W"), QStringLiteral("Anna"), 3},
        {QStringLiteral("Anna"), QStringLiteral("Anna"), 1},
        {QStringLiteral("Anna#X"), QStringLiteral("Anna#X"), 1},
        {QStringLiteral("Anna#h"), QStringLiteral("Anna#h"), 1}, // case-sensitive
        {QStringLiteral("Anna#"), QStringLiteral("Anna#"), 1},
        {QStringLiteral("Bob#xH"), QStringLiteral("Bob"), 1}, // the letter may sit anywhere for stripping
        {QStringLiteral("Bob#W#H"), QStringLiteral("Bob"), 3},
        {QStringLiteral("#H"), QString(), 2},
        {QStringLiteral("Hans"), QStringLiteral("Hans"), 1}, // H before any "#" does not count
        {QString(), QString(), 1},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(StripSuffix(c.name), c.stripped) << c.name.toStdString();
        EXPECT_EQ(SuffixType(c.name), c.kind) << c.name.toStdString();
    }
}

TEST_F(NameSuffixTest, FollowsTheSuffixTextsOfTheGlobalState)
{
    globals().gSuffixHash = QStringLiteral("/");
    globals().gSuffixHome = QStringLiteral("P");
    EXPECT_EQ(StripSuffix(QStringLiteral("Anna/P")), QStringLiteral("Anna"));
    EXPECT_EQ(SuffixType(QStringLiteral("Anna/P")), 2);
    EXPECT_EQ(SuffixType(QStringLiteral("Anna#H")), 1);

    // Texts never set leave names alone rather than cutting everything.
    globals().gSuffixHash.clear();
    EXPECT_EQ(StripSuffix(QStringLiteral("Anna#H")), QStringLiteral("Anna#H"));
    EXPECT_EQ(SuffixType(QStringLiteral("Anna#H")), 1);
}

} // namespace
