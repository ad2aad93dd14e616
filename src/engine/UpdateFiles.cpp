#include "engine/UpdateFiles.h"
#include "platform/RuntimeError.h"
#include "platform/pim/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

namespace orvia {

namespace {

bool hasDriveLetter(const QString &name)
{
    return name.size() >= 2 && name.at(1) == QLatin1Char(':') && name.at(0).isLetter() &&
           name.at(0).unicode() < 128;
}

bool hasControlCharacter(const QString &name)
{
    for (QChar c : name)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    return false;
}

[[noreturn]] void refuseName(const QString &name)
{
    throwError(ErrBadFileName, QStringLiteral("The update file name \"%1\" is not allowed").arg(name));
}

} // namespace

void CheckUpdateFileName(const QString &name)
{
    const bool refused = name.isEmpty() || name.startsWith(QLatin1Char('/')) ||
                         name.contains(QStringLiteral("..")) || name.contains(QLatin1Char('\\')) ||
                         hasDriveLetter(name) || hasControlCharacter(name) ||
                         name.count(QLatin1Char('/')) > 1 || name.endsWith(QLatin1Char('/'));
    if (refused)
        refuseName(name);
}

QString UpdateFileTarget(const QString &folder, const QString &name)
{
    const QString target = folder + QLatin1Char('/') + name;
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return target; // a link at the file's own name is replaced, not written through
    const QString home = QFileInfo(folder).canonicalFilePath();
    const QString sub = QFileInfo(folder + QLatin1Char('/') + name.left(slash)).canonicalFilePath();
    if (home.isEmpty() || sub.isEmpty() || (sub != home && !sub.startsWith(home + QLatin1Char('/'))))
        refuseName(name);
    return target;
}

void WriteUpdateFile(const QString &path, const QByteArray &bytes, const QString &replaces)
{
    pim::replaceFileAtomically(path, bytes);
    const QFileInfo old(replaces);
    const QFile::Permissions mode =
        old.isFile() ? QFile::permissions(replaces)
                     : (QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // The content is in place; a refused mode change leaves the owner's read-write file.
    QFile::setPermissions(path, mode | QFile::ReadOwner | QFile::WriteOwner);
}

} // namespace orvia
