#include "common/UpdateReply.h"
#include "UpdateRig.h"
#include "platform/RuntimeError.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::test;

namespace {

struct Tag
{
    QString value;
    qint16 found = -1;
};

Tag tagOf(const QString &text, const char *tag)
{
    Tag t;
    GetTagValue(text, QLatin1String(tag), t.value, t.found);
    return t;
}

class UpdateReplyTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("en"))); }
};

} // namespace

TEST_F(UpdateReplyTest, LongFormAnyCaseTrimsOnlyLineBreaks)
{
    // Opening tag upper case, closing tag mixed case; the value keeps its case and its blanks.
    const Tag t = tagOf(QStringLiteral("ab<VERSION>\r\n\n  2.0 Beta \r\n</Version>"), "version");
    EXPECT_EQ(t.value, QStringLiteral("  2.0 Beta "));
    EXPECT_EQ(t.found, 12); // 1-based position just after the opening tag
    EXPECT_EQ(tagOf(QStringLiteral("<a></a>"), "a").value, QString());
    EXPECT_EQ(tagOf(QStringLiteral("<a></a>"), "a").found, 4);
}

TEST_F(UpdateReplyTest, ShortFormDropsTheDelimitersAndTrimsNothing)
{
    Tag t = tagOf(QStringLiteral("x<Version=\"\r\n2.0.7 \"/>"), "version");
    EXPECT_EQ(t.value, QStringLiteral("\r\n2.0.7 "));
    EXPECT_EQ(t.found, 12);
    // Any one character and any delimiter fit the pattern.
    EXPECT_EQ(tagOf(QStringLiteral("<title :abc:/>"), "title").value, QStringLiteral("abc"));
    EXPECT_EQ(tagOf(QStringLiteral("<title=\"\"/>"), "title").value, QString());
    EXPECT_GT(tagOf(QStringLiteral("<title=\"\"/>"), "title").found, 0);
}

TEST_F(UpdateReplyTest, LongFormWinsAndTheFirstOccurrenceCounts)
{
    // A short form standing before the long form's opening tag is ignored.
    EXPECT_EQ(tagOf(QStringLiteral("<v=\"short\"/><v>long</v>"), "v").value, QStringLiteral("long"));
    EXPECT_EQ(tagOf(QStringLiteral("<v>one</v><v>two</v>"), "v").value, QStringLiteral("one"));
}

TEST_F(UpdateReplyTest, AbsentTagIsLoggedAndEmptiesTheValue)
{
    QString value = QStringLiteral("stale");
    qint16 found = 7;
    GetTagValue(QStringLiteral("<other>x</other>"), QStringLiteral("update"), value, found);
    EXPECT_EQ(found, 0);
    EXPECT_TRUE(value.isEmpty());
    EXPECT_TRUE(logHas(QStringLiteral("Can't find the update in <other>x</other>")));
}

