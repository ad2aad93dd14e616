#pragma once
// Crash-safe file writing for the desktop store: other programs (and a killed run) must only ever see
// the old file or the new one. Data goes to a temporary dot-file in the same folder, its write-out is
// started, and it is then renamed over the target (or linked to a new name that must not exist yet).
// Waiting for the disk is done once per batch of writes (syncFileSystemOf), not once per file: a sync
// per file costs milliseconds each on real disks, which a run writing a thousand numbers cannot afford.
#include <QByteArray>
#include <QString>

namespace orvia::pim {

// Replaces (or creates) `path` with `data`. An existing file keeps its permission bits; a new one gets
// 0600. Throws RuntimeError 75 on failure, leaving the previous file untouched.
void replaceFileAtomically(const QString &path, const QByteArray &data);

// Creates `path` with `data` only if no file of that name exists: returns false (and writes nothing) when
// one does. Throws RuntimeError 75 on any other failure.
bool createFileExclusively(const QString &path, const QByteArray &data);

// Waits until everything written to the file system holding `path` is on the disk. Throws RuntimeError
// 75 when the disk reports an error.
void syncFileSystemOf(const QString &path);

} // namespace orvia::pim
