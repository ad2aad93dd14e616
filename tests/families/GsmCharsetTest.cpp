#include "common/GsmCharset.h"
#include "common/Globals.h"

#include <gtest/gtest.h>

using namespace orvia;

namespace {

class GsmCharsetTest : public ::testing::Test
{
protected:
    void SetUp() override { resetGlobals(); }

    static QString lastLogLine()
    {
        return globals().gLog.recentLines().value(globals().gLog.recentLines().size() - 1);
    }
    static qsizetype logSize() { return globals().gLog.recentLines().size(); }

    static bool passesThrough(char16_t c)
    {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'%' && c <= u'?') ||
               (c >= u' ' && c <= u'#');
    }
};

TEST_F(GsmCharsetTest, LettersPassAndTableCharactersTakeTheirGsmCodes)
{
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Müller"), true), QStringLiteral("M") + QChar(126) + "ller");
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("$5"), true), QString(QChar(2)) + "5");
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Ä-ß é"), true),
              QString(QChar(91)) + "-" + QChar(30) + " " + QChar(5));
    EXPECT_EQ(ConvertGsmCharset(QString(QChar(1)), false), QStringLiteral("£"));
}

TEST_F(GsmCharsetTest, EmptyTextGivesEmptyTextWithoutLogging)
{
    const qsizetype before = logSize();
    EXPECT_EQ(ConvertGsmCharset(QString(), true), QString());
    EXPECT_EQ(ConvertGsmCharset(QString(), false), QString());
    EXPECT_EQ(logSize(), before);
}

TEST_F(GsmCharsetTest, UnconvertibleCharacterFailsWholeTextAndLogsIt)
{
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("anna@home"), true), QString());
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("Could not translate char @ #64 into a valid GSM charset entry."));

    // Only the first offending character is named; no partial text comes back.
    const qsizetype before = logSize();
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Ab_c^d"), true), QString());
    EXPECT_EQ(logSize(), before + 1);
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("Could not translate char _ #95 into a valid GSM charset entry."));

    for (const QString &bad :
         {QStringLiteral("a\r\nb"), QStringLiteral("x[1]"), QStringLiteral("{}"), QStringLiteral("~"),
          QStringLiteral("|"), QStringLiteral("\\"), QStringLiteral("`"), QStringLiteral("â"),
          QStringLiteral("ê"), QStringLiteral("€"), QString(QChar(0))})
        EXPECT_EQ(ConvertGsmCharset(bad, true), QString()) << bad.toStdString();
}

TEST_F(GsmCharsetTest, CharacterOutsideTheAnsiCodePageIsUnconvertibleNotAQuestionMark)
{
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Łukasz"), true), QString());
    EXPECT_EQ(lastLogLine(),
              QStringLiteral("Could not translate char Ł #321 into a valid GSM charset entry."));
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Zoë 😀"), true), QString()); // ë is not in the table either
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Jo 😀"), true), QString());  // a surrogate pair
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Дмитрий"), false), QString());
}

TEST_F(GsmCharsetTest, ReverseDirectionReadsSimNamesBack)
{
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("J~rgen#H"), false), QStringLiteral("Jürgen#H"));
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("Jürgen#H"), true), QStringLiteral("J~rgen#H"));
    // The dollar sign is a table character only in the text direction: code 36 is no GSM code here.
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("$5"), false), QString());
    EXPECT_EQ(ConvertGsmCharset(QString(QChar(0)), false), QString());
    EXPECT_EQ(ConvertGsmCharset(QStringLiteral("@"), false), QString());
}

// Every character either passes, converts through the table or fails; whatever converts comes back
// unchanged from the reverse direction, and the two directions never disagree about a table entry.
TEST_F(GsmCharsetTest, EveryConvertibleCharacterRoundTrips)
{
    int converted = 0;
    for (char32_t u = 0; u < 0x3000; ++u) {
        if (u >= 0xD800 && u <= 0xDFFF)
            continue;
        const QString one{QChar(char16_t(u))};
        const QString gsm = ConvertGsmCharset(one, true);
        if (gsm.isEmpty())
            continue;
        ++converted;
        ASSERT_EQ(gsm.size(), 1);
        if (passesThrough(char16_t(u)))
            EXPECT_EQ(gsm, one);
        else
            EXPECT_LT(gsm.at(0).unicode(), 128) << int(u);
        EXPECT_EQ(ConvertGsmCharset(gsm, false), one) << int(u);
    }
    // 52 letters, "%".."?" (27), blank to "#" (4), and the 26 table characters.
    EXPECT_EQ(converted, 52 + 27 + 4 + 26);
    EXPECT_EQ(kGsmPairs.size(), 26u);

    const QString name = QStringLiteral("Åsa Ødegård-Ñúñez");
    EXPECT_EQ(ConvertGsmCharset(name, true), QString()); // ú is outside the alphabet
    const QString fine = QStringLiteral("Åsa Ødegård-Ñuñez (£3, 50%)");
    EXPECT_EQ(ConvertGsmCharset(ConvertGsmCharset(fine, true), false), fine);
}

} // namespace
