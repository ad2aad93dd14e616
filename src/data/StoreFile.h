#pragma once
// The store file shared by the phonebook and calendar stores: a header line "name,count" and `count`
// record lines. Lines end in CR LF (a lone CR or LF is accepted on reading).
#include <QString>
#include <QStringList>

namespace orvia {

struct StoreFileContent
{
    QString name;
    QStringList lines; // the record lines, without line ends
};

// Reads the header and `count` record lines; text after them is not read. Throws 53 for a missing
// file, 75 when it cannot be read, 5 for a header without a comma, 13/6 for a bad count and 62 when
// the file ends before `count` lines.
StoreFileContent readStoreFile(const QString &filename);

// Writes `text` as the whole file: UTF-8, through a temporary file that replaces the old one only when
// everything was written. Throws 75 (or 76 for a missing folder) on failure.
void writeStoreFile(const QString &filename, const QString &text);

} // namespace orvia
