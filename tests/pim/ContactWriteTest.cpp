// Writing contacts: only the managed fields change; everything else in the card is kept.
#include "PimTestFolder.h"
#include "platform/pim/ContactItem.h"

#include <gtest/gtest.h>

using namespace orvia::pim;
using orvia::pim::test::crlf;

namespace {

std::shared_ptr<ContactItem> reread(const ContactItem &c)
{
    return ContactItem::fromData(c.card().serialize());
}

} // namespace

TEST(ContactWrite, AddingANumberKeepsAddressBirthdayPhotoNoteAndUnknownProperties)
{
    const QByteArray photo = QByteArray(300, 'A'); // long base64 data that has to be folded
    const QByteArray original =
        crlf("BEGIN:VCARD\nVERSION:3.0\nUID:keep-1\nFN:Carla Diaz\nN:Diaz;Carla;;;\n"
             "ADR;TYPE=HOME:;;Main St 1;Springfield;;12345;USA\nBDAY:1980-02-29\n"
             "PHOTO;ENCODING=b;TYPE=JPEG:" +
             photo +
             "\nNOTE:Likes tea\\, not coffee\nX-CUSTOM;X-PARAM=\"a:b\":value\n"
             "item2.URL:https://example.org\nitem2.X-ABLABEL:blog\nTEL;TYPE=CELL:0170 1\n"
             "END:VCARD\n");
    auto c = ContactItem::fromData(original);
    c->setHomeTelephoneNumber(QStringLiteral("030 99"));
    const QByteArray written = c->card().serialize();
    auto back = ContactItem::fromData(written);
    EXPECT_EQ(back->HomeTelephoneNumber(), "030 99");
    EXPECT_EQ(back->MobileTelephoneNumber(), "0170 1");
    const VCard &v = back->card();
    EXPECT_EQ(v.textValue(v.indexOf("BDAY")), "1980-02-29");
    EXPECT_EQ(v.properties().at(v.indexOf("ADR")).value, ";;Main St 1;Springfield;;12345;USA");
    EXPECT_EQ(v.properties().at(v.indexOf("PHOTO")).value.toLatin1(), photo);
    EXPECT_EQ(v.textValue(v.indexOf("NOTE")), "Likes tea, not coffee");
    EXPECT_TRUE(written.contains("X-CUSTOM;X-PARAM=\"a:b\":value\r\n"));
    EXPECT_TRUE(written.contains("item2.URL:https://example.org\r\n"));
    EXPECT_TRUE(written.contains("item2.X-ABLABEL:blog\r\n"));
    for (const QByteArray &line : written.split('\n'))
        EXPECT_LE(line.size(), 76); // 75 octets plus the CR
    // The new number sits with the other numbers.
    EXPECT_LT(written.indexOf("TEL;TYPE=CELL"), written.indexOf("TEL;TYPE=HOME,VOICE:030 99"));
}

TEST(ContactWrite, SlotsFillInTableOrderAndBlankSlotsAreReused)
{
    auto c = ContactItem::createNew();
    c->setFullName(QStringLiteral("Eve Stone"));
    c->setHomeTelephoneNumber(QStringLiteral("1"));
    c->setHome2TelephoneNumber(QStringLiteral("2"));
    c->setBusinessTelephoneNumber(QStringLiteral("3"));
    c->setBusiness2TelephoneNumber(QStringLiteral("4"));
    c->setMobileTelephoneNumber(QStringLiteral("5"));
    c->setOtherTelephoneNumber(QStringLiteral("6"));
    c->setEmail1Address(QStringLiteral("e1@x"));
    c->setEmail2Address(QStringLiteral("e2@x"));
    c->setEmail3Address(QStringLiteral("e3@x"));
    auto b = reread(*c);
    EXPECT_EQ(b->HomeTelephoneNumber(), "1");
    EXPECT_EQ(b->Home2TelephoneNumber(), "2");
    EXPECT_EQ(b->BusinessTelephoneNumber(), "3");
    EXPECT_EQ(b->Business2TelephoneNumber(), "4");
    EXPECT_EQ(b->MobileTelephoneNumber(), "5");
    EXPECT_EQ(b->OtherTelephoneNumber(), "6");
    EXPECT_EQ(b->Email3Address(), "e3@x");

    // A number of blanks is an empty slot: writing it replaces the blanks in place.
    auto blank = ContactItem::fromData(crlf("BEGIN:VCARD\nVERSION:3.0\nFN:x\nTEL;TYPE=HOME:  \nEND:VCARD\n"));
    blank->setHomeTelephoneNumber(QStringLiteral("77"));
    EXPECT_EQ(reread(*blank)->HomeTelephoneNumber(), "77");
    EXPECT_EQ(reread(*blank)->Home2TelephoneNumber(), "");
}

