#include "common/LanguageScrambler.h"

#include <gtest/gtest.h>

using namespace orvia;

TEST(LanguageScrambler, KnownBytesAndCheckByte)
{
    // a = ',' '0' CR LF: b(0) = ',' ^ 0x2E, b(i) = a(i) ^ a(i-1) ^ 0x2E, check = XOR of all a.
    const QByteArray plain(",0\r\n");
    const QByteArray expected = QByteArray::fromHex("02 32 13 29 1B");
    EXPECT_EQ(ScrambleBytes(plain), expected);
    QByteArray back;
    EXPECT_TRUE(UnscrambleToBytes(expected, back));
    EXPECT_EQ(back, plain);
}

TEST(LanguageScrambler, RoundTripsEveryByteValue)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    all += all; // repeated pairs, so the chaining sees equal neighbours too
    QByteArray back;
    EXPECT_TRUE(UnscrambleToBytes(ScrambleBytes(all), back));
    EXPECT_EQ(back, all);

    EXPECT_EQ(ScrambleBytes(QByteArray()), QByteArray(1, '\0'));
    EXPECT_TRUE(UnscrambleToBytes(QByteArray(1, '\0'), back));
    EXPECT_TRUE(back.isEmpty());
}

TEST(LanguageScrambler, DamageIsDetected)
{
    const QByteArray good = ScrambleBytes(QByteArray(",2\r\n1,en,Setup\r\n1,de,Einrichtung\r\n"));
    QByteArray out;

    QByteArray badCheck = good;
    badCheck[badCheck.size() - 1] = char(badCheck.back() ^ 0x01);
    EXPECT_FALSE(UnscrambleToBytes(badCheck, out));
    // The decoded text is handed out anyway.
    EXPECT_EQ(out, QByteArray(",2\r\n1,en,Setup\r\n1,de,Einrichtung\r\n"));

    QByteArray badLast = good;
    badLast[badLast.size() - 2] = char(badLast.at(badLast.size() - 2) ^ 0x40);
    EXPECT_FALSE(UnscrambleToBytes(badLast, out));

    EXPECT_FALSE(UnscrambleToBytes(good.left(good.size() - 1), out)); // cut by one byte
    EXPECT_FALSE(UnscrambleToBytes(QByteArray(), out));               // no check byte at all
    EXPECT_TRUE(out.isEmpty());
}

TEST(LanguageScrambler, TextGoesThroughWindows1252)
{
    const QString text = QStringLiteral("Geburtstag \u00E4\u00F6\u00FC\u00DF \u20AC \u201EJa\u201C \u00B4");
    const QByteArray bytes = ScrambleText(text);
    EXPECT_EQ(bytes.size(), text.size() + 1); // one byte per character plus the check byte
    QString back;
    EXPECT_TRUE(UnscrambleBytes(bytes, back));
    EXPECT_EQ(back, text);

    // A character outside the code page is written as '?'.
    EXPECT_TRUE(UnscrambleBytes(ScrambleText(QStringLiteral("a\u0142b")), back));
    EXPECT_EQ(back, QStringLiteral("a?b"));
}
