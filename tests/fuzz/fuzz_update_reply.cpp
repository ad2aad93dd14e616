// The update server's reply and the first bytes of a downloaded file: any input may only end in the
// program's runtime error, values found must lie inside the text, and file lists stay consistent.
#include "common/UpdateReply.h"
#include "engine/UpdateFiles.h"
#include "platform/InternetTransfer.h"
#include "platform/RuntimeError.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>

using namespace orvia;

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

void tags(const QString &text)
{
    static const char *const names[] = {"update", "title", "version", "files", "file",
                                        "url",    "name",  "nothing", ""};
    for (const char *n : names) {
        QString value;
        qint16 found = -1;
        try {
            GetTagValue(text, QLatin1String(n), value, found);
        } catch (const RuntimeError &e) {
            check(e.number() == ErrInvalidArgument || e.number() == ErrOverflow);
            continue;
        }
        check(found >= 0 && found <= text.size() + 1);
        check(found > 0 || value.isEmpty());
        if (found > 0) {
            QString rest = text.mid(found - 1);
            while (rest.startsWith(QLatin1Char('\r')) || rest.startsWith(QLatin1Char('\n')))
                rest.remove(0, 1);
            check(rest.startsWith(value) || text.mid(found - 1).startsWith(value));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = IInternetTransfer::decodeText(bytes, QStringLiteral("utf-8"));
    const QString ansi = IInternetTransfer::decodeText(bytes, QString());
    tags(text);
    tags(ansi);

    StringArray urls, names;
    int lines = 0;
    try {
        const bool ok = ParseUpdateInfo(
            ansi, [&](const QString &) { ++lines; }, urls, names);
        check(!ok || lines == 5);
    } catch (const RuntimeError &e) {
        check(e.number() == ErrInvalidArgument || e.number() == ErrOverflow);
    }
    check(urls.count() == names.count() || urls.count() == names.count() + 1);
    try {
        if (ParseFileList(text, urls, names))
            check(urls.count() == names.count());
    } catch (const RuntimeError &e) {
        check(e.number() == ErrInvalidArgument || e.number() == ErrOverflow);
    }
    for (qint16 i = 0; i < names.count(); ++i) {
        const QString name = names.GetItem(i);
        try {
            CheckUpdateFileName(name);
            check(!name.startsWith(QLatin1Char('/')) && !name.contains(QStringLiteral("..")) &&
                  name.count(QLatin1Char('/')) <= 1);
        } catch (const RuntimeError &e) {
            check(e.number() == ErrBadFileName);
        }
    }
    try {
        IsErrorPage(bytes);
    } catch (const RuntimeError &e) {
        check(e.number() == ErrInvalidArgument);
    }
    IsSuccessStatus(text);
    IsUpToDate(text);
    return 0;
}
