#include "shell/ProgramVersion.h"
#include <QCoreApplication>
#include <QStringList>

namespace orvia {

ProgramVersion ProgramVersion::fromText(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    auto part = [&parts](int i) {
        bool ok = false;
        const int v = i < parts.size() ? parts.at(i).trimmed().toInt(&ok) : 0;
        return ok && v >= 0 ? v : 0;
    };
    return ProgramVersion{part(0), part(1), part(2)};
}

ProgramVersion ProgramVersion::current()
{
    return fromText(QCoreApplication::applicationVersion());
}

QString ProgramVersion::majorMinor() const
{
    return QString::number(major) + QLatin1Char('.') + QString::number(minor);
}

QString ProgramVersion::full() const
{
    return majorMinor() + QLatin1Char('.') + QString::number(revision);
}

} // namespace orvia
