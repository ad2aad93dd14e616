#include "common/UpdateReply.h"
#include "common/Globals.h"
#include "common/Translation.h"
#include "platform/RuntimeError.h"

namespace orvia {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// Positions are kept in 16 bits, as the reply's readers always have.
qint16 position16(qsizetype oneBased)
{
    if (oneBased > 32767)
        throwError(ErrOverflow);
    return qint16(oneBased);
}

QString trimCrLf(const QString &s)
{
    const auto isCrLf = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    qsizetype b = 0, e = s.size();
    while (b < e && isCrLf(s.at(b)))
        ++b;
    while (e > b && isCrLf(s.at(e - 1)))
        --e;
    return s.mid(b, e - b);
}

[[noreturn]] void badElement(const QString &tag)
{
    throwError(ErrInvalidArgument, QStringLiteral("The element %1 is not closed").arg(tag));
}

} // namespace

void GetTagValue(const QString &text, const QString &tag, QString &value, qint16 &found)
{
    value.clear();
    found = 0;
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    qsizetype at = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (at >= 0) {
        position16(at + 1);
        const qsizetype start = at + open.size();
        const qint16 startPos = position16(start + 1);
        const QString close = QStringLiteral("</") + tag + QLatin1Char('>');
        const qsizetype end = text.indexOf(close, 0, Qt::CaseInsensitive);
        if (end < 0)
            badElement(tag);
        position16(end + 1);
        if (end < start)
            badElement(tag);
        value = trimCrLf(text.mid(start, end - start));
        found = startPos;
        return;
    }
    const QString shortOpen = QLatin1Char('<') + tag;
    at = text.indexOf(shortOpen, 0, Qt::CaseInsensitive);
    if (at < 0) {
        globals().gLog.log(QStringLiteral("Can't find the ") + tag + QStringLiteral(" in ") + text);
        return;
    }
    position16(at + 1);
    // "<name", one character (e.g. "="), one delimiter (e.g. a double quote), then the value.
    const qsizetype start = at + shortOpen.size() + 2;
    if (start > text.size())
        badElement(tag);
    const qint16 startPos = position16(start + 1);
    const qsizetype end = text.indexOf(QStringLiteral("/>"), start);
    if (end < 0)
        badElement(tag);
    position16(end + 1);
    // The closing delimiter stands just before "/>".
    if (end - 1 < start)
        badElement(tag);
    value = text.mid(start, end - 1 - start);
    found = startPos;
}

bool ParseFileList(const QString &text, StringArray &urls, StringArray &names)
{
    urls = StringArray();
    names = StringArray();
    QString rest = text;
    QString file, url, name;
    qint16 found = 0;
    while (!rest.isEmpty()) {
        GetTagValue(rest, QStringLiteral("file"), file, found);
        if (!found)
            return false;
        GetTagValue(file, QStringLiteral("url"), url, found);
        if (!found)
            return false;
        urls.add(url);
        GetTagValue(file, QStringLiteral("name"), name, found);
        if (!found)
            return false;
        names.add(name);
        // Always shortens the text: past the closing tag, or past six characters when there is none.
        const qsizetype close = rest.indexOf(QStringLiteral("</file>"), 0, Qt::CaseInsensitive);
        const qint16 closePos = close < 0 ? qint16(0) : position16(close + 1);
        rest = rest.mid(closePos + 6);
    }
    return true;
}

bool ParseUpdateInfo(const QString &reply, const std::function<void(const QString &)> &append,
                     StringArray &urls, StringArray &names)
{
    QString update, value;
    qint16 found = 0;
    GetTagValue(reply, QStringLiteral("update"), update, found);
    if (!found)
        return false;

    GetTagValue(update, QStringLiteral("title"), value, found);
    if (!found)
        return false;
    append(Translate(QStringLiteral("Update for")) + QLatin1Char(' ') + value + kCrLf);

    GetTagValue(update, QStringLiteral("version"), value, found);
    if (!found)
        return false;
    append(Translate(QStringLiteral("New avaible version")) + QStringLiteral(": ") + value + kCrLf);

    GetTagValue(update, QStringLiteral("downloadsize"), value, found);
    if (!found)
        return false;
    append(Translate(QStringLiteral("Download size")) + QStringLiteral(": ") + value + kCrLf);

    GetTagValue(update, QStringLiteral("files"), value, found);
    if (!found)
        return false;
    if (!ParseFileList(value, urls, names))
        return false;

    GetTagValue(update, QStringLiteral("whatsnew"), value, found);
    if (!found)
        return false;
    append(Translate(QStringLiteral("What's new")) + QStringLiteral(": ") + kCrLf + value + kCrLf);

    GetTagValue(update, QStringLiteral("usrmsg"), value, found);
    if (!found)
        return false;
    append(value + kCrLf);
    return true;
}

bool IsUpToDate(const QString &updateValue)
{
    return updateValue.toLower().contains(QStringLiteral("<nothing/>"));
}

bool IsErrorPage(const QByteArray &bytes)
{
    const QString head = QString::fromLatin1(bytes.left(1001));
    QString title;
    qint16 found = 0;
    GetTagValue(head, QStringLiteral("title"), title, found);
    return found != 0;
}

bool IsSuccessStatus(const QString &header)
{
    return header.size() >= 10 && header.at(9) == QLatin1Char('2');
}

} // namespace orvia
