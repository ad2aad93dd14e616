// Translate, the trademark marks and the language taken from the locale.
#include "LanguageFileFixture.h"
#include "common/Translation.h"
#include "support/FakeSystemServices.h"

#include <gtest/gtest.h>

using namespace orvia;
using orvia::test::addPhrase;

namespace {

class TranslateTest : public orvia::test::FreshGlobals
{
protected:
    void SetUp() override
    {
        FreshGlobals::SetUp();
        DBLanguages &t = globals().gLanguages;
        addPhrase(t, 1, QStringLiteral("Setup"), QStringLiteral("Einrichtung"));
        addPhrase(t, 2, QStringLiteral("Cannot access to Outlook data."),
                  QStringLiteral("Kein Zugriff auf die Outlook-Daten m\u00F6glich."));
        addPhrase(t, 3, QStringLiteral("Outlook Folders"), QStringLiteral("Outlook\u00AE-Ordner"));
        addPhrase(t, 4, QStringLiteral("Meeting"), QStringLiteral("Besprechung"));
        t.add(4, QStringLiteral("fr"), QString(), QStringLiteral("R\u00E9union"));
        addPhrase(t, 5, QStringLiteral("Call"), QStringLiteral("Anruf"));
        addPhrase(t, 6, QStringLiteral("Birthday"), QStringLiteral("Geburtstag"));
    }
};

} // namespace

TEST_F(TranslateTest, TranslatesForTheCurrentLanguage)
{
    globals().gLanguage = QStringLiteral("de");
    EXPECT_EQ(Translate(QStringLiteral("Setup")), QStringLiteral("Einrichtung"));
    EXPECT_EQ(Translate(QStringLiteral("Unknown text")), QStringLiteral("_Unknown text_"));
    globals().gLanguage = QStringLiteral("en");
    EXPECT_EQ(Translate(QStringLiteral("Setup")), QStringLiteral("Setup"));
    EXPECT_EQ(Translate(QStringLiteral("Unknown text")), QStringLiteral("Unknown text"));
}

TEST_F(TranslateTest, MarksTrademarksAfterTranslating)
{
    globals().gLanguage = QStringLiteral("en");
    EXPECT_EQ(Translate(QStringLiteral("Microsoft Outlook and Velmora, Outlook again")),
              QStringLiteral("Microsoft\u00AE Outlook\u00AE and Velmora\u00AE, Outlook\u00AE again"));
    EXPECT_EQ(Translate(QStringLiteral("outlook VELMORA")), QStringLiteral("outlook VELMORA"));
    globals().gLanguage = QStringLiteral("de");
    EXPECT_EQ(Translate(QStringLiteral("Cannot access to Outlook data.")),
              QStringLiteral("Kein Zugriff auf die Outlook\u00AE-Daten m\u00F6glich."));
    // A translation that already carries the sign gets a second one.
    EXPECT_EQ(Translate(QStringLiteral("Outlook Folders")), QStringLiteral("Outlook\u00AE\u00AE-Ordner"));
    // The untranslated fallback is marked too.
    EXPECT_EQ(Translate(QStringLiteral("Velmora")), QStringLiteral("_Velmora\u00AE_"));
}

TEST_F(TranslateTest, EmptyTextStaysEmpty)
{
    globals().gLanguage = QStringLiteral("it");
    EXPECT_EQ(Translate(QString()), QString());
}

TEST_F(TranslateTest, LanguageNamesMapToCodes)
{
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("English")), QStringLiteral("en"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("ENGLISH")), QStringLiteral("en"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("German")), QStringLiteral("de"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("french")), QStringLiteral("fr"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("Italian")), QStringLiteral("it"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("Spanish")), QStringLiteral("sp"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral("Dutch")), QStringLiteral("en"));
    EXPECT_EQ(LanguageCodeForName(QStringLiteral(" German")), QStringLiteral("en")); // exact match only
    EXPECT_EQ(LanguageCodeForName(QString()), QStringLiteral("en"));
}

TEST_F(TranslateTest, LocaleSetsTheLanguageAndRebuildsTheWordLists)
{
    orvia::test::FakeSystemServices system;
    system.setLanguage(QStringLiteral("Spanish"));
    globals().gMeetingWords.add(QStringLiteral("stale"));
    InitLanguageFromLocale(system);
    EXPECT_EQ(globals().gLanguage, QStringLiteral("sp"));
    ASSERT_EQ(globals().gMeetingWords.count(), 3);
    EXPECT_EQ(globals().gMeetingWords.GetItem(0), QStringLiteral("Meeting"));
    EXPECT_EQ(globals().gMeetingWords.GetItem(2), QStringLiteral("R\u00E9union"));
    EXPECT_EQ(globals().gCallWords.count(), 2);
    QString word = QStringLiteral("GEBURTSTAG");
    EXPECT_TRUE(globals().gBirthdayWords.Contains(word));

    system.setLanguage(QStringLiteral("Dutch"));
    InitLanguageFromLocale(system);
    EXPECT_EQ(globals().gLanguage, QStringLiteral("en"));
    EXPECT_EQ(globals().gMeetingWords.count(), 3);
}
