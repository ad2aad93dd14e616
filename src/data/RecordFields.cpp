#include "data/RecordFields.h"

#include "common/ReplyParsing.h"
#include "platform/RuntimeError.h"

namespace orvia {

RecordFields::RecordFields(const QString &line, int separators) : m_line(line)
{
    // One left-to-right walk; equal to asking the separator search for comma 1, 2, ... in turn.
    qsizetype offset = 0;
    for (int k = 1; k <= separators; ++k) {
        if (offset < 0) {
            m_commas.append(0);
            continue;
        }
        const qint16 p = FindSeparator(line.mid(offset), QStringLiteral(","), 1);
        if (p <= 0) {
            m_commas.append(0);
            offset = -1;
            continue;
        }
        m_commas.append(offset + p);
        offset += p - 1; // the next search starts at this comma, as the nested search does
    }
}

QString RecordFields::field(int k) const
{
    const qsizetype start = k == 1 ? 1 : m_commas.value(k - 2);
    const qsizetype end = m_commas.value(k - 1);
    if (start == 0 || end == 0)
        throwError(ErrInvalidArgument);
    const qsizetype from = k == 1 ? 0 : start; // 0-based index after comma k-1
    return m_line.mid(from, end - 1 - from);
}

QString RecordFields::rest(int k) const
{
    const qsizetype p = m_commas.value(k - 1);
    if (p == 0)
        throwError(ErrInvalidArgument);
    return m_line.mid(p);
}

} // namespace orvia
