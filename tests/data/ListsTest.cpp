#include "ExpectError.h"
#include "data/ByteArray.h"
#include "data/IntArray.h"
#include "data/StringArray.h"

#include <gtest/gtest.h>

using namespace orvia;

TEST(IntArrayTest, NewListIsEmptyAndRefusesIndexing)
{
    IntArray a;
    EXPECT_EQ(a.count(), 0);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(a.tostr(), QString());
    EXPECT_TRUE(a.data().isEmpty());
    EXPECT_RUNTIME_ERROR(a.GetItem(0), ErrSubscript);
    EXPECT_RUNTIME_ERROR(a.pop(), ErrSubscript);
    a.log(); // walks nothing, never fails
}

TEST(IntArrayTest, AddGetClearPop)
{
    IntArray a;
    a.add(4);
    a.add(-7);
    a.add(32767);
    EXPECT_EQ(a.count(), 3);
    EXPECT_EQ(a.GetItem(2), 32767);
    EXPECT_EQ(a.GetItem(1), -7);
    EXPECT_RUNTIME_ERROR(a.GetItem(3), ErrSubscript);
    EXPECT_RUNTIME_ERROR(a.GetItem(-1), ErrSubscript);
    EXPECT_EQ(a.data(), (QList<qint16>{4, -7, 32767}));

    EXPECT_EQ(a.pop(), 32767);
    EXPECT_EQ(a.count(), 2);
    a.Clear();
    EXPECT_EQ(a.count(), 0);
    a.add(9);
    EXPECT_EQ(a.GetItem(0), 9);
    EXPECT_EQ(a.pop(), 9);
    EXPECT_TRUE(a.isEmpty());
}

TEST(IntArrayTest, TostrUsesTheAnsiCodePage)
{
    IntArray a;
    for (qint16 c : {72, 105, 0x80, 0xE9, 0x9F})
        a.add(c);
    EXPECT_EQ(a.tostr(), QStringLiteral("Hi\u20AC\u00E9\u0178"));
    a.add(256);
    EXPECT_RUNTIME_ERROR(a.tostr(), ErrInvalidArgument);
}

TEST(IntArrayTest, FullListOverflowsInsteadOfWrapping)
{
    IntArray a;
    for (int i = 0; i < 32767; ++i)
        a.add(qint16(i));
    EXPECT_EQ(a.count(), 32767);
    EXPECT_RUNTIME_ERROR(a.add(1), ErrOverflow);
    EXPECT_EQ(a.count(), 32767);
    EXPECT_EQ(a.GetItem(32766), 32766);
}

TEST(ByteArrayTest, AddsSingleValuesAndSequences)
{
    ByteArray b;
    EXPECT_EQ(b.count(), 0);
    EXPECT_EQ(b.tostr(), QString());
    b.add(65);
    b.add(QByteArray("BC\xE4", 3));
    EXPECT_EQ(b.count(), 4);
    EXPECT_EQ(b.data(), QByteArray("ABC\xE4", 4));
    EXPECT_EQ(b.tostr(), QStringLiteral("ABC\u00E4"));
    b.Clear();
    EXPECT_EQ(b.count(), 0);
}

TEST(ByteArrayTest, OutOfRangeAndNonNumbersLeaveTheListUnchanged)
{
    ByteArray b;
    b.add(1);
    EXPECT_RUNTIME_ERROR(b.add(256), ErrOverflow);
    EXPECT_RUNTIME_ERROR(b.add(-1), ErrOverflow);
    EXPECT_RUNTIME_ERROR(b.add(QVariant(QStringLiteral("300"))), ErrOverflow);
    EXPECT_RUNTIME_ERROR(b.add(QVariant(QStringLiteral("abc"))), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(b.add(QVariant(1e10)), ErrOverflow);
    EXPECT_EQ(b.count(), 1);
    b.add(QVariant(QStringLiteral(" 200 ")));
    b.add(QVariant(7.0));
    b.add(QVariant(QByteArray("xy")));
    EXPECT_EQ(b.data(), QByteArray("\x01\xC8\x07xy", 5));
}

TEST(ByteArrayTest, SequenceThatDoesNotFitIsRefusedWhole)
{
    ByteArray b;
    b.add(QByteArray(32760, 'a'));
    EXPECT_RUNTIME_ERROR(b.add(QByteArray(8, 'b')), ErrOverflow);
    EXPECT_EQ(b.count(), 32760);
    b.add(QByteArray(7, 'c'));
    EXPECT_EQ(b.count(), 32767);
}

TEST(StringArrayTest, AddGetClear)
{
    StringArray s;
    EXPECT_EQ(s.count(), 0);
    EXPECT_RUNTIME_ERROR(s.GetItem(0), ErrSubscript);
    s.add(QStringLiteral("one"));
    s.add(QString());
    s.add(QStringLiteral("three"));
    EXPECT_EQ(s.count(), 3);
    EXPECT_EQ(s.GetItem(2), QStringLiteral("three"));
    EXPECT_EQ(s.GetItem(1), QString());
    s.Clear();
    EXPECT_EQ(s.count(), 0);
    s.add(QStringLiteral("again"));
    EXPECT_EQ(s.GetItem(0), QStringLiteral("again"));
}

TEST(StringArrayTest, ContainsIsCaseBlindAndLowersTheArgument)
{
    StringArray s;
    QString probe = QStringLiteral("MEETING");
    EXPECT_FALSE(s.Contains(probe));
    EXPECT_EQ(probe, QStringLiteral("meeting"));

    s.add(QStringLiteral("Besprechung"));
    s.add(QStringLiteral("meeting"));
    probe = QStringLiteral("MeEtInG");
    EXPECT_TRUE(s.Contains(probe));
    EXPECT_EQ(probe, QStringLiteral("meeting"));

    QString prefix = QStringLiteral("Bespr");
    EXPECT_FALSE(s.Contains(prefix));
    QString stored = QStringLiteral("BESPRECHUNG");
    EXPECT_TRUE(s.Contains(stored));
    EXPECT_EQ(s.GetItem(0), QStringLiteral("Besprechung")); // elements keep their case
}
