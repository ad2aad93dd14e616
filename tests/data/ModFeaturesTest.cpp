#include "data/ModFeatures.h"
#include "ExpectError.h"

#include <gtest/gtest.h>

using namespace orvia;

TEST(ModFeaturesTest, NewRecordText)
{
    ModFeatures mf;
    EXPECT_EQ(mf.GetDataText(), QStringLiteral(", 0,0,0,0,0,0,0,0,False,False"));
}

TEST(ModFeaturesTest, RoundTripKeepsEveryField)
{
    ModFeatures mf;
    mf.name = QStringLiteral("K310");
    mf.ME_capacity = 10000;
    mf.ME_filled = 12;
    mf.SM_capacity = 250;
    mf.SM_filled = -1;
    mf.NameLen = 18;
    mf.EmailLen = 0;
    mf.CalBodyLen = 60;
    mf.Cal_capacity = 300;
    mf.ExtPB = true;
    mf.writeable = true;
    EXPECT_EQ(mf.GetDataText(), QStringLiteral("K310, 10000,12,250,-1,18,0,60,300,True,True"));

    ModFeatures back;
    back.SetDataText(mf.GetDataText());
    EXPECT_EQ(back.GetDataText(), mf.GetDataText());
    EXPECT_EQ(back.ME_capacity, 10000);
    EXPECT_TRUE(back.ExtPB);
    EXPECT_TRUE(back.writeable);

    mf.ME_capacity = -5;
    EXPECT_TRUE(mf.GetDataText().startsWith(QStringLiteral("K310,-5,")));
    back.SetDataText(mf.GetDataText());
    EXPECT_EQ(back.ME_capacity, -5);
}

TEST(ModFeaturesTest, CommasInNames)
{
    ModFeatures mf;
    mf.name = QStringLiteral("Tarvex \"G,170\"");
    ModFeatures back;
    back.SetDataText(mf.GetDataText());
    EXPECT_EQ(back.name, mf.name);

    mf.name = QStringLiteral("a,b"); // a bare comma shifts every later field
    EXPECT_RUNTIME_ERROR(back.SetDataText(mf.GetDataText()), ErrTypeMismatch);
    EXPECT_EQ(back.name, QStringLiteral("a"));
}

TEST(ModFeaturesTest, FlagsAreCaseSensitive)
{
    ModFeatures mf;
    mf.SetDataText(QStringLiteral("x,1,2,3,4,5,6,7,8,true,TRUE"));
    EXPECT_FALSE(mf.ExtPB);
    EXPECT_FALSE(mf.writeable);
    EXPECT_EQ(mf.Cal_capacity, 8);
    mf.SetDataText(QStringLiteral("x, 1 ,2,3,4,5,6,7,8,True,True"));
    EXPECT_EQ(mf.ME_capacity, 1);
    EXPECT_TRUE(mf.writeable);
}

TEST(ModFeaturesTest, BadLinesFailKeepingEarlierFields)
{
    ModFeatures mf;
    EXPECT_RUNTIME_ERROR(mf.SetDataText(QStringLiteral("n,1,2,3")), ErrInvalidArgument);
    EXPECT_EQ(mf.name, QStringLiteral("n"));
    EXPECT_EQ(mf.ME_filled, 2);
    EXPECT_EQ(mf.SM_capacity, 0);
    EXPECT_RUNTIME_ERROR(mf.SetDataText(QStringLiteral("n,1,2,3,4,5,6,7,8,True")), ErrInvalidArgument);
    EXPECT_RUNTIME_ERROR(mf.SetDataText(QStringLiteral("n,1,x,3,4,5,6,7,8,True,True")), ErrTypeMismatch);
    EXPECT_RUNTIME_ERROR(mf.SetDataText(QStringLiteral("n,40000,2,3,4,5,6,7,8,True,True")), ErrOverflow);
    EXPECT_RUNTIME_ERROR(mf.SetDataText(QString()), ErrInvalidArgument);
}
