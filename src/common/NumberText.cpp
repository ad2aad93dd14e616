#include "common/NumberText.h"

#include "platform/RuntimeError.h"

#include <cmath>
#include <limits>

namespace orvia {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Checks the number's form strictly (QString::toDouble alone would accept "inf", "nan" and hex
// floats) and returns its value.
double parseNumber(const QString &text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && isBlank(text.at(b)))
        ++b;
    while (e > b && isBlank(text.at(e - 1)))
        --e;
    qsizetype i = b;
    if (i < e && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < e && isDigit(text.at(i))) {
        ++i;
        ++digits;
    }
    if (i < e && text.at(i) == u'.') {
        ++i;
        while (i < e && isDigit(text.at(i))) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        throwError(ErrTypeMismatch);
    if (i < e && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        if (i < e && (text.at(i) == u'+' || text.at(i) == u'-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < e && isDigit(text.at(i))) {
            ++i;
            ++expDigits;
        }
        if (expDigits == 0)
            throwError(ErrTypeMismatch);
    }
    if (i != e)
        throwError(ErrTypeMismatch);
    bool ok = false;
    const double v = QStringView(text).mid(b, e - b).toDouble(&ok);
    if (!ok && !std::isinf(v))
        throwError(ErrTypeMismatch);
    return v;
}

template <typename T> T toRange(const QString &text)
{
    const double v = std::nearbyint(parseNumber(text)); // half to even in the default rounding mode
    if (!(v >= double(std::numeric_limits<T>::min()) && v <= double(std::numeric_limits<T>::max())))
        throwError(ErrOverflow);
    return T(v);
}

} // namespace

qint16 textToInt16(const QString &text)
{
    return toRange<qint16>(text);
}

qint32 textToInt32(const QString &text)
{
    return toRange<qint32>(text);
}

bool textToBoolean(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(u"true", Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(u"false", Qt::CaseInsensitive) == 0)
        return false;
    return parseNumber(text) != 0.0;
}

} // namespace orvia
