// Reading and writing the language file, sound and damaged.
#include "LanguageFileFixture.h"
#include "common/LanguageScrambler.h"
#include "common/Windows1252.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace orvia;
using orvia::test::addPhrase;

namespace {

class LanguageFile : public ::testing::Test
{
protected:
    QString path(const QString &name = QStringLiteral("lang.dbl")) const { return dir.filePath(name); }

    void writeBytes(const QByteArray &bytes, const QString &name = QStringLiteral("lang.dbl")) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    void writeScrambled(const QString &text) const { writeBytes(ScrambleText(text)); }

    // A table that already holds something, so a failed load can be seen to empty it.
    static DBLanguages filledTable()
    {
        DBLanguages t;
        addPhrase(t, 1, QStringLiteral("Old"), QStringLiteral("Alt"));
        return t;
    }

    QTemporaryDir dir;
};

DBLanguages sampleTable()
{
    DBLanguages t;
    addPhrase(t, 1, QStringLiteral("Setup"), QStringLiteral("Einrichtung"));
    addPhrase(t, 2, QStringLiteral("Phone memory full, entry:"),
              QStringLiteral("Telefonspeicher voll, Eintrag:"));
    t.add(2, QStringLiteral("fr"), QString(), QStringLiteral("\u00AB Oui \u00BB / \"non\"\r\n\u20AC"));
    return t;
}

} // namespace

TEST_F(LanguageFile, ScrambledSaveLoadsBackUnchanged)
{
    const DBLanguages t = sampleTable();
    ASSERT_TRUE(t.Save(path(), true));
    DBLanguages back = filledTable();
    ASSERT_TRUE(back.Load(path(), true));
    EXPECT_EQ(back.GetDataText(), t.GetDataText());
    EXPECT_EQ(back.count(), 5);
    EXPECT_TRUE(back.name.isEmpty());
    EXPECT_EQ(back.Tran(QStringLiteral("Phone memory full, entry:"), QStringLiteral("fr")),
              QStringLiteral("\u00AB Oui \u00BB / \"non\"\r\n\u20AC"));
}

TEST_F(LanguageFile, PlainSaveLoadsBackWithoutItsLastByte)
{
    const DBLanguages t = sampleTable();
    ASSERT_TRUE(t.Save(path(), false));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), toWindows1252(t.GetDataText()));
    DBLanguages back;
    ASSERT_TRUE(back.Load(path(), false));
    EXPECT_EQ(back.GetDataText(), t.GetDataText());
}

TEST_F(LanguageFile, SaveReplacesAnOlderFile)
{
    writeBytes(QByteArray(100000, 'x'));
    DBLanguages t;
    addPhrase(t, 1, QStringLiteral("A"), QStringLiteral("B"));
    ASSERT_TRUE(t.Save(path(), true));
    DBLanguages back;
    ASSERT_TRUE(back.Load(path(), true));
    EXPECT_EQ(back.count(), 2);
    EXPECT_FALSE(t.Save(dir.filePath(QStringLiteral("no/such/folder/lang.dbl")), true));
}

TEST_F(LanguageFile, MissingFileLeavesTheTableUntouched)
{
    DBLanguages t = filledTable();
    EXPECT_FALSE(t.Load(path(), true));
    EXPECT_EQ(t.count(), 2);
    EXPECT_FALSE(t.Load(QString(), true));
    QDir(dir.path()).mkdir(QStringLiteral("folder.dbl")); // a folder of that name is no file
    EXPECT_FALSE(t.Load(path(QStringLiteral("folder.dbl")), true));
    EXPECT_EQ(t.count(), 2);
}

