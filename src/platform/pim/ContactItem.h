#pragma once
// A contact of the desktop store: one vCard file. The full name, four kinds of telephone number and
// three e-mail addresses are read and written; every other property of the card is kept as it was.
#include "platform/pim/PimItem.h"
#include "platform/pim/VCard.h"

#include <array>
#include <optional>

namespace orvia::pim {

class ContactItem : public PimItem
{
public:
    static std::shared_ptr<ContactItem> fromData(const QByteArray &data); // throws RuntimeError 4096
    static std::shared_ptr<ContactItem> createNew();

    // "ContactItem", or "DistListItem" for a card that describes a group.
    QString TypeName() const override;
    qint32 Class() const override;

    QString FullName() const;
    void setFullName(const QString &name);
    QString MobileTelephoneNumber() const { return tel(Mobile); }
    void setMobileTelephoneNumber(const QString &v) { setTel(Mobile, v); }
    QString OtherTelephoneNumber() const { return tel(Other); }
    void setOtherTelephoneNumber(const QString &v) { setTel(Other, v); }
    QString HomeTelephoneNumber() const { return tel(Home); }
    void setHomeTelephoneNumber(const QString &v) { setTel(Home, v); }
    QString Home2TelephoneNumber() const { return tel(Home2); }
    void setHome2TelephoneNumber(const QString &v) { setTel(Home2, v); }
    QString BusinessTelephoneNumber() const { return tel(Business); }
    void setBusinessTelephoneNumber(const QString &v) { setTel(Business, v); }
    QString Business2TelephoneNumber() const { return tel(Business2); }
    void setBusiness2TelephoneNumber(const QString &v) { setTel(Business2, v); }
    QString Email1Address() const { return email(0); }
    void setEmail1Address(const QString &v) { setEmail(0, v); }
    QString Email2Address() const { return email(1); }
    void setEmail2Address(const QString &v) { setEmail(1, v); }
    QString Email3Address() const { return email(2); }
    void setEmail3Address(const QString &v) { setEmail(2, v); }

    // Numbers past the ones the six number fields show, in card order, each with its kind (1 mobile or
    // other, 2 home, 3 work); faxes and pagers are not among them.
    QList<std::pair<qint16, QString>> FurtherTelephoneNumbers() const;
    // Addresses past the third.
    QStringList FurtherEmailAddresses() const;
    // Every number the card holds, faxes and pagers included, and every address, as the fields show them.
    QStringList AllTelephoneNumbers() const;
    QStringList AllEmailAddresses() const;

    const VCard &card() const { return m_card; }

protected:
    QByteArray serialize() const override { return m_card.serialize(); }
    QString uid() const override;
    void setUid(const QString &uid) override;
    QString fileExtension() const override { return QStringLiteral(".vcf"); }
    bool isIndexed() const override { return !isGroup(); }
    // The full name as a contacts run reads it: without outer blanks, its letters composed.
    QString indexName() const override;
    // A changed card gets a new REV, when it has one, so that sync tools see the change.
    void beforeSave() override;
    bool hasChanges() const override { return m_changed; }
    void afterSave() override { m_changed = false; }

private:
    enum TelSlot
    {
        Mobile,
        Other,
        Home,
        Home2,
        Business,
        Business2
    };
    // Where the card's numbers sit: the property of each of the six number fields (-1: none) and the
    // further numbers with their kinds, in card order. Worked out once per version of the card: every
    // number field read needs it.
    struct TelLayout
    {
        std::array<int, 6> slot;
        QList<std::pair<qint16, int>> further;
    };

    explicit ContactItem(VCard card) : m_card(std::move(card)) {}

    const TelLayout &telLayout() const;

    bool isGroup() const;
    int telIndex(TelSlot slot) const;
    QString tel(TelSlot slot) const;
    QString telAt(int i) const;
    void setTel(TelSlot slot, const QString &value);
    int emailIndex(int n) const;
    QString email(int n) const;
    QString emailAt(int i) const;
    // The value of every property of that name, as `valueAt` shows it.
    QStringList valuesOf(const QByteArray &property, QString (ContactItem::*valueAt)(int) const) const;
    void setEmail(int n, const QString &value);

    VCard m_card;
    bool m_changed = false;
    // Reset by every change of the card.
    mutable std::optional<TelLayout> m_telLayout;
};

} // namespace orvia::pim
