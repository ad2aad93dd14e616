#include "support/TempDir.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orvia::test {

TempDir::TempDir() : m_dir(QDir::tempPath() + QStringLiteral("/orvia-test-XXXXXX")) {}

QString TempDir::write(const QString &name, const QByteArray &content) const
{
    const QString p = file(name);
    QDir().mkpath(QFileInfo(p).absolutePath());
    QFile f(p);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(content);
    return p;
}

QByteArray TempDir::read(const QString &name) const
{
    QFile f(file(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString TempDir::mkdir(const QString &name) const
{
    const QString p = file(name);
    QDir().mkpath(p);
    return p;
}

bool TempDir::exists(const QString &name) const
{
    return QFileInfo::exists(file(name));
}

} // namespace orvia::test
