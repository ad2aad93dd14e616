#pragma once
// A growable 0-based list of bytes.
#include <QByteArray>
#include <QString>
#include <QVariant>

namespace orvia {

class ByteArray
{
public:
    QByteArray data() const { return m_bytes; }
    qint16 count() const { return qint16(m_bytes.size()); }
    // Appends every byte of the sequence. Throws overflow (list unchanged) when they would not fit
    // in 32767 elements.
    void add(const QByteArray &b);
    // Appends one value as a byte: overflow outside 0..255, the list unchanged.
    void add(int b);
    // A byte sequence, a number or a numeric text; any other value is a type mismatch.
    void add(const QVariant &b);
    // The characters whose Windows-1252 codes are the bytes.
    QString tostr() const;
    void Clear() { m_bytes.clear(); }

private:
    void AddByte(quint8 b);
    void AddArray(const QByteArray &bytes);

    QByteArray m_bytes;
};

} // namespace orvia
