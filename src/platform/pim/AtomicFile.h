#pragma once
// Crash-safe file writing for the desktop store: other programs (and a killed run) must only ever see
// the old file or the new one. Data goes to a temporary dot-file in the same folder, its write-out is
// started, and it is then renamed over the target (or linked to a new name that must not exist yet).
// Only a name ending in ".tmp" holds an unfinished write of ours; a finished one is swapped with the
// target under a name ending in ".swap", which then holds the target's old file and is never swept.
// Waiting for the disk is done once per batch of writes (syncFileSystemOf), not once per file: a sync
// per file costs milliseconds each on real disks, which a run writing a thousand numbers cannot afford.
#include "platform/pim/BusyWait.h"

#include <QByteArray>
#include <QString>

struct stat;

namespace orvia::pim {

// One version of a file: a file replaced by rename has a new inode, one rewritten in place a new
// modification time and usually a new size.
struct FileVersion
{
    quint64 inode = 0;
    qint64 mtimeNs = -1;
    qint64 size = -1;
    bool operator==(const FileVersion &) const = default;
};
FileVersion versionOf(const struct ::stat &st);

// Replaces (or creates) `path` with `data`. An existing file keeps its permission bits; a new one gets
// 0600. Throws RuntimeError 75 on failure, leaving the previous file untouched.
void replaceFileAtomically(const QString &path, const QByteArray &data);

// Replaces the file at `path` (raw file-system bytes) with `data` only while it is still `expected`,
// checked immediately before the rename. Returns false, leaving everything as it was, when it changed or
// vanished; else stores the version now at `path` in `written`. Throws RuntimeError 75 on failure (when
// another program's version could not be put back, the message says where it is kept, and `written` is
// set, since the new text is in place), ErrItemBusy when
// another program's lease on the file outlasts `wait`, ErrItemLinked for a file with further names that
// cannot be rewritten in place safely; in those two cases the file is left as it was.
bool replaceFileIfUnchanged(const QByteArray &path, const QByteArray &data, const FileVersion &expected,
                            FileVersion &written, const BusyWait &wait);

// Creates `path` with `data` only if no file of that name exists: returns false (and writes nothing) when
// one does. Throws RuntimeError 75 on any other failure.
bool createFileExclusively(const QString &path, const QByteArray &data);
// The same for a raw file-system path, storing the version created in `written`.
bool createFileExclusively(const QByteArray &path, const QByteArray &data, FileVersion &written);

// True for the name of a temporary file these functions make while writing: one left behind by a killed
// write. A finished file about to be swapped with its target has another name, since the target's old
// file, which may hold another program's edit, comes back under it.
bool isLeftoverTemporaryName(const QByteArray &fileName);

// Waits until everything written to the file system holding `path` is on the disk. Throws RuntimeError
// 75 when the disk reports an error.
void syncFileSystemOf(const QString &path);

} // namespace orvia::pim
