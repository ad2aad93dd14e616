#include "data/MrLog.h"
#include "platform/FileOperations.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace orvia {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QFile::Permissions kOwnerFile = QFile::ReadOwner | QFile::WriteOwner;

// The longest start of `bytes` of at most `limit` bytes that does not split a UTF-8 sequence.
QByteArray cutUtf8(const QByteArray &bytes, qsizetype limit)
{
    qsizetype n = qMin(limit, bytes.size());
    while (n > 0 && n < bytes.size() && (uchar(bytes.at(n)) & 0xC0) == 0x80)
        --n;
    return bytes.left(n);
}
} // namespace

MrLog::MrLog()
{
    const QLocale loc;
    const QDateTime now = QDateTime::currentDateTime();
    output(kCrLf + kCrLf + QStringLiteral("############# START OF SESSION ###############") + kCrLf +
           QStringLiteral("Log started ") + loc.toString(now.date(), QLocale::ShortFormat) + u' ' +
           loc.toString(now.time(), QLocale::ShortFormat) + kCrLf + kCrLf);
}

MrLog::~MrLog() = default;

void MrLog::StartCriticalSection(const QString &s)
{
    m_criticalSection = QStringLiteral("Start of critical section ") + s;
    output(m_criticalSection);
}

void MrLog::log(const QString &s, bool checkpoint)
{
    Q_UNUSED(checkpoint);
    output(s);
}

void MrLog::DumpCriticalSection(const QString &note)
{
    output(QStringLiteral("Dump critical section: ") + note + kCrLf);
}

QStringList MrLog::recentLines() const
{
    return m_recent;
}

void MrLog::output(const QString &text)
{
    if (m_recent.size() >= kKeptLines)
        m_recent.removeFirst();
    m_recent.append(text);
    writeToFile(text);
}

void MrLog::writeToFile(const QString &text)
{
    if (!m_file)
        return;
    QByteArray bytes = text.toUtf8();
    if (bytes.size() >= kMaxFileBytes)
        bytes = cutUtf8(bytes, kMaxFileBytes - 1);
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    if (m_fileBytes + bytes.size() > kMaxFileBytes && !startFile())
        return;
    if (m_file->write(bytes) != bytes.size() || !m_file->flush()) {
        m_file.reset(); // a full disk or a vanished folder: keep logging in memory only
        return;
    }
    m_fileBytes += bytes.size();
}

bool MrLog::startFile()
{
    m_file.reset();
    m_fileBytes = 0;
    if (QFileInfo(m_path).isFile()) {
        const QString previous = m_path + QStringLiteral(".1");
        QFile::remove(previous);
        QFile::rename(m_path, previous);
        QFile::setPermissions(previous, kOwnerFile);
    }
    auto f = std::make_unique<QFile>(m_path);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Truncate, kOwnerFile))
        return false;
    // A file that could not be moved aside is opened with the mode it already had.
    f->setPermissions(kOwnerFile);
    m_file = std::move(f);
    return true;
}

bool MrLog::openFile(const QString &path)
{
    m_path = QFileInfo(path).absoluteFilePath();
    fileops::makePrivateFolder(QFileInfo(m_path).absolutePath());
    if (!startFile())
        return false;
    for (const QString &line : m_recent)
        writeToFile(line);
    return m_file != nullptr;
}

QString MrLog::defaultFilePath()
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QStringLiteral("/velmora/kivo.log");
}

} // namespace orvia
