// Reading contacts as the desktop's address-book tools and phones' exports write them.
#include "PimTestFolder.h"
#include "platform/RuntimeError.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/ContentLines.h"

#include <gtest/gtest.h>

using namespace orvia;
using namespace orvia::pim;
using orvia::pim::test::crlf;

namespace {

std::shared_ptr<ContactItem> card(const char *text)
{
    return ContactItem::fromData(crlf(text));
}

int refusedNumber(const QByteArray &data)
{
    try {
        ContactItem::fromData(data);
    } catch (const RuntimeError &e) {
        return e.number();
    }
    return 0;
}

} // namespace

TEST(ContactRead, Version30TypesMapToTheGroupwareSlots)
{
    auto c = card("BEGIN:VCARD\nVERSION:3.0\nUID:a\nFN:Anna Berg\nN:Berg;Anna;;;\n"
                  "TEL;TYPE=HOME,VOICE:+49 30 111\nTEL;TYPE=CELL:0170 222\nTEL;TYPE=home:333\n"
                  "TEL;TYPE=WORK,VOICE:444\nTEL:555\nTEL;TYPE=work:666\nTEL;TYPE=WORK:777\n"
                  "TEL;TYPE=FAX:888\nTEL;TYPE=VOICE:999\n"
                  "EMAIL;TYPE=INTERNET:a@x.org\nEMAIL:b@x.org\nEMAIL:c@x.org\nEMAIL:d@x.org\nEND:VCARD\n");
    EXPECT_EQ(c->TypeName(), "ContactItem");
    EXPECT_EQ(c->FullName(), "Anna Berg");
    EXPECT_EQ(c->MobileTelephoneNumber(), "0170 222");
    EXPECT_EQ(c->HomeTelephoneNumber(), "+49 30 111");
    EXPECT_EQ(c->Home2TelephoneNumber(), "333");
    EXPECT_EQ(c->BusinessTelephoneNumber(), "444");
    EXPECT_EQ(c->Business2TelephoneNumber(), "666");
    EXPECT_EQ(c->OtherTelephoneNumber(), "555"); // the first of any other type; faxes are not numbers to call
    EXPECT_EQ(c->Email1Address(), "a@x.org");
    EXPECT_EQ(c->Email2Address(), "b@x.org");
    EXPECT_EQ(c->Email3Address(), "c@x.org");
}

TEST(ContactRead, Version21BareParametersQuotedPrintableAndCharset)
{
    auto c = card(
        "BEGIN:VCARD\nVERSION:2.1\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=BCrgen\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=BCrgen M=C3=BC=\nller\n"
        "TEL;CELL;PREF:+4917012\nTEL;HOME:030 1\nTEL;WORK;VOICE:040 2\n"
        "NOTE;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:Gr=FC=DFe\nEMAIL;INTERNET:j@m.de\nEND:VCARD\n");
    EXPECT_EQ(c->FullName(), QString::fromUtf8("Jürgen Müller"));
    EXPECT_EQ(c->MobileTelephoneNumber(), "+4917012");
    EXPECT_EQ(c->HomeTelephoneNumber(), "030 1");
    EXPECT_EQ(c->BusinessTelephoneNumber(), "040 2");
    EXPECT_EQ(c->Email1Address(), "j@m.de");
    const int note = c->card().indexOf("NOTE");
    ASSERT_GE(note, 0);
    EXPECT_EQ(c->card().textValue(note), QString::fromUtf8("Grüße"));

    // Without a charset, bytes that are no UTF-8 are the Windows code page's; a value that is UTF-8 stays so.
    auto old =
        card("BEGIN:VCARD\nVERSION:2.1\nFN:Jos\xE9 Ruiz\nNOTE;ENCODING=QUOTED-PRINTABLE:=80 f=FCr Caf=C3=A9\n"
             "END:VCARD\n");
    EXPECT_EQ(old->FullName(), QString::fromUtf8("José Ruiz"));
    EXPECT_EQ(old->card().textValue(old->card().indexOf("NOTE")), QString::fromUtf8("€ für CafÃ©"));
    auto mixed = card("BEGIN:VCARD\nVERSION:3.0\nFN:Zo\xC3\xAB\nNOTE:stray \xE9\nEND:VCARD\n");
    EXPECT_EQ(mixed->FullName(), QString::fromUtf8("Zoë"));
    EXPECT_EQ(mixed->card().textValue(mixed->card().indexOf("NOTE")), QString::fromUtf8("stray é"));
}

TEST(ContactRead, Version40UrisPrefAndGroupedProperties)
{
    auto c = card("BEGIN:VCARD\nVERSION:4.0\nUID:urn:uuid:1\nFN:Bo\n"
                  "TEL;VALUE=uri;PREF=1;TYPE=\"voice,cell\":tel:+1-555-0100;ext=7\n"
                  "item1.TEL;type=pref;type=HOME:+1 555 0101\nitem1.X-ABLABEL:_$!<Home>!$_\n"
                  "EMAIL:mailto:bo@example.com\nEND:VCARD\n");
    EXPECT_EQ(c->MobileTelephoneNumber(), "+1-555-0100;ext=7");
    EXPECT_EQ(c->HomeTelephoneNumber(), "+1 555 0101");
    EXPECT_EQ(c->Email1Address(), "bo@example.com");
}

