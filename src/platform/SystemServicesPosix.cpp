#include "platform/SystemServicesPosix.h"
#include "platform/FileOperations.h"
#include "platform/ProcessTable.h"
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
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
    // xdg-open fails after it has started when no program takes the page, and may not return before
    // the browser it started ends: its exit is waited for without holding the caller up.
    auto *opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({path});
    // Its complaints go where the program's own go.
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, done](int code, QProcess::ExitStatus status) {
                         opener->deleteLater();
                         if (done)
                             done(status == QProcess::NormalExit && code == 0);
                     });
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, done](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash is reported by finished()
        opener->deleteLater();
        if (done)
            done(false);
    });
    opener->start();
}

} // namespace orvia
