#pragma once
// A temporary store root for one test, with helpers to put files in it the way other programs do.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace orvia::pim::test {

class TempRoot
{
public:
    TempRoot() { EXPECT_TRUE(m_dir.isValid()); }
    QString path() const { return m_dir.path(); }
    QString mkdir(const QString &rel) const
    {
        const QString p = path() + QLatin1Char('/') + rel;
        QDir().mkpath(p);
        return p;
    }
    void write(const QString &rel, const QByteArray &data) const
    {
        QFile f(path() + QLatin1Char('/') + rel);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << rel.toStdString();
        f.write(data);
    }
    QByteArray read(const QString &rel) const
    {
        QFile f(path() + QLatin1Char('/') + rel);
        if (!f.open(QIODevice::ReadOnly))
            return QByteArray();
        return f.readAll();
    }
    QStringList files(const QString &rel) const
    {
        return QDir(path() + QLatin1Char('/') + rel).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

private:
    QTemporaryDir m_dir;
};

inline QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}
inline QByteArray crlf(const char *text)
{
    return crlf(QByteArray(text));
}

} // namespace orvia::pim::test