TEST(ContactRead, FoldingEscapesLfOnlyAndBom)
{
    QByteArray data = "\xEF\xBB\xBF"
                      "BEGIN:VCARD\nVERSION:3.0\nFN:Smith\\, John\\; Jr\\\\\n  with fold\nN:Smith;John;;;\n"
                      "NOTE:line1\\nline2\\Nline3\nEND:VCARD\n";
    auto c = ContactItem::fromData(data);
    EXPECT_EQ(c->FullName(), "Smith, John; Jr\\ with fold");
    EXPECT_EQ(c->card().textValue(c->card().indexOf("NOTE")), "line1\nline2\nline3");
}

TEST(ContactRead, FullNameFromNWhenFnIsMissing)
{
    auto c = card("BEGIN:VCARD\nVERSION:2.1\nN:Doe;Jane;Q;Dr.;\nEND:VCARD\n");
    EXPECT_EQ(c->FullName(), "Dr. Jane Q Doe");
}

TEST(ContactRead, GroupCardsAreDistributionLists)
{
    auto g = card("BEGIN:VCARD\nVERSION:4.0\nKIND:group\nFN:Team\nMEMBER:urn:uuid:1\nEND:VCARD\n");
    EXPECT_EQ(g->TypeName(), "DistListItem");
    auto g3 = card("BEGIN:VCARD\nVERSION:3.0\nX-ADDRESSBOOKSERVER-KIND:group\nFN:Team\nEND:VCARD\n");
    EXPECT_EQ(g3->TypeName(), "DistListItem");
}

TEST(ContactRead, MalformedDataIsRefusedWithItsNumber)
{
    EXPECT_EQ(refusedNumber("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Cut off"), ErrItemRefused);
    EXPECT_EQ(refusedNumber(QByteArray("\x00\xff\x13garbage\x01\x02", 10)), ErrItemRefused);
    EXPECT_EQ(refusedNumber(""), ErrItemRefused);
    EXPECT_EQ(refusedNumber(crlf("BEGIN:VCARD\nFN:a\nEND:VCARD\nBEGIN:VCARD\nFN:b\nEND:VCARD\n")),
              ErrItemRefused);
    EXPECT_EQ(refusedNumber(crlf("BEGIN:VCARD\nF\x01N:a\nEND:VCARD\n")), ErrItemRefused);
    EXPECT_EQ(refusedNumber(crlf("BEGIN:VCALENDAR\nEND:VCALENDAR\n")), ErrItemRefused);
    // Over the size limit; and a header whose quote never closes, followed by many lines without a
    // colon, which once took time growing with the square of their number.
    EXPECT_EQ(refusedNumber("BEGIN:VCARD\r\nNOTE:" + QByteArray(9 * 1024 * 1024, 'a') + "\r\nEND:VCARD\r\n"),
              ErrItemRefused);
    EXPECT_EQ(refusedNumber("BEGIN:VCARD\r\nX;A=\"" + QByteArray("a\r\n").repeated(200000) + "END:VCARD\r\n"),
              ErrItemRefused);
}

TEST(ContentLines, FoldingKeepsUtf8CharactersWholeAndUnfoldsBack)
{
    // Three-byte characters placed so that the 75-octet limit falls inside one of them.
    for (int prefix = 0; prefix < 4; ++prefix) {
        const QByteArray logical = "NOTE:" + QByteArray(prefix, 'x') + QString(200, QChar(0x20AC)).toUtf8();
        const QByteArray folded = foldLine(logical);
        for (const QByteArray &line : folded.split('\n')) {
            QByteArray l = line;
            if (l.endsWith('\r'))
                l.chop(1);
            EXPECT_LE(l.size(), 75);
            const QByteArray content = l.startsWith(' ') ? l.mid(1) : l;
            EXPECT_EQ(QString::fromUtf8(content).toUtf8(), content) << "a character was split";
        }
        ASSERT_EQ(unfoldLines(folded).size(), 1);
        EXPECT_EQ(unfoldLines(folded).first(), logical);
    }
}

TEST(ContentLines, TextEscapingRoundTrips)
{
    const QString text = QStringLiteral("a\\b;c,d:e\nf");
    EXPECT_EQ(escapeText(text), QStringLiteral("a\\\\b\\;c\\,d:e\\nf"));
    EXPECT_EQ(unescapeText(escapeText(text)), text);
    EXPECT_EQ(
        splitStructured(QStringLiteral("Berg\\;x;Anna;;;")),
        QStringList({QStringLiteral("Berg;x"), QStringLiteral("Anna"), QString(), QString(), QString()}));
    EXPECT_EQ(decodeQuotedPrintable("a=3Db=\r\nc=zz"), QByteArray("a=bc=zz"));
}
