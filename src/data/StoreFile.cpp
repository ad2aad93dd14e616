#include "data/StoreFile.h"

#include "common/NumberText.h"
#include "common/Windows1252.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace orvia {

namespace {

// Files this program writes are UTF-8; a file that is not valid UTF-8 is read in the ANSI code page.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return fromWindows1252(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

// Next line from `pos`; false at the end of the text.
bool nextLine(const QString &text, qsizetype &pos, QString &line)
{
    if (pos >= text.size())
        return false;
    qsizetype end = pos;
    while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
        ++end;
    line = text.mid(pos, end - pos);
    pos = end;
    if (pos < text.size() && text.at(pos) == u'\r')
        ++pos;
    if (pos < text.size() && text.at(pos) == u'\n')
        ++pos;
    return true;
}

} // namespace

StoreFileContent readStoreFile(const QString &filename)
{
    if (filename.isEmpty())
        throwError(ErrBadFileName);
    QFile f(filename);
    if (!f.exists())
        throwError(ErrFileNotFound);
    if (QFileInfo(filename).isDir() || !f.open(QIODevice::ReadOnly))
        throwError(ErrPathAccess);
    const QString text = decode(f.readAll());
    f.close();

    qsizetype pos = 0;
    QString header;
    if (!nextLine(text, pos, header))
        throwError(ErrInputPastEnd);
    const qsizetype comma = header.indexOf(u',');
    if (comma < 0)
        throwError(ErrInvalidArgument);
    StoreFileContent content;
    content.name = header.left(comma);
    const qint16 n = textToInt16(header.mid(comma + 1));
    for (qint16 i = 0; i < n; ++i) {
        QString line;
        if (!nextLine(text, pos, line))
            throwError(ErrInputPastEnd);
        content.lines.append(line);
    }
    return content;
}

void writeStoreFile(const QString &filename, const QString &text)
{
    if (filename.isEmpty())
        throwError(ErrBadFileName);
    const QFileInfo info(filename);
    if (!info.absoluteDir().exists())
        throwError(76, QStringLiteral("Path not found"));
    QSaveFile f(filename);
    if (!f.open(QIODevice::WriteOnly))
        throwError(ErrPathAccess);
    const QByteArray bytes = text.toUtf8();
    if (f.write(bytes) != bytes.size() || !f.commit())
        throwError(ErrPathAccess);
}

} // namespace orvia
