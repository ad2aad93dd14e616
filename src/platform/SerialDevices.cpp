#include "platform/SerialDevices.h"
#include <QDir>
#include <QFile>
#include <algorithm>

namespace orvia {

namespace {
const char *const kPatterns[] = {"ttyS*", "ttyUSB*", "ttyACM*", "rfcomm*", "ircomm*"};

// A ttyS entry exists for every possible UART; only those with a known port type are real.
bool isRealUart(const QString &sysTtyDir, const QString &name)
{
    QFile type(sysTtyDir + QLatin1Char('/') + name + QStringLiteral("/type"));
    if (!type.open(QIODevice::ReadOnly))
        return false;
    const QByteArray t = type.read(32).trimmed();
    return !t.isEmpty() && t != "0";
}

void splitTrailingNumber(const QString &s, QStringView &stem, qint64 &number, bool &hasNumber)
{
    qsizetype i = s.size();
    while (i > 0 && s.at(i - 1).isDigit() && s.size() - i < 15)
        --i;
    stem = QStringView(s).left(i);
    hasNumber = i < s.size();
    number = hasNumber ? s.mid(i).toLongLong() : 0;
}
} // namespace

bool naturalLess(const QString &a, const QString &b)
{
    QStringView sa, sb;
    qint64 na = 0, nb = 0;
    bool ha = false, hb = false;
    splitTrailingNumber(a, sa, na, ha);
    splitTrailingNumber(b, sb, nb, hb);
    const int c = sa.compare(sb);
    if (c != 0)
        return c < 0;
    if (ha != hb)
        return !ha;
    return na != nb ? na < nb : a < b;
}

bool isInfraredDevice(const QString &path)
{
    return path.section(QLatin1Char('/'), -1).startsWith(QLatin1String("ircomm"));
}

QStringList scanSerialDevices(const QString &devDir, const QString &sysTtyDir)
{
    QStringList out;
    const QDir dev(devDir);
    for (const char *pattern : kPatterns) {
        const QStringList names = dev.entryList(QStringList{QLatin1String(pattern)},
                                                QDir::System | QDir::Files | QDir::NoDotAndDotDot);
        for (const QString &n : names) {
            if (n.startsWith(QLatin1String("ttyS")) && !isRealUart(sysTtyDir, n))
                continue;
            out.append(devDir + QLatin1Char('/') + n);
        }
    }
    std::sort(out.begin(), out.end(), naturalLess);
    out.removeDuplicates();
    return out;
}

} // namespace orvia
