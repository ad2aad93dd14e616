#include "data/ByteArray.h"

#include "common/NumberText.h"
#include "common/Windows1252.h"
#include "data/ListLimits.h"

#include <cmath>

namespace orvia {

void ByteArray::AddByte(quint8 b)
{
    checkListRoom(m_bytes.size(), 1);
    m_bytes.append(char(b));
}

void ByteArray::AddArray(const QByteArray &bytes)
{
    // All or nothing: a sequence that does not fit is refused whole rather than cut short.
    checkListRoom(m_bytes.size(), bytes.size());
    for (char c : bytes)
        AddByte(quint8(c));
}

void ByteArray::add(const QByteArray &b)
{
    AddArray(b);
}

void ByteArray::add(int b)
{
    if (b < 0 || b > 255)
        throwError(ErrOverflow);
    AddByte(quint8(b));
}

void ByteArray::add(const QVariant &b)
{
    switch (b.typeId()) {
    case QMetaType::QByteArray:
        AddArray(b.toByteArray());
        return;
    case QMetaType::QString: {
        const qint32 v = textToInt32(b.toString());
        add(v < 0 || v > 255 ? -1 : int(v));
        return;
    }
    default:
        break;
    }
    bool ok = false;
    const double v = b.toDouble(&ok);
    if (!ok)
        throwError(ErrTypeMismatch);
    const double r = std::nearbyint(v);
    add(r >= 0.0 && r <= 255.0 ? int(r) : -1);
}

QString ByteArray::tostr() const
{
    return fromWindows1252(m_bytes);
}

} // namespace orvia
