#pragma once
// Update files on disk: which names the server may give them, and how they are written.
#include <QByteArray>
#include <QString>

namespace orvia {

// The names an update file may have: relative, with at most one folder part, no "..", no backslash,
// no drive letter, no control character, and a file part. Anything else could write outside the
// program's folder, so it throws the bad-file-name error naming it.
void CheckUpdateFileName(const QString &name);

// Where the update file for the checked `name` goes: `folder`/`name`. A folder part may be a link; where
// that leads outside `folder`, the name is refused like an unsafe one.
QString UpdateFileTarget(const QString &folder, const QString &name);

// Writes `bytes` as the whole content of `path`, replacing an earlier file only once the new content
// is complete. The file takes the permission bits of `replaces` (the file it will stand in for after
// the next start, so an updated program stays executable) or read-write for the owner and readable
// for others when that does not exist. Throws the path-access error on failure, leaving `path` as it was.
void WriteUpdateFile(const QString &path, const QByteArray &bytes, const QString &replaces);

} // namespace orvia
