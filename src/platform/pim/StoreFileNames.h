#pragma once
// Names of the desktop store's files, shared by the code that reads folders and the code that writes
// files: the program's marker file in a folder, how an item file's name ends, a path's last part. File
// names are the file system's bytes.
#include <QByteArray>

namespace orvia::pim {

// The name of the program's marker file in a folder.
const char *folderMarkerName();
// True when `name` is longer than `ext` and ends with it, in any case (".vcf", ".ics").
bool hasExtension(const QByteArray &name, const char *ext);
// What follows the last slash of `path`; all of it when it has none.
QByteArray baseNameOf(const QByteArray &path);

} // namespace orvia::pim
