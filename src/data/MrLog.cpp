#include "data/MrLog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace orvia {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

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
    if (!bytes.endsWith('\n'))
        bytes.append('\n');
    if (m_file->write(bytes) != bytes.size() || !m_file->flush())
        m_file.reset(); // a full disk or a vanished folder: keep logging in memory only
}

bool MrLog::openFile(const QString &path)
{
    m_file.reset();
    QDir().mkpath(QFileInfo(path).absolutePath());
    auto f = std::make_unique<QFile>(path);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    m_file = std::move(f);
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