TEST_F(LanguageFile, DamagedFilesAreRefusedAndEmptyTheTable)
{
    const QString good = QStringLiteral(",2\r\n1,en,Setup\r\n1,de,Einrichtung\r\n");
    const QByteArray scrambled = ScrambleText(good);
    struct Case
    {
        const char *what;
        QByteArray bytes;
    };
    QByteArray wrongCheck = scrambled;
    wrongCheck[wrongCheck.size() - 1] = char(wrongCheck.back() ^ 0x5A);
    const std::vector<Case> cases = {
        {"empty file", QByteArray()},
        {"one byte", QByteArray(1, '\0')},
        {"wrong check byte", wrongCheck},
        {"cut short", scrambled.left(scrambled.size() - 7)},
        {"unscrambled text", good.toLatin1()},
        {"garbage", QByteArray::fromHex("deadbeef00ff10203040")},
        {"table name before the comma", ScrambleText(QStringLiteral("Lang,2\r\n1,en,Setup\r\n1,de,E\r\n"))},
        {"only a comma", ScrambleText(QStringLiteral(","))},
        {"header without line end", ScrambleText(QStringLiteral(",0"))},
        {"count not a number", ScrambleText(QStringLiteral(",two\r\n1,en,Setup\r\n1,de,E\r\n"))},
        {"empty count", ScrambleText(QStringLiteral(",\r\n"))},
        {"negative count", ScrambleText(QStringLiteral(",-1\r\n1,en,Setup\r\n"))},
        {"count beyond 32 bits", ScrambleText(QStringLiteral(",99999999999\r\n1,en,Setup\r\n"))},
        {"more records counted than present", ScrambleText(QStringLiteral(",3\r\n1,en,Setup\r\n1,de,E\r\n"))},
        {"record with one comma", ScrambleText(QStringLiteral(",2\r\n1,en,Setup\r\n1de,E\r\n"))},
        {"record id not a number", ScrambleText(QStringLiteral(",1\r\nfirst,en,Setup\r\n"))},
        {"record id beyond 16 bits", ScrambleText(QStringLiteral(",1\r\n70000,en,Setup\r\n"))},
        {"record line beyond 16-bit positions",
         ScrambleText(QStringLiteral(",1\r\n1,") + QString(40000, u'x') + QStringLiteral(",Text\r\n"))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(c.bytes);
        DBLanguages t = filledTable();
        EXPECT_FALSE(t.Load(path(), true));
        EXPECT_EQ(t.count(), 0);
    }
}

TEST_F(LanguageFile, TamperedBytesNeverLoadSomethingElse)
{
    // Flip one bit anywhere: either the load is refused, or what loads is the original table.
    DBLanguages t = sampleTable();
    ASSERT_TRUE(t.Save(path(), true));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray good = f.readAll();
    for (qsizetype i = 0; i < good.size(); ++i) {
        QByteArray bad = good;
        bad[i] = char(bad.at(i) ^ 0x04);
        DBLanguages back;
        if (back.LoadBytes(bad, true)) {
            EXPECT_EQ(back.GetDataText(), t.GetDataText()) << "byte " << i;
        }
    }
}

TEST_F(LanguageFile, RecordsBeyondTheCountAndTextAfterTheLastLineAreIgnored)
{
    writeScrambled(QStringLiteral(",1\r\n1,en,Setup\r\n1,de,Einrichtung\r\nno line end"));
    DBLanguages t;
    ASSERT_TRUE(t.Load(path(), true));
    EXPECT_EQ(t.count(), 1);

    writeScrambled(QStringLiteral(",0\r\n"));
    ASSERT_TRUE(t.Load(path(), true));
    EXPECT_EQ(t.count(), 0);

    // A line end of CR alone still moves on by two characters, as the reader always does.
    writeScrambled(QStringLiteral(",1\r\n1,en,A\rx"));
    ASSERT_TRUE(t.Load(path(), true));
    EXPECT_EQ(t.GetItem(0)->Text, QStringLiteral("A"));
}

TEST_F(LanguageFile, OversizedFilesAreRefusedWithoutReadingThem)
{
    QByteArray big(DBLanguages::kMaxFileBytes + 1, '\0');
    writeBytes(big);
    DBLanguages t = filledTable();
    EXPECT_FALSE(t.Load(path(), true));
    EXPECT_EQ(t.count(), 0);
}

TEST_F(LanguageFile, TooManyRecordsAreRefused)
{
    QString text = QStringLiteral(",%1\r\n").arg(DBLanguages::kMaxRecords + 1);
    for (int i = 0; i <= DBLanguages::kMaxRecords; ++i)
        text += QStringLiteral("1,en,x\r\n");
    DBLanguages t;
    EXPECT_FALSE(t.LoadBytes(ScrambleText(text), true));
    EXPECT_EQ(t.count(), 0);
}
