#pragma once
// One vCard (2.1, 3.0 or 4.0) as a list of properties that round-trips: a property the program does not
// change is written back as it was read (re-folded), so nothing another program stored is lost.
#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>

namespace orvia::pim {

struct VParam
{
    QByteArray name;          // upper case; empty for a vCard 2.1 bare parameter ("TEL;CELL:")
    QList<QByteArray> values; // unquoted
};

struct VProperty
{
    QByteArray group; // "item1" of "item1.TEL"; empty when none
    QByteArray name;  // upper case
    QList<VParam> params;
    QString value;     // decoded (quoted-printable, charset) but still escaped
    QByteArray raw;    // the line as read (unfolded); may hold CRLF for 2.1 continuation lines
    bool dirty = true; // written from the fields above instead of `raw`

    bool hasParam(const QByteArray &name) const;
    // The TYPE values in upper case, from TYPE=, quoted lists, repeated parameters and 2.1 bare words.
    QSet<QByteArray> types() const;
    void removeParam(const QByteArray &name);
};

class VCard
{
public:
    // Parses one card; throws RuntimeError 4096 with the reason when the data is not exactly one vCard.
    static VCard parse(const QByteArray &data);
    static VCard createNew(const QString &uid);

    QByteArray serialize() const;

    QByteArray version() const { return m_version; }
    QList<VProperty> &properties() { return m_props; }
    const QList<VProperty> &properties() const { return m_props; }

    int indexOf(const QByteArray &name, int from = 0) const;
    QString textValue(int index) const;                // unescaped
    void setTextValue(int index, const QString &text); // escapes and marks the property changed
    void setRawValue(int index, const QString &escaped);
    // Inserts after the last property of that name (or before the end); returns its index.
    int insertProperty(VProperty property);
    void removeProperty(int index) { m_props.removeAt(index); }

private:
    void markUtf8(VProperty &p, bool version21) const;

    QByteArray m_version;
    bool m_codePageText = false; // values without CHARSET are read in the Windows code page
    QList<VProperty> m_props;    // BEGIN and END are implicit
};

} // namespace orvia::pim
