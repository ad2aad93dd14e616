#pragma once
// A temporary folder for a test, with small helpers to lay out files.
#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace orvia::test {

class TempDir
{
public:
    TempDir();
    QString path() const { return m_dir.path(); }
    QString file(const QString &name) const { return m_dir.path() + QLatin1Char('/') + name; }
    // Writes `content` to `name` (folders created as needed); returns the full path.
    QString write(const QString &name, const QByteArray &content = QByteArray()) const;
    QByteArray read(const QString &name) const;
    QString mkdir(const QString &name) const;
    bool exists(const QString &name) const;

private:
    QTemporaryDir m_dir;
};

} // namespace orvia::test
