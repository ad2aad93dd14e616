#pragma once
// File operations with the classic attribute model mapped onto POSIX: hidden is a name starting with
// a dot, read-only is a missing owner write permission, there are no system files. Failures throw
// RuntimeError with the classic numbers (53, 58, 75, 76).
#include <QString>
#include <QStringList>

namespace orvia::fileops {

int attributesOf(const QString &path); // throws 53 when nothing is there
QStringList list(const QString &pattern, int attributeMask);
void deleteFile(const QString &pathOrPattern);
void rename(const QString &from, const QString &to);
void setAttributes(const QString &path, int attributes);
void makeDir(const QString &path);
// Creates the missing folders of the absolute `folder` path, each for its owner only, and closes
// `folder` itself to others (it may predate this rule). A shared folder such as /tmp (sticky) is left
// as it is. Failures are silent: the caller finds out when it uses the folder.
void makePrivateFolder(const QString &folder);
void removeDir(const QString &path);
bool exists(const QString &path);

} // namespace orvia::fileops
