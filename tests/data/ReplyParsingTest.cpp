#include "common/ReplyParsing.h"
#include "ExpectError.h"

#include <gtest/gtest.h>

using namespace orvia;

namespace {
QString S(const char *s)
{
    return QString::fromLatin1(s);
}
const QString kComma = QStringLiteral(",");
} // namespace

TEST(SplitLinesTest, ElementZeroIsAlwaysEmpty)
{
    EXPECT_EQ(SplitLines(QString()), QStringList{QString()});
    EXPECT_EQ(SplitLines(S("no line end")), QStringList{QString()});
    EXPECT_EQ(SplitLines(S("one\r\ntwo\r\n")), (QStringList{QString(), S("one"), S("two")}));
    EXPECT_EQ(SplitLines(S("one\r\ntwo")), (QStringList{QString(), S("one")}));
}

TEST(SplitLinesTest, PhoneReplyShape)
{
    const QStringList lines = SplitLines(S("AT+GMM\r\r\nK310\r\n\r\nOK\r\n"));
    EXPECT_EQ(lines, (QStringList{QString(), S("AT+GMM"), QString(), S("K310"), QString(), S("OK")}));
}

TEST(SplitLinesTest, OnlyTheLineFeedRightAfterACarriageReturnIsDropped)
{
    EXPECT_EQ(SplitLines(S("a\n\rb\r")), (QStringList{QString(), S("a\n"), S("b")}));
    EXPECT_EQ(SplitLines(S("a\r\n\nb\r")), (QStringList{QString(), S("a"), S("\nb")}));
    EXPECT_EQ(SplitLines(S("\r\r")), (QStringList{QString(), QString(), QString()}));
}

TEST(FindSeparatorTest, SkipsCommasInsideQuotes)
{
    const QString line = S("+CPBR: 1,\"0171,234\",129,\"Smith, J\",x");
    // separators: after 1 (pos 9), after the number (pos 20), after 129 (pos 24), after the name (pos 35)
    EXPECT_EQ(FindSeparator(line, kComma, 1), 9);
    EXPECT_EQ(FindSeparator(line, kComma, 2), 20);
    EXPECT_EQ(FindSeparator(line, kComma, 3), 24);
    EXPECT_EQ(FindSeparator(line, kComma, 4), 35);
    EXPECT_EQ(FindSeparator(line, kComma, 5), 0);
    EXPECT_EQ(FindSeparator(S("+CPBR: 1,\"Smith, J\""), kComma, 2), 0);
}

TEST(FindSeparatorTest, ZeroNegativeAndTooLargeN)
{
    EXPECT_EQ(FindSeparator(S("a,b"), kComma, 0), -1);
    EXPECT_EQ(FindSeparator(S("a,b"), kComma, 2), 0);
    EXPECT_EQ(FindSeparator(S("a,b,c"), kComma, -1), 0);
    EXPECT_EQ(FindSeparator(QString(), kComma, 1), 0);
}

TEST(FindSeparatorTest, FirstCharacterIsNeverExamined)
{
    EXPECT_EQ(FindSeparator(S(",a,b"), kComma, 1), 3);
    EXPECT_EQ(FindSeparator(S(",a"), kComma, 1), 0);
    // A quote in the first character is not counted, so the comma after it is a separator.
    EXPECT_EQ(FindSeparator(S("\"a,b\",c"), kComma, 1), 3);
}

TEST(FindSeparatorTest, OtherSeparatorsHaveNoQuoteTest)
{
    EXPECT_EQ(FindSeparator(S("+CPBS: \"SM\""), S(":"), 1), 6);
    EXPECT_EQ(FindSeparator(S("+CPBS: \"SM\""), S("\""), 1), 8);
    EXPECT_EQ(FindSeparator(S("+CPBS: \"SM\""), S("\""), 2), 11);
    EXPECT_EQ(FindSeparator(S("a\"x,y\",b"), S("\""), 2), 6);
    EXPECT_EQ(FindSeparator(S("ab::c"), S("::"), 1), 3);
}

TEST(FindSeparatorTest, PositionBeyondSixteenBitsOverflows)
{
    const QString longText = QString(40000, u'x') + u',';
    EXPECT_RUNTIME_ERROR(FindSeparator(longText, kComma, 1), ErrOverflow);
    // Many separators are walked without deep recursion.
    QString many;
    for (int i = 0; i < 16000; ++i)
        many += S("a,");
    EXPECT_EQ(FindSeparator(many, kComma, 16000), 32000);
}

TEST(GetIntFieldTest, ReadsTheRunOfTheField)
{
    EXPECT_EQ(GetIntField(S("12,34"), 0), 12);
    EXPECT_EQ(GetIntField(S("12,34"), 1), 34);
    EXPECT_EQ(GetIntField(S("+CPBS: \"SM\",17,250"), 2), 250);
    EXPECT_EQ(GetIntField(S("+CPBR: 5,\"0,1\",129"), 2), 129);
    EXPECT_EQ(GetIntField(S("7,8"), 5), 7); // fewer commas: the text's start
    EXPECT_EQ(GetIntField(S("1, 42\r\n"), 1), 42);
    EXPECT_EQ(GetIntField(S("1,-3,"), 1), -3); // the first character is always taken
}

TEST(GetIntFieldTest, BadRunsAreErrors)
{
    EXPECT_RUNTIME_ERROR(GetIntField(S("1,abc"), 1), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(GetIntField(S("1,,2"), 1), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(GetIntField(S("1,"), 1), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(GetIntField(S("1,99999"), 1), ErrOverflow);
    EXPECT_RUNTIME_ERROR(GetIntField(QString(), 0), ErrTypeMismatch);
}

TEST(GetQuotedFieldTest, ReadsBetweenTheQuotes)
{
    EXPECT_EQ(GetQuotedField(S("+CPBR: 1,\"0171\",129,\"Smith, J\""), 1), S("0171"));
    EXPECT_EQ(GetQuotedField(S("+CPBR: 1,\"0171\",129,\"Smith, J\""), 3), S("Smith, J"));
    EXPECT_EQ(GetQuotedField(S("1,\"\",2"), 1), QString());
    EXPECT_EQ(GetQuotedField(S("1,2,\"\""), 2), QString());
    EXPECT_EQ(GetQuotedField(S("1,abc\""), 1), S("bc")); // an unquoted field loses its first character
}

TEST(GetQuotedFieldTest, MissingClosingQuoteIsInvalidArgument)
{
    EXPECT_RUNTIME_ERROR(GetQuotedField(S("1,\"abc"), 1), ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(GetQuotedField(S("1,"), 1), ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(GetQuotedField(QString(), 1), ErrInvalidArgument);
}

TEST(TrimCrLfTest, TrimsBothEndsInPlace)
{
    QString s = S("\r\n\r a\r\nb \n\r");
    EXPECT_EQ(TrimCrLf(s), S(" a\r\nb "));
    EXPECT_EQ(s, S(" a\r\nb "));
    QString only = S("\r\n\n");
    EXPECT_EQ(TrimCrLf(only), QString());
    QString empty;
    EXPECT_EQ(TrimCrLf(empty), QString());
}
