#pragma once
// Cuts a one-line record at its commas (found by the quote-aware separator search) so the record
// classes can read field k. A field whose closing comma is missing is the invalid-argument error,
// raised only when that field is read, so earlier fields can be stored first.
#include <QList>
#include <QString>

namespace orvia {

class RecordFields
{
public:
    // Finds the first `separators` commas of `line`.
    RecordFields(const QString &line, int separators);
    // Field k (1-based): from after comma k-1 (the line's start for k = 1) to before comma k.
    QString field(int k) const;
    // Everything after comma k.
    QString rest(int k) const;

private:
    QString m_line;
    QList<qsizetype> m_commas; // 1-based positions; 0 = not found
};

} // namespace orvia
