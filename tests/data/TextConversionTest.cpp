#include "ExpectError.h"
#include "common/FieldEscaping.h"
#include "common/NumberText.h"
#include "common/Windows1252.h"

#include <gtest/gtest.h>

using namespace orvia;

TEST(FieldEscapingTest, EscapesEverySpecialCharacter)
{
    EXPECT_EQ(EscapeField(QStringLiteral("Smith, J/r")), QStringLiteral("Smith/c J//r"));
    EXPECT_EQ(EscapeField(QStringLiteral("say \"hi\"")), QStringLiteral("say /ahi/a"));
    EXPECT_EQ(EscapeField(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a/rbc/rd"));
    EXPECT_EQ(EscapeField(QString()), QString());
}

TEST(FieldEscapingTest, UnescapesEverySequence)
{
    EXPECT_EQ(UnescapeField(QStringLiteral("Smith/c J//r")), QStringLiteral("Smith, J/r"));
    EXPECT_EQ(UnescapeField(QStringLiteral("/a/r/c//")), QStringLiteral("\"\r\n,/"));
    EXPECT_EQ(UnescapeField(QStringLiteral("/x/A")),
              QStringLiteral("xA")); // letters compare case-sensitively
    EXPECT_EQ(UnescapeField(QStringLiteral("end/")), QStringLiteral("end/"));
    EXPECT_EQ(UnescapeField(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(UnescapeField(QStringLiteral("///")), QStringLiteral("//"));
}

TEST(FieldEscapingTest, RoundTripKeepsTextExceptLineBreakShapes)
{
    const QString plain = QStringLiteral("O'Neil \"Bob\", 12/3 \u00E9\u20AC");
    EXPECT_EQ(UnescapeField(EscapeField(plain)), plain);
    EXPECT_EQ(UnescapeField(EscapeField(QStringLiteral("a\r\nb"))), QStringLiteral("a\r\nb"));
    EXPECT_EQ(UnescapeField(EscapeField(QStringLiteral("a\rb"))), QStringLiteral("a\r\nb"));
    EXPECT_EQ(UnescapeField(EscapeField(QStringLiteral("a\nb"))), QStringLiteral("ab"));
    // The escaped form never holds a character that would break a record line.
    const QString escaped = EscapeField(QStringLiteral("\",/\r\n"));
    EXPECT_FALSE(escaped.contains(u',') || escaped.contains(u'"') || escaped.contains(u'\r') ||
                 escaped.contains(u'\n'));
}

TEST(NumberTextTest, AcceptsNumbersWithBlanksSignsAndFractions)
{
    EXPECT_EQ(textToInt16(QStringLiteral("12")), 12);
    EXPECT_EQ(textToInt16(QStringLiteral("  -5 ")), -5);
    EXPECT_EQ(textToInt16(QStringLiteral("+7")), 7);
    EXPECT_EQ(textToInt16(QStringLiteral("007")), 7);
    EXPECT_EQ(textToInt16(QStringLiteral("2.5")), 2); // half to even
    EXPECT_EQ(textToInt16(QStringLiteral("3.5")), 4);
    EXPECT_EQ(textToInt16(QStringLiteral("1e3")), 1000);
    EXPECT_EQ(textToInt16(QStringLiteral("-32768")), -32768);
    EXPECT_EQ(textToInt32(QStringLiteral("-2147483648")), std::numeric_limits<qint32>::min());
}

TEST(NumberTextTest, RejectsNonNumbersAndOutOfRange)
{
    for (const char *bad : {"", " ", "abc", "12a", "1 2", "-", ".", "0x10", "inf", "nan", "1e", "--1", "\t"})
        EXPECT_RUNTIME_ERROR(textToInt16(QString::fromLatin1(bad)), ErrTypeMismatch);
    for (const char *big : {"32768", "-32769", "99999999999999999999999", "1e400", "32767.5"})
        EXPECT_RUNTIME_ERROR(textToInt16(QString::fromLatin1(big)), ErrOverflow);
    EXPECT_RUNTIME_ERROR(textToInt32(QStringLiteral("2147483648")), ErrOverflow);
}

TEST(NumberTextTest, BooleanFromWordsOrNumbers)
{
    EXPECT_TRUE(textToBoolean(QStringLiteral("1")));
    EXPECT_TRUE(textToBoolean(QStringLiteral("-1")));
    EXPECT_FALSE(textToBoolean(QStringLiteral("0")));
    EXPECT_TRUE(textToBoolean(QStringLiteral("True")));
    EXPECT_FALSE(textToBoolean(QStringLiteral("false")));
    EXPECT_RUNTIME_ERROR(textToBoolean(QStringLiteral("yes")), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(textToBoolean(QString()), ErrTypeMismatch);
}

TEST(Windows1252Test, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = fromWindows1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(toWindows1252(text), all);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0x8A), QChar(0x0160));
    EXPECT_EQ(text.at(0x81), QChar(0x0081)); // undefined bytes keep their value
    EXPECT_EQ(text.at(0xFF), QChar(0x00FF));
}

TEST(Windows1252Test, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(charToWindows1252(QChar(0x0416)), -1);
    EXPECT_EQ(charToWindows1252(QChar(0x2122)), 0x99);
    EXPECT_EQ(toWindows1252(QStringLiteral("a\u0416\u20ACz")), QByteArray("a?\x80z"));
}
