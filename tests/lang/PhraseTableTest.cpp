// The phrase table in the source tree and the language file the build writes from it.
#include "langtool/PhraseTable.h"
#include "LanguageFileFixture.h"
#include "common/Translation.h"
#include "common/Windows1252.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace orvia;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QString sourceTablePath()
{
    return qEnvironmentVariable("ORVIA_SOURCE_DIR") + QStringLiteral("/translations/phrases.tsv");
}

QString builtFilePath()
{
    return qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl");
}

const Phrase *find(const PhraseTable &t, const QString &english)
{
    for (const Phrase &p : t.phrases) {
        if (p.texts[0] == english)
            return &p;
    }
    return nullptr;
}

} // namespace

TEST(PhraseTable, SourceTableIsCompleteAndFitsTheCodePage)
{
    const QByteArray source = readFile(sourceTablePath());
    ASSERT_FALSE(source.isEmpty()) << qPrintable(sourceTablePath());
    const PhraseTable table = parsePhraseTable(source);
    EXPECT_TRUE(table.errors.isEmpty()) << qPrintable(table.errors.join(u'\n'));
    EXPECT_GT(table.phrases.size(), 100);
    for (const Phrase &p : table.phrases) {
        for (const QString &text : p.texts) {
            EXPECT_FALSE(text.isEmpty()) << "line " << p.line;
            for (QChar c : text)
                EXPECT_GE(charToWindows1252(c), 0) << "line " << p.line << ": " << qPrintable(text);
        }
    }
    // English keys exactly as the program writes them, odd spellings included.
    for (const char *key : {"Process Interrupted. Some task were not completed", "New avaible version",
                            "doesn\u00B4t fit the phone capacity, not stored.", "Details for", "on COM",
                            "family", "Detected", "Synchronization", "Frame5"})
        EXPECT_NE(find(table, QString::fromUtf8(key)), nullptr) << key;
}

TEST(PhraseTable, CalendarKeywordsAreSingleDistinctWords)
{
    // The desktop calendar recognises an entry's kind by the first word of its subject, compared
    // case-blind against every language's word, so each must be one word and belong to one kind only.
    const PhraseTable table = parsePhraseTable(readFile(sourceTablePath()));
    QSet<QString> seen;
    for (const char *kind : {"Meeting", "Call", "Birthday"}) {
        const Phrase *p = find(table, QString::fromLatin1(kind));
        ASSERT_NE(p, nullptr) << kind;
        QSet<QString> ofKind;
        for (const QString &word : p->texts) {
            EXPECT_FALSE(word.contains(u' ') || word.contains(u':')) << qPrintable(word);
            ofKind.insert(word.toLower());
        }
        EXPECT_FALSE(seen.intersects(ofKind)) << kind;
        seen.unite(ofKind);
    }
}

TEST(PhraseTable, FaultsAreReported)
{
    const auto errorsOf = [](const char *text) { return parsePhraseTable(QByteArray(text)).errors; };
    EXPECT_TRUE(
        errorsOf("# comment\n\nen\tde\tfr\tit\tsp\nYes\tJa\tOui\tS\xC3\xAC\tS\xC3\xAD\r\n").isEmpty());
    EXPECT_EQ(errorsOf("Yes\tJa\tOui\tSi\tSi\n").size(), 5); // first line read as column names
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa\tOui\tSi\n").size(), 1);            // four columns
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa\t\tSi\tSi\n").size(), 1);           // empty French
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa \tOui\tSi\tSi\n").size(), 1);       // trailing blank
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa\tOui\tSi\tS\xC5\x82\n").size(), 1); // U+0142
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nOutlook\xC2\xAE\tJa\tOui\tSi\tSi\n").size(), 1);
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa\tOui\tSi\tSi\nYes\tJ\tO\tS\tS\n").size(), 1);
    EXPECT_EQ(errorsOf("en\tde\tfr\tit\tsp\nYes\tJa\tOui\tSi\t\xFF\n").size(), 1); // not UTF-8
    EXPECT_EQ(errorsOf("").size(), 1);
}

TEST(PhraseTable, BuiltTableNumbersPhrasesInOrder)
{
    const PhraseTable table =
        parsePhraseTable(QByteArray("en\tde\tfr\tit\tsp\nA\tB\tC\tD\tE\nF\tG\tH\tI\tJ\n"));
    const DBLanguages t = buildLanguageTable(table);
    EXPECT_EQ(t.GetDataText(), QStringLiteral(",10\r\n1,en,A\r\n1,de,B\r\n1,fr,C\r\n1,it,D\r\n1,sp,E\r\n"
                                              "2,en,F\r\n2,de,G\r\n2,fr,H\r\n2,it,I\r\n2,sp,J\r\n"));
}

class BuiltLanguageFile : public orvia::test::FreshGlobals
{
};

TEST_F(BuiltLanguageFile, LoadsAndGivesEveryPhraseInEveryLanguage)
{
    DBLanguages &t = globals().gLanguages;
    ASSERT_TRUE(t.Load(builtFilePath(), true)) << qPrintable(builtFilePath());
    const PhraseTable table = parsePhraseTable(readFile(sourceTablePath()));
    ASSERT_TRUE(table.errors.isEmpty());
    EXPECT_EQ(t.count(), table.phrases.size() * 5);
    for (const Phrase &p : table.phrases) {
        for (int c = 0; c < 5; ++c) {
            const QString code = QString::fromUtf16(kLanguageCodes[c]);
            EXPECT_EQ(t.Tran(p.texts[0], code), p.texts[size_t(c)]) << "line " << p.line;
        }
    }
}

TEST_F(BuiltLanguageFile, TranslatesASampleAsTheUserSeesIt)
{
    ASSERT_TRUE(globals().gLanguages.Load(builtFilePath(), true));
    struct Sample
    {
        const char *code;
        const char *english;
        const char *shown;
    };
    const Sample samples[] = {
        {"de", "Meeting", "Besprechung"},
        {"de", "Close", "Schlie\u00DFen"},
        {"de", "Cannot access to Outlook data.", "Kein Zugriff auf die Outlook\u00AE-Daten m\u00F6glich."},
        {"fr", "Birthday", "Anniversaire"},
        {"fr", "Synchronization software for Velmora phones and Microsoft Outlook.",
         "Logiciel de synchronisation pour t\u00E9l\u00E9phones Velmora\u00AE et Microsoft\u00AE "
         "Outlook\u00AE."},
        {"it", "Call", "Chiamata"},
        {"it", "Protocol error!", "Errore di protocollo!"},
        {"sp", "Birthday", "Cumplea\u00F1os"},
        {"sp", "Protocol error!", "\u00A1Error de protocolo!"},
        {"en", "Loading data from the Velmora phone...", "Loading data from the Velmora\u00AE phone..."},
        {"de", "a text nobody translated", "_a text nobody translated_"},
    };
    for (const Sample &s : samples) {
        globals().gLanguage = QString::fromLatin1(s.code);
        EXPECT_EQ(Translate(QString::fromUtf8(s.english)), QString::fromUtf8(s.shown)) << s.code << s.english;
    }
    EXPECT_EQ(globals().gLanguages.GetAllTranslations(QStringLiteral("Meeting")).count(), 5);
}
