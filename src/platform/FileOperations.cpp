#include "platform/FileOperations.h"
#include "platform/RuntimeError.h"
#include "platform/SystemServices.h"
#include "platform/Wildcard.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace orvia::fileops {

namespace {

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

bool lstatOf(const QString &path, struct stat &st)
{
    return ::lstat(native(path).constData(), &st) == 0;
}

int attributesFromStat(const QString &name, const struct stat &st)
{
    int a = 0;
    if (S_ISDIR(st.st_mode))
        a |= attr::Directory;
    if (!(st.st_mode & S_IWUSR))
        a |= attr::ReadOnly;
    if (name.startsWith(QLatin1Char('.')))
        a |= attr::Hidden;
    return a;
}

// Splits "dir/name" into its folder ("." when none) and its last component.
void splitPath(const QString &path, QString &dir, QString &name)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) {
        dir = QStringLiteral(".");
        name = path;
    } else {
        dir = slash == 0 ? QStringLiteral("/") : path.left(slash);
        name = path.mid(slash + 1);
    }
}

bool isDir(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int attributesOf(const QString &path)
{
    struct stat st
    {
    };
    // Follow a link to see what it names; a dangling link is still a (plain) entry.
    if (::stat(native(path).constData(), &st) != 0 && !lstatOf(path, st))
        throwError(ErrFileNotFound);
    QString dir, name;
    splitPath(path, dir, name);
    return attributesFromStat(name, st);
}

QStringList list(const QString &pattern, int attributeMask)
{
    QString dir, name;
    splitPath(pattern, dir, name);
    if (!isDir(dir))
        throwError(ErrPathNotFound);
    if (name.isEmpty())
        name = QStringLiteral("*");
    const int excluded = ~attributeMask & (attr::ReadOnly | attr::Hidden | attr::System | attr::Directory);
    QStringList out;
    const QStringList entries = QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    for (const QString &e : entries) {
        if (!wildcardMatch(name, e))
            continue;
        struct stat st
        {
        };
        const QString full = dir + QLatin1Char('/') + e;
        if (::stat(native(full).constData(), &st) != 0 && !lstatOf(full, st))
            continue; // vanished meanwhile
        if (attributesFromStat(e, st) & excluded)
            continue;
        out.append(e);
    }
    std::sort(out.begin(), out.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return out;
}

namespace {
void deleteOne(const QString &path)
{
    struct stat st
    {
    };
    if (!lstatOf(path, st) || S_ISDIR(st.st_mode))
        throwError(ErrFileNotFound);
    if (!S_ISLNK(st.st_mode) && !(st.st_mode & S_IWUSR))
        throwError(ErrPathAccess);
    if (::unlink(native(path).constData()) != 0)
        throwError(errno == ENOENT ? ErrFileNotFound : ErrPathAccess);
}
} // namespace

void deleteFile(const QString &pathOrPattern)
{
    QString dir, name;
    splitPath(pathOrPattern, dir, name);
    if (!hasWildcards(name)) {
        deleteOne(pathOrPattern);
        return;
    }
    const QStringList names = list(pathOrPattern, attr::Normal);
    if (names.isEmpty())
        throwError(ErrFileNotFound);
    const QString prefix = pathOrPattern.left(pathOrPattern.size() - name.size());
    // One file that cannot go does not keep the others: the first failure is reported at the end.
    int firstError = 0;
    for (const QString &n : names) {
        try {
            deleteOne(prefix + n);
        } catch (const RuntimeError &e) {
            if (!firstError)
                firstError = e.number();
        }
    }
    if (firstError)
        throwError(firstError);
}

void rename(const QString &from, const QString &to)
{
    struct stat st
    {
    };
    if (!lstatOf(from, st))
        throwError(ErrFileNotFound);
    if (lstatOf(to, st))
        throwError(ErrFileExists); // never replace what stands at the new name
    if (::rename(native(from).constData(), native(to).constData()) != 0)
        throwError(errno == ENOENT ? ErrPathNotFound : ErrPathAccess);
}

void setAttributes(const QString &path, int attributes)
{
    struct stat st
    {
    };
    if (::stat(native(path).constData(), &st) != 0)
        throwError(ErrFileNotFound);
    mode_t mode = st.st_mode & 07777;
    if (attributes & attr::ReadOnly)
        mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else
        mode |= S_IWUSR;
    if (::chmod(native(path).constData(), mode) != 0)
        throwError(ErrPathAccess);
}

void makeDir(const QString &path)
{
    if (::mkdir(native(path).constData(), 0777) != 0)
        throwError(errno == ENOENT ? ErrPathNotFound : ErrPathAccess);
}

void makePrivateFolder(const QString &folder)
{
    QString sofar;
    for (const QString &part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        sofar += QLatin1Char('/') + part;
        ::mkdir(native(sofar).constData(), 0700); // an existing folder stays as it is
    }
    struct stat st
    {
    };
    if (::stat(native(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && !(st.st_mode & S_ISVTX))
        ::chmod(native(folder).constData(), 0700);
}

void removeDir(const QString &path)
{
    if (::rmdir(native(path).constData()) != 0)
        throwError(errno == ENOENT || errno == ENOTDIR ? ErrPathNotFound : ErrPathAccess);
}

bool exists(const QString &path)
{
    struct stat st
    {
    };
    return !path.isEmpty() && lstatOf(path, st);
}

} // namespace orvia::fileops
