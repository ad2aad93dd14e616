#include "platform/pim/ContactItem.h"
#include "platform/pim/ContentLines.h"

#include <QDateTime>
#include <QRegularExpression>

namespace orvia::pim {

namespace {

enum TelClass
{
    NotMapped,
    MobileClass,
    HomeClass,
    WorkClass,
    OtherClass
};

TelClass classify(const VProperty &p)
{
    const QSet<QByteArray> t = p.types();
    const bool cell = t.contains("CELL") || t.contains("MOBILE") || t.contains("IPHONE");
    // Faxes and pagers have fields of their own in the groupware, which this program does not use.
    if (!cell && (t.contains("FAX") || t.contains("PAGER")))
        return NotMapped;
    if (cell)
        return MobileClass;
    if (t.contains("HOME"))
        return HomeClass;
    if (t.contains("WORK"))
        return WorkClass;
    return OtherClass;
}

bool startsWithScheme(const QString &v, const QString &scheme)
{
    return v.startsWith(scheme, Qt::CaseInsensitive);
}

QList<VParam> typeParams(const QByteArray &version, const QList<QByteArray> &types)
{
    if (version == "2.1") {
        QList<VParam> out;
        for (const QByteArray &t : types)
            out.append(VParam{QByteArray(), {t}});
        return out;
    }
    if (version.startsWith("4")) {
        QList<QByteArray> lower;
        for (const QByteArray &t : types)
            lower.append(t.toLower());
        return {VParam{"TYPE", {lower.join(',')}}};
    }
    return {VParam{"TYPE", {types.join(',')}}};
}

QStringList splitFullName(const QString &full)
{
    QString given, family;
    const QString name = full.trimmed();
    const qsizetype comma = name.indexOf(QLatin1Char(','));
    if (comma > 0) {
        family = name.left(comma).trimmed();
        given = name.mid(comma + 1).trimmed();
    } else {
        QStringList words = name.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
        if (words.size() >= 2)
            family = words.takeLast();
        given = words.join(QLatin1Char(' '));
    }
    return {family, given, QString(), QString(), QString()};
}

} // namespace

std::shared_ptr<ContactItem> ContactItem::fromData(const QByteArray &data)
{
    return std::shared_ptr<ContactItem>(new ContactItem(VCard::parse(data)));
}

std::shared_ptr<ContactItem> ContactItem::createNew()
{
    auto item = std::shared_ptr<ContactItem>(new ContactItem(VCard::createNew(newUid())));
    item->m_changed = true;
    return item;
}

void ContactItem::beforeSave()
{
    m_telLayout.reset();
    const int rev = m_card.indexOf("REV");
    if (m_changed && rev >= 0)
        m_card.setTextValue(rev,
                            QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")));
}

bool ContactItem::isGroup() const
{
    for (const VProperty &p : m_card.properties())
        if ((p.name == "KIND" || p.name == "X-ADDRESSBOOKSERVER-KIND") &&
            p.value.trimmed().compare(QLatin1String("group"), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString ContactItem::TypeName() const
{
    return isGroup() ? QStringLiteral("DistListItem") : QStringLiteral("ContactItem");
}

qint32 ContactItem::Class() const
{
    return isGroup() ? ClassDistList : ClassContact;
}

QString ContactItem::FullName() const
{
    int fn = m_card.indexOf("FN");
    if (fn >= 0)
        return m_card.textValue(fn);
    // Cards without FN (allowed in 2.1): the name parts in reading order.
    int n = m_card.indexOf("N");
    if (n < 0)
        return QString();
    const QStringList parts = splitStructured(m_card.properties().at(n).value);
    QStringList words;
    for (int i : {3, 1, 2, 0, 4})
        if (i < parts.size() && !parts.at(i).trimmed().isEmpty())
            words.append(parts.at(i).trimmed());
    return words.join(QLatin1Char(' '));
}

QString ContactItem::indexName() const
{
    const QString full = FullName();
    qsizetype b = 0, e = full.size();
    while (b < e && full.at(b) == u' ')
        ++b;
    while (e > b && full.at(e - 1) == u' ')
        --e;
    // Composed: a name written with decomposed letters is found under the same name as a composed one.
    return full.mid(b, e - b).normalized(QString::NormalizationForm_C);
}

void ContactItem::setFullName(const QString &name)
{
    m_telLayout.reset();
    m_changed = true;
    int fn = m_card.indexOf("FN");
    if (fn >= 0) {
        m_card.setTextValue(fn, name);
    } else {
        VProperty p;
        p.name = "FN";
        p.value = escapeText(name);
        m_card.insertProperty(p);
    }
    // Address books need N to show a name; a card that has one keeps it as it is.
    if (m_card.indexOf("N") < 0) {
        VProperty p;
        p.name = "N";
        p.value = joinStructured(splitFullName(name));
        m_card.insertProperty(p);
    }
}

QString ContactItem::uid() const
{
    int i = m_card.indexOf("UID");
    return i >= 0 ? m_card.textValue(i) : QString();
}

void ContactItem::setUid(const QString &uid)
{
    m_telLayout.reset();
    m_changed = true;
    int i = m_card.indexOf("UID");
    if (i >= 0) {
        m_card.setTextValue(i, uid);
    } else {
        VProperty p;
        p.name = "UID";
        p.value = escapeText(uid);
        m_card.insertProperty(p);
    }
}

const ContactItem::TelLayout &ContactItem::telLayout() const
{
    if (m_telLayout)
        return *m_telLayout;
    // The first number of each class fills the class's first field, the second of home and work their
    // second field; every other number (faxes and pagers aside) is a further one.
    TelLayout layout;
    layout.slot.fill(-1);
    std::array<int, 5> seen{};
    const QList<VProperty> &props = m_card.properties();
    for (int i = 0; i < props.size(); ++i) {
        if (props.at(i).name != "TEL")
            continue;
        const TelClass c = classify(props.at(i));
        const int nth = seen[c]++;
        int slot = -1;
        qint16 kind = 0;
        switch (c) {
        case MobileClass:
            slot = nth == 0 ? Mobile : -1;
            kind = 1;
            break;
        case OtherClass:
            slot = nth == 0 ? Other : -1;
            kind = 1;
            break;
        case HomeClass:
            slot = nth == 0 ? Home : nth == 1 ? Home2 : -1;
            kind = 2;
            break;
        case WorkClass:
            slot = nth == 0 ? Business : nth == 1 ? Business2 : -1;
            kind = 3;
            break;
        case NotMapped:
            continue;
        }
        if (slot >= 0)
            layout.slot[size_t(slot)] = i;
        else
            layout.further.append({kind, i});
    }
    m_telLayout = std::move(layout);
    return *m_telLayout;
}

int ContactItem::telIndex(TelSlot slot) const
{
    return telLayout().slot[size_t(slot)];
}

QString ContactItem::tel(TelSlot slot) const
{
    const int i = telIndex(slot);
    return i < 0 ? QString() : telAt(i);
}

QString ContactItem::telAt(int i) const
{
    QString v = m_card.textValue(i).trimmed();
    if (!startsWithScheme(v, QStringLiteral("tel:")))
        return v;
    // Of the URI's parameters only an extension and post-dial digits are dialled; the number reading
    // puts them after a pause.
    const QStringList parts = v.mid(4).split(QLatin1Char(';'));
    QString number = parts.first();
    for (qsizetype k = 1; k < parts.size(); ++k)
        if (parts.at(k).startsWith(QLatin1String("ext="), Qt::CaseInsensitive) ||
            parts.at(k).startsWith(QLatin1String("postd="), Qt::CaseInsensitive))
            number += QLatin1Char(';') + parts.at(k);
    return number;
}

void ContactItem::setTel(TelSlot slot, const QString &value)
{
    const int i = telIndex(slot);
    m_telLayout.reset(); // the card changes below
    m_changed = m_changed || i >= 0 || !value.isEmpty();
    if (i >= 0) {
        if (value.isEmpty()) {
            m_card.removeProperty(i);
            return;
        }
        const bool uri = startsWithScheme(m_card.textValue(i).trimmed(), QStringLiteral("tel:"));
        m_card.setTextValue(i, uri ? QStringLiteral("tel:") + value : value);
        return;
    }
    if (value.isEmpty())
        return;
    QList<QByteArray> types;
    switch (slot) {
    case Mobile:
        types = {"CELL"};
        break;
    case Other:
        types = {"VOICE"};
        break;
    case Home:
    case Home2:
        types = {"HOME", "VOICE"};
        break;
    case Business:
    case Business2:
        types = {"WORK", "VOICE"};
        break;
    }
    VProperty p;
    p.name = "TEL";
    p.params = typeParams(m_card.version(), types);
    p.value = escapeText(value);
    m_card.insertProperty(p);
}

int ContactItem::emailIndex(int n) const
{
    const QList<VProperty> &props = m_card.properties();
    for (int i = 0; i < props.size(); ++i)
        if (props.at(i).name == "EMAIL" && n-- == 0)
            return i;
    return -1;
}

QString ContactItem::email(int n) const
{
    const int i = emailIndex(n);
    return i < 0 ? QString() : emailAt(i);
}

QString ContactItem::emailAt(int i) const
{
    QString v = m_card.textValue(i).trimmed();
    if (startsWithScheme(v, QStringLiteral("mailto:")))
        v = v.mid(7);
    return v;
}

void ContactItem::setEmail(int n, const QString &value)
{
    m_telLayout.reset();
    int i = emailIndex(n);
    m_changed = m_changed || i >= 0 || !value.isEmpty();
    if (i >= 0) {
        if (value.isEmpty())
            m_card.removeProperty(i);
        else
            m_card.setTextValue(i, value);
        return;
    }
    if (value.isEmpty())
        return;
    VProperty p;
    p.name = "EMAIL";
    if (!m_card.version().startsWith("4"))
        p.params = typeParams(m_card.version(), {"INTERNET"});
    p.value = escapeText(value);
    m_card.insertProperty(p);
}

QList<std::pair<qint16, QString>> ContactItem::FurtherTelephoneNumbers() const
{
    QList<std::pair<qint16, QString>> out;
    for (const auto &[kind, i] : telLayout().further)
        out.append({kind, telAt(i)});
    return out;
}

QStringList ContactItem::FurtherEmailAddresses() const
{
    QStringList out;
    int n = 0;
    const QList<VProperty> &props = m_card.properties();
    for (int i = 0; i < props.size(); ++i) {
        if (props.at(i).name == "EMAIL" && n++ >= 3)
            out.append(emailAt(i));
    }
    return out;
}

QStringList ContactItem::valuesOf(const QByteArray &property,
                                  QString (ContactItem::*valueAt)(int) const) const
{
    QStringList out;
    const QList<VProperty> &props = m_card.properties();
    for (int i = 0; i < props.size(); ++i) {
        if (props.at(i).name == property)
            out.append((this->*valueAt)(i));
    }
    return out;
}

QStringList ContactItem::AllTelephoneNumbers() const
{
    return valuesOf("TEL", &ContactItem::telAt);
}

QStringList ContactItem::AllEmailAddresses() const
{
    return valuesOf("EMAIL", &ContactItem::emailAt);
}

} // namespace orvia::pim
