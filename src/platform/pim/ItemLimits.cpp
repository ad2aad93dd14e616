#include "platform/pim/ItemLimits.h"
#include "platform/RuntimeError.h"

#include <QVarLengthArray>

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
    // Any form the parser takes as an END, as for BEGIN.
    bool ends() const
    {
        if (m_len < 3 || qstrnicmp(m_text, "END", 3) != 0)
            return false;
        if (m_len == 3)
            return true;
        const char c = m_text[3];
        return c == ':' || c == ';' || c == ' ' || c == '\t';
    }

private:
    char m_text[16];
    qsizetype m_len = 0;
};

// The component a BEGIN or END line names: its value, unfolded from the file, without blanks and in one
// case. Such lines are few, so they alone are read a second time.
QByteArray componentName(const QByteArray &data, qsizetype from, qsizetype to)
{
    QByteArray line;
    qsizetype pos = from;
    while (pos < to) {
        const char *nl =
            static_cast<const char *>(std::memchr(data.constData() + pos, '\n', size_t(to - pos)));
        const qsizetype end = nl ? nl - data.constData() : to;
        qsizetype len = end - pos;
        if (len > 0 && data.at(pos + len - 1) == '\r')
            --len;
        if (pos == from)
            line += data.mid(pos, len);
        else if (len > 0)
            line += data.mid(pos + 1, len - 1); // a fold: the blank that begins it is no part of the line
        pos = end + 1;
    }
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        if (line.at(i) == '"')
            quoted = !quoted;
        else if (line.at(i) == ':' && !quoted)
            return line.mid(i + 1).trimmed().toUpper();
    }
    return QByteArray();
}

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
    // The parser closes the last component begun at any END, whatever it names, and goes on after the
    // whole calendar has closed: an END naming another component closes one early, and the lines after
    // it land in the component around it, or nowhere (an event's title on the calendar, say). Only END
    // lines may follow such an END, as they do when a program merely wrote the ends in the wrong order
    // or one end twice.
    QVarLengthArray<QByteArray, maxCalendarNesting> open; // the names of the components begun
    bool closedEarly = false;
    qsizetype lineStart = 0;
    qsizetype lineEnd = 0;
    auto finishLine = [&] {
        if (!inLine)
            return;
        const bool ends = head.ends();
        if (closedEarly && !ends)
            refuse(QStringLiteral("a line after an END that closes another component"));
        if (head.opens()) {
            if (++depth > maxCalendarNesting)
                refuse(QStringLiteral("components nested too deeply"));
            open.append(componentName(data, lineStart, lineEnd));
        } else if (ends) {
            if (head.closes() && depth > 0)
                --depth;
            if (open.isEmpty() || open.last() != componentName(data, lineStart, lineEnd))
                closedEarly = true;
            if (!open.isEmpty())
                open.removeLast();
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
            lineEnd = end;
        } else if (len > 0) {
            finishLine();
            if (++logicalLines > maxCalendarLines)
                refuse(QStringLiteral("too many lines for one calendar file"));
            head.start();
            head.append(p, len);
            inLine = true;
            lineStart = pos;
            lineEnd = end;
        }
        pos = end + 1;
    }
    finishLine();
}

} // namespace orvia::pim