TEST(ContactWrite, NewContactHasVersionUidFnAndSplitN)
{
    auto c = ContactItem::createNew();
    c->setFullName(QStringLiteral("Jean-Luc de la Tour"));
    const QByteArray text = c->card().serialize();
    EXPECT_TRUE(text.startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\n"));
    EXPECT_TRUE(text.contains("\r\nUID:"));
    EXPECT_TRUE(text.contains("\r\nFN:Jean-Luc de la Tour\r\n"));
    EXPECT_TRUE(text.contains("\r\nN:Tour;Jean-Luc de la;;;\r\n"));
    auto comma = ContactItem::createNew();
    comma->setFullName(QStringLiteral("Smith, Ann"));
    EXPECT_TRUE(comma->card().serialize().contains("\r\nN:Smith;Ann;;;\r\n"));
    EXPECT_TRUE(comma->card().serialize().contains("\r\nFN:Smith\\, Ann\r\n"));
}

TEST(ContactWrite, Version21AndUriFormsStayInTheirOwnStyle)
{
    auto old = ContactItem::fromData(crlf("BEGIN:VCARD\nVERSION:2.1\nN;ENCODING=QUOTED-PRINTABLE:M=C3=BC;A\n"
                                          "TEL;CELL;ENCODING=QUOTED-PRINTABLE:01=\n70\nEND:VCARD\n"));
    old->setHomeTelephoneNumber(QStringLiteral("030"));
    old->setMobileTelephoneNumber(QStringLiteral("0171"));
    const QByteArray text = old->card().serialize();
    EXPECT_TRUE(text.contains("TEL;HOME;VOICE:030\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("TEL;CELL:0171\r\n")) << text.constData();
    EXPECT_TRUE(text.contains("N;ENCODING=QUOTED-PRINTABLE:M=C3=BC;A\r\n")); // untouched: byte for byte
    auto uri = ContactItem::fromData(
        crlf("BEGIN:VCARD\nVERSION:4.0\nFN:u\nTEL;VALUE=uri;TYPE=cell:tel:+1\nEND:VCARD\n"));
    uri->setMobileTelephoneNumber(QStringLiteral("+2"));
    uri->setHomeTelephoneNumber(QStringLiteral("+3"));
    const QByteArray t4 = uri->card().serialize();
    EXPECT_TRUE(t4.contains("TEL;VALUE=uri;TYPE=cell:tel:+2\r\n")) << t4.constData();
    EXPECT_TRUE(t4.contains("TEL;TYPE=home,voice:+3\r\n")) << t4.constData();
    EXPECT_EQ(reread(*uri)->MobileTelephoneNumber(), "+2");
}

TEST(ContactWrite, ClearingASlotRemovesOnlyThatNumber)
{
    auto c = ContactItem::fromData(
        crlf("BEGIN:VCARD\nVERSION:3.0\nFN:x\nTEL;TYPE=HOME:1\nTEL;TYPE=HOME:2\nEMAIL:a@b\nEND:VCARD\n"));
    c->setHomeTelephoneNumber(QString());
    auto b = reread(*c);
    EXPECT_EQ(b->HomeTelephoneNumber(), "2");
    EXPECT_EQ(b->Home2TelephoneNumber(), "");
    EXPECT_EQ(b->Email1Address(), "a@b");
}

TEST(ContactWrite, LongHeadersAndOddParameterValuesReadBackAfterWriting)
{
    // A header longer than a line folds before its colon; a parameter value may hold separators.
    const QByteArray longName = "X-" + QByteArray(90, 'V');
    auto c = ContactItem::fromData(crlf("BEGIN:VCARD\nVERSION:3.0\nFN:x\n" + longName +
                                        ":v\nTEL;TYPE=\"a:b\";TYPE=HOME:1\nEND:VCARD\n"));
    c->setHome2TelephoneNumber(QStringLiteral("2"));
    c->setHomeTelephoneNumber(QStringLiteral("3"));
    auto b = reread(*c);
    EXPECT_EQ(b->HomeTelephoneNumber(), "3");
    EXPECT_EQ(b->Home2TelephoneNumber(), "2");
    EXPECT_EQ(b->card().indexOf(longName), 2);

    // A parameter without a name that holds "=" stays one word: unquoted it would read as TYPE=CELL.
    auto bare = ContactItem::fromData(
        crlf("BEGIN:VCARD\nVERSION:3.0\nFN:x\nTEL;HOME:1\nTEL;HOME;\"TYPE=CELL\":2\nEND:VCARD\n"));
    bare->setHome2TelephoneNumber(QStringLiteral("3"));
    auto bareBack = reread(*bare);
    EXPECT_EQ(bareBack->Home2TelephoneNumber(), "3");
    EXPECT_EQ(bareBack->MobileTelephoneNumber(), "");
}
