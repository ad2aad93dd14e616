#include "platform/pim/ItemLimits.h"
#include "platform/RuntimeError.h"

#include <cstring>

namespace orvia::pim {

namespace {

[[noreturn]] void refuse(const QString &reason)
{
    throwError(ErrItemRefused, reason);
}

// The opening of one logical line, gathered across folds: enough to tell BEGIN and END lines.
class LineHead
{
public:
    void start() { m_len = 0; }
    void append(const char *p, qsizetype len)
    {
        while (len-- > 0 && m_len < qsizetype(sizeof m_text))
            m_text[m_len++] = *p++;
    }
    // The parser takes a line as BEGIN whatever the case, with parameters or blanks before the colon.
    bool opens() const
    {
        if (m_len < 5 || qstrnicmp(m_text, "BEGIN", 5) != 0)
            return false;
        if (m_len == 5)
            return true;
        const char c = m_text[5];
        return c == ':' || c == ';' || c == ' ' || c == '\t';
    }
    // Only the plain form is counted as closing, so that the depth is never under-counted.
    bool closes() const { return m_len >= 4 && qstrnicmp(m_text, "END:", 4) == 0; }

private:
    char m_text[16];
    qsizetype m_len = 0;
};

} // namespace

void checkItemSize(qint64 size)
{
    if (size > maxItemFileSize)
        refuse(QStringLiteral("file too large"));
}

void checkCalendarShape(const QByteArray &data)
{
    checkItemSize(data.size());
    qint64 logicalLines = 0;
    int depth = 0;
    bool inLine = false;
    LineHead head;
    auto finishLine = [&] {
        if (!inLine)
            return;
        if (head.opens()) {
            if (++depth > maxCalendarNesting)
                refuse(QStringLiteral("components nested too deeply"));
        } else if (head.closes() && depth > 0) {
            --depth;
        }
    };
    const qsizetype n = data.size();
    const char *base = data.constData();
    qsizetype pos = 0;
    // One pass over the physical lines; one that starts with a blank or a tab continues the line before.
    while (pos < n) {
        const char *nl = static_cast<const char *>(std::memchr(base + pos, '\n', size_t(n - pos)));
        const qsizetype end = nl ? nl - base : n;
        qsizetype len = end - pos;
        if (len > maxCalendarLineLength)
            refuse(QStringLiteral("a line too long for a calendar file"));
        const char *p = base + pos;
        if (len > 0 && p[len - 1] == '\r')
            --len;
        if (len > 0 && (p[0] == ' ' || p[0] == '\t') && inLine) {
            head.append(p + 1, len - 1);
        } else if (len > 0) {
            finishLine();
            if (++logicalLines > maxCalendarLines)
                refuse(QStringLiteral("too many lines for one calendar file"));
            head.start();
            head.append(p, len);
            inLine = true;
        }
        pos = end + 1;
    }
    finishLine();
}

} // namespace orvia::pim
