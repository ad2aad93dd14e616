#include "platform/Windows1252.h"
#include <gtest/gtest.h>

using namespace orvia;

TEST(Windows1252, EveryByteRoundTripsAndStrangersBecomeQuestionMarks)
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    const QString text = cp1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(text.at(0x80), QChar(0x20AC));
    EXPECT_EQ(text.at(0x9F), QChar(0x0178));
    EXPECT_EQ(text.at(0x81), QChar(0x0081));
    EXPECT_EQ(text.at(0xE9), QChar(0x00E9));
    EXPECT_EQ(cp1252::encode(text), all);
    EXPECT_EQ(cp1252::encode(QStringLiteral("\u0416x\U0001F600y")), QByteArray("?x?y"));
    EXPECT_EQ(cp1252::encode(QString(QChar(0xD800))), QByteArray("?")); // lone surrogate
}
