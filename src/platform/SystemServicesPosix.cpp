#include "platform/SystemServicesPosix.h"
#include "platform/FileOperations.h"
#include "platform/ProcessTable.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <memory>
#include <sys/utsname.h>
#include <unistd.h>

namespace orvia {

namespace {
QString kernelRelease()
{
    struct utsname u
    {
    };
    if (::uname(&u) != 0)
        return QString();
    return QString::fromLatin1(u.release);
}
} // namespace

SystemServices::SystemServices(ITimerFactory *timers, int answerMs)
    : m_timers(timers ? timers : &m_ownTimers), m_answerMs(answerMs)
{
}

void SystemServices::parseKernelRelease(const QString &release, int &major, int &minor)
{
    major = minor = 0;
    const QStringList parts = release.split(QLatin1Char('.'));
    auto leadingNumber = [](const QString &s) {
        int v = 0;
        for (QChar c : s) {
            if (!c.isDigit() || v > 100000)
                break;
            v = v * 10 + c.digitValue();
        }
        return v;
    };
    major = leadingNumber(parts.value(0));
    if (parts.size() > 1)
        minor = leadingNumber(parts.value(1));
}

int SystemServices::osMajorVersion() const
{
    int major, minor;
    parseKernelRelease(kernelRelease(), major, minor);
    return major;
}

int SystemServices::osMinorVersion() const
{
    int major, minor;
    parseKernelRelease(kernelRelease(), major, minor);
    return minor;
}

QString SystemServices::userLanguageName() const
{
    const QLocale::Language lang = QLocale::system().language();
    if (lang == QLocale::C || lang == QLocale::AnyLanguage)
        return QStringLiteral("English");
    return QLocale::languageToString(lang);
}

QList<ProcessEntry> SystemServices::processes() const
{
    return readProcessTable(QStringLiteral("/proc"), ::getuid());
}

QStringList SystemServices::processNames() const
{
    QStringList out;
    for (const ProcessEntry &p : processes())
        out.append(p.exeName);
    return out;
}

QStringList SystemServices::listFiles(const QString &pattern, int attributeMask) const
{
    return fileops::list(pattern, attributeMask);
}

void SystemServices::deleteFile(const QString &path)
{
    fileops::deleteFile(path);
}

void SystemServices::rename(const QString &from, const QString &to)
{
    fileops::rename(from, to);
}

void SystemServices::setAttributes(const QString &path, int attributes)
{
    fileops::setAttributes(path, attributes);
}

void SystemServices::makeDir(const QString &path)
{
    fileops::makeDir(path);
}

void SystemServices::removeDir(const QString &path)
{
    fileops::removeDir(path);
}

bool SystemServices::fileExists(const QString &path) const
{
    return fileops::exists(path);
}

QString SystemServices::programDir() const
{
    return QCoreApplication::applicationDirPath();
}

QString SystemServices::resolveProgram(const QString &path)
{
    if (!path.contains(QLatin1Char('/')) && QFileInfo(path).isFile())
        return QDir::current().absoluteFilePath(path);
    return path;
}

bool SystemServices::startProgram(const QString &path, const QStringList &args, bool)
{
    // No window-state request crosses a program start here; the new program shows itself.
    if (path.isEmpty())
        return false;
    return QProcess::startDetached(resolveProgram(path), args, QDir::currentPath());
}

void SystemServices::openPage(const QString &path, std::function<void(bool opened)> done)
{
    // xdg-open fails after it has started when no program takes the page; where it hands the page to
    // $BROWSER it waits for the browser and ends with the browser's status, maybe hours later. Only its
    // own failures, soon after the start, say the page was not shown; after the bound it is taken as
    // shown and no longer listened to. The opener goes on, owned by the application so that it is reaped
    // when it ends and ended with the program at the latest.
    struct Answer
    {
        std::function<void(bool)> done;
        std::unique_ptr<ITimer> bound;
        bool given = false;
        void give(bool opened)
        {
            if (given)
                return;
            given = true;
            bound->setEnabled(false);
            if (done)
                done(opened);
        }
    };
    auto answer = std::make_shared<Answer>();
    answer->done = std::move(done);
    answer->bound = m_timers->createTimer();
    answer->bound->setInterval(m_answerMs);
    // The timer is owned by the answer: its handler must not keep the answer alive.
    answer->bound->setOnTick([weak = std::weak_ptr<Answer>(answer)] {
        if (auto a = weak.lock())
            a->give(true);
    });
    auto *opener = new QProcess(QCoreApplication::instance());
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({path});
    // Its complaints go where the program's own go.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, answer](int code, QProcess::ExitStatus status) {
                         opener->deleteLater();
                         // 1 to 4: a bad call, no such file, a tool missing, the action failed.
                         const bool failed = status != QProcess::NormalExit || (code >= 1 && code <= 4);
                         answer->give(!failed);
                     });
    QObject::connect(opener, &QProcess::errorOccurred, opener,
                     [opener, answer](QProcess::ProcessError error) {
                         if (error != QProcess::FailedToStart)
                             return; // a crash is reported by finished()
                         opener->deleteLater();
                         answer->give(false);
                     });
    answer->bound->setEnabled(true);
    opener->start();
}

} // namespace orvia
