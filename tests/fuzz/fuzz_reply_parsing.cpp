// Phone reply parsing: any reply may only end in the program's runtime error, and what the procedures
// return must describe the text they were given.
#include "common/ReplyParsing.h"
#include "common/Windows1252.h"
#include "platform/RuntimeError.h"

#include <cstdint>
#include <cstdlib>

using namespace orvia;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void separators(const QString &line, const QString &sep)
{
    qint16 previous = 0;
    for (qint16 n = -1; n <= 8; ++n) {
        qint16 p;
        try {
            p = FindSeparator(line, sep, n);
        } catch (const RuntimeError &e) {
            check(e.number() == ErrOverflow && line.size() > 32767);
            return;
        }
        if (n == 0) {
            check(p == -1);
            continue;
        }
        if (n < 0) {
            check(p == 0);
            continue;
        }
        if (p == 0) {
            previous = -1; // no later separator may be found
            continue;
        }
        check(previous >= 0 && p > previous && p >= 2);
        check(QStringView(line).mid(p - 1, sep.size()) == sep);
        previous = p;
    }
}

void fields(const QString &line)
{
    for (qint16 n = 0; n <= 5; ++n) {
        try {
            (void)GetIntField(line, n);
        } catch (const RuntimeError &e) {
            check(e.number() == ErrTypeMismatch || e.number() == ErrOverflow);
        }
        try {
            check(!GetQuotedField(line, n).contains(u'"'));
        } catch (const RuntimeError &e) {
            check(e.number() == ErrInvalidArgument || e.number() == ErrOverflow);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString reply = fromWindows1252(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QStringList lines = SplitLines(reply);
    check(!lines.isEmpty() && lines.first().isEmpty());
    check(lines.size() == reply.count(u'\r') + 1);
    for (const QString &line : lines) {
        check(!line.contains(u'\r'));
        separators(line, QStringLiteral(","));
        separators(line, QStringLiteral(":"));
        separators(line, QStringLiteral("\""));
        fields(line);
    }
    QString trimmed = reply;
    const QString result = TrimCrLf(trimmed);
    check(result == trimmed);
    check(!trimmed.startsWith(u'\r') && !trimmed.startsWith(u'\n') && !trimmed.endsWith(u'\r') &&
          !trimmed.endsWith(u'\n'));
    check(reply.contains(trimmed));
    return 0;
}