TEST_F(UpdateReplyTest, BrokenElementsAreErrorsNotGuesses)
{
    // Missing closing tag, closing tag before the opening one, a short form without its end, a short
    // form cut off right after its name, and one whose end leaves no room for the closing delimiter.
    EXPECT_EQ(errorOf([] { tagOf(QStringLiteral("<update>abc"), "update"); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([] { tagOf(QStringLiteral("</update><update>abc"), "update"); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([] { tagOf(QStringLiteral("<title=\"abc"), "title"); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([] { tagOf(QStringLiteral("<title"), "title"); }), ErrInvalidArgument);
    EXPECT_EQ(errorOf([] { tagOf(QStringLiteral("<title=\"/>"), "title"); }), ErrInvalidArgument);
}

TEST_F(UpdateReplyTest, PositionsBeyond32767Overflow)
{
    const QString pad(32760, QLatin1Char(' '));
    EXPECT_EQ(errorOf([&] { tagOf(pad + QStringLiteral("<update>x</update>"), "update"); }), ErrOverflow);
    // Closing tag alone beyond the limit.
    EXPECT_EQ(
        errorOf([&] { tagOf(QStringLiteral("<update>") + pad + QStringLiteral("</update>"), "update"); }),
        ErrOverflow);
    // An absent tag in a long text is just absent.
    EXPECT_EQ(tagOf(pad + pad, "update").found, 0);
    // The last position that fits.
    const QString fits(32767 - 9, QLatin1Char(' '));
    EXPECT_EQ(tagOf(fits + QStringLiteral("<a>b</a>"), "a").found, 32767 - 9 + 4);
}

TEST_F(UpdateReplyTest, FileListCollectsEntriesUntilTheFirstFaultyOne)
{
    StringArray urls, names;
    urls.add(QStringLiteral("old"));
    EXPECT_TRUE(ParseFileList(QString(), urls, names));
    EXPECT_EQ(urls.count(), 0); // lists made anew

    EXPECT_TRUE(ParseFileList(QStringLiteral("<FILE><url>/a</url><name>a.exe</name></File>\r\n"
                                             "<file><url=\"/b\"/><Name>sub/B</NAME></file>"),
                              urls, names));
    ASSERT_EQ(urls.count(), 2);
    EXPECT_EQ(urls.GetItem(1), QStringLiteral("/b"));
    EXPECT_EQ(names.GetItem(1), QStringLiteral("sub/B"));

    // A file element with a url but no name fails; the url is kept, the name list stays one shorter.
    EXPECT_FALSE(ParseFileList(QStringLiteral("<file><url>/a</url><name>a</name></file>"
                                              "<file><url>/b</url></file>"),
                               urls, names));
    EXPECT_EQ(urls.count(), 2);
    EXPECT_EQ(names.count(), 1);

    // Anything but CR/LF after the last closing tag is another (missing) element.
    EXPECT_FALSE(ParseFileList(QStringLiteral("<file><url>/a</url><name>a</name></file> "), urls, names));
    EXPECT_EQ(names.count(), 1);
}

TEST_F(UpdateReplyTest, FileListWithoutClosingTagsEnds)
{
    // Short-form file elements have no closing tag: the text still shrinks on every round.
    StringArray urls, names;
    EXPECT_FALSE(ParseFileList(QStringLiteral("<file=\"<url>u</url><name>n</name>\"/>"), urls, names));
}

TEST_F(UpdateReplyTest, ErrorPagesAndStatusLines)
{
    EXPECT_TRUE(IsErrorPage("<html><TITLE>Oops</TITLE></html>"));
    EXPECT_FALSE(IsErrorPage(QByteArray("\x7f"
                                        "ELF\0\0<html>",
                                        11)));
    // Only the first 1001 bytes count.
    EXPECT_TRUE(IsErrorPage(QByteArray(1001 - 16, 'x') + "<title>a</title>"));
    EXPECT_FALSE(IsErrorPage(QByteArray(1001, 'x') + "<title>a</title>"));
    // A title cut by the limit is a broken element, as anywhere else.
    EXPECT_EQ(errorOf([] { IsErrorPage(QByteArray(1001 - 10, 'x') + "<title>a</title>"); }),
              ErrInvalidArgument);
    // Bytes above 127 are single characters, not broken text.
    EXPECT_TRUE(IsErrorPage(QByteArray("\xff\xfe<title>\xe9</title>")));

    EXPECT_TRUE(IsSuccessStatus(QStringLiteral("HTTP/1.1 204 No Content\r\n")));
    EXPECT_FALSE(IsSuccessStatus(QStringLiteral("HTTP/1.1 404 Not Found\r\n")));
    EXPECT_FALSE(IsSuccessStatus(QString()));
    EXPECT_FALSE(IsSuccessStatus(QStringLiteral("HTTP/1.1 ")));

    EXPECT_TRUE(IsUpToDate(QStringLiteral("x<NoThInG/>y")));
    EXPECT_FALSE(IsUpToDate(QStringLiteral("<nothing />")));
}
