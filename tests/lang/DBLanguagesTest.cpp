#include "data/DBLanguages.h"
#include "LanguageFileFixture.h"
#include "platform/RuntimeError.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace orvia;
using orvia::test::addPhrase;
using orvia::test::errorOf;

TEST(DBLanguageItem, LineFormEscapesTheText)
{
    DBLanguageItem item;
    item.id = 17;
    item.language = QStringLiteral("fr");
    item.Text = QStringLiteral("Oui, \"non\" / peut-\u00EAtre\r\nfin");
    EXPECT_EQ(item.GetDataText(), QStringLiteral("17,fr,Oui/c /anon/a // peut-\u00EAtre/rfin\r\n"));

    DBLanguageItem back;
    back.SetDataText(item.GetDataText().chopped(2));
    EXPECT_EQ(back.id, 17);
    EXPECT_EQ(back.language, QStringLiteral("fr"));
    EXPECT_EQ(back.Text, item.Text);
}

TEST(DBLanguageItem, TextMayHoldFurtherCommasAndMayBeEmpty)
{
    DBLanguageItem item;
    item.SetDataText(QStringLiteral("3,de,a,b"));
    EXPECT_EQ(item.Text, QStringLiteral("a,b"));
    item.SetDataText(QStringLiteral("-4,it,"));
    EXPECT_EQ(item.id, -4);
    EXPECT_EQ(item.language, QStringLiteral("it"));
    EXPECT_TRUE(item.Text.isEmpty());
}

TEST(DBLanguageItem, MalformedLinesFailAndLeaveTheRecord)
{
    DBLanguageItem item;
    item.id = 9;
    item.language = QStringLiteral("en");
    item.Text = QStringLiteral("kept");
    EXPECT_EQ(errorOf([&] { item.SetDataText(QStringLiteral("12,en")); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([&] { item.SetDataText(QString()); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([&] { item.SetDataText(QStringLiteral("x,en,Text")); }), ErrTypeMismatch);
    EXPECT_EQ(errorOf([&] { item.SetDataText(QStringLiteral("40000,en,Text")); }), ErrOverflow);
    EXPECT_EQ(item.id, 9);
    EXPECT_EQ(item.Text, QStringLiteral("kept"));
}

TEST(DBLanguages, ListOperations)
{
    DBLanguages t;
    EXPECT_EQ(t.count(), 0);
    EXPECT_EQ(t.GetLastId(), 0);
    EXPECT_EQ(t.GetItem(0), nullptr);

    addPhrase(t, 5, QStringLiteral("Setup"), QStringLiteral("Einrichtung"));
    addPhrase(t, 2, QStringLiteral("Close"), QStringLiteral("Schlie\u00DFen"));
    EXPECT_EQ(t.count(), 4);
    EXPECT_EQ(t.GetLastId(), 5);
    EXPECT_EQ(t.GetItem(3)->Text, QStringLiteral("Schlie\u00DFen"));
    EXPECT_EQ(t.GetItem(4), nullptr);
    EXPECT_EQ(t.GetItem(-1), nullptr);
    EXPECT_EQ(t.GetLocationByIDLan(2, QStringLiteral("de")), 3);
    EXPECT_EQ(t.GetLocationByIDLan(2, QStringLiteral("fr")), -1);

    t.deleteAt(1);
    EXPECT_EQ(t.count(), 3);
    EXPECT_EQ(t.GetItem(1)->Text, QStringLiteral("Close"));
    EXPECT_EQ(errorOf([&] { t.deleteAt(3); }), ErrSubscript);
    EXPECT_EQ(errorOf([&] { t.deleteAt(-1); }), ErrSubscript);

    DBLanguages one;
    one.add(1, QStringLiteral("en"), QStringLiteral("unused keyword"), QStringLiteral("Only"));
    one.deleteAt(0);
    EXPECT_EQ(one.count(), 0);
}

TEST(DBLanguages, LookupsTakeTheFirstMatchCaseSensitively)
{
    DBLanguages t;
    addPhrase(t, 1, QStringLiteral("Setup"), QStringLiteral("Einrichtung"));
    t.add(1, QStringLiteral("de"), QString(), QStringLiteral("second German"));
    addPhrase(t, 2, QStringLiteral("Setup"), QStringLiteral("shadowed"));
    EXPECT_EQ(t.GetIdByText(QStringLiteral("Setup")), 1);
    EXPECT_EQ(t.GetIdByText(QStringLiteral("setup")), 0);
    EXPECT_EQ(t.GetIdByText(QStringLiteral("Einrichtung")), 0); // only English records are keys
    EXPECT_EQ(t.GetTextByIdLang(1, QStringLiteral("de")), QStringLiteral("Einrichtung"));
    EXPECT_EQ(t.GetTextByIdLang(1, QStringLiteral("DE")), QString());
}

TEST(DBLanguages, TranFallsBackToUnderscoresOutsideEnglish)
{
    DBLanguages t;
    t.add(1, QStringLiteral("en"), QString(), QStringLiteral("Setup"));
    EXPECT_EQ(t.Tran(QStringLiteral("Setup"), QStringLiteral("de")), QStringLiteral("_Setup_"));
    t.add(1, QStringLiteral("de"), QString(), QStringLiteral("Einrichtung"));
    EXPECT_EQ(t.Tran(QStringLiteral("Setup"), QStringLiteral("de")), QStringLiteral("Einrichtung"));
    EXPECT_EQ(t.Tran(QStringLiteral("Setup"), QStringLiteral("en")), QStringLiteral("Setup"));

    DBLanguages empty;
    EXPECT_EQ(empty.Tran(QStringLiteral("Setup"), QStringLiteral("en")), QStringLiteral("Setup"));
    EXPECT_EQ(empty.Tran(QStringLiteral("Setup"), QStringLiteral("sp")), QStringLiteral("_Setup_"));
}

TEST(DBLanguages, TextsWithoutEnglishRecordFallToPhraseZero)
{
    DBLanguages t;
    addPhrase(t, 1, QStringLiteral("Setup"), QStringLiteral("Einrichtung"));
    EXPECT_EQ(t.GetAllTranslations(QStringLiteral("Unknown")).count(), 0);
    t.add(0, QStringLiteral("de"), QString(), QStringLiteral("Null"));
    EXPECT_EQ(t.Tran(QStringLiteral("Unknown"), QStringLiteral("de")), QStringLiteral("Null"));
    EXPECT_EQ(t.Tran(QStringLiteral("Other"), QStringLiteral("de")), QStringLiteral("Null"));
    EXPECT_EQ(t.GetAllTranslations(QStringLiteral("Unknown")).count(), 1);
}

TEST(DBLanguages, AllTranslationsIncludeEnglishInTableOrder)
{
    DBLanguages t;
    t.add(3, QStringLiteral("de"), QString(), QStringLiteral("Besprechung"));
    t.add(3, QStringLiteral("en"), QString(), QStringLiteral("Meeting"));
    t.add(4, QStringLiteral("en"), QString(), QStringLiteral("Call"));
    t.add(3, QStringLiteral("fr"), QString(), QStringLiteral("R\u00E9union"));
    const StringArray words = t.GetAllTranslations(QStringLiteral("Meeting"));
    ASSERT_EQ(words.count(), 3);
    EXPECT_EQ(words.GetItem(0), QStringLiteral("Besprechung"));
    EXPECT_EQ(words.GetItem(1), QStringLiteral("Meeting"));
    EXPECT_EQ(words.GetItem(2), QStringLiteral("R\u00E9union"));
}
