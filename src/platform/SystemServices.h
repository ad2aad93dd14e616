#pragma once
// Operating-system services the program needs beyond Qt Core: version text, language, processes and
// file operations with classic attribute semantics.
#include <QString>
#include <QStringList>
#include <functional>

namespace orvia {

// The platform's executable file name of the main program.
inline const QString kMainExecutable = QStringLiteral("kivo");

struct ProcessEntry
{
    qint32 pid = 0;
    QString exeName; // executable file name, no folder
};

namespace attr {
enum : int
{
    Normal = 0,
    ReadOnly = 1,
    Hidden = 2,
    System = 4,
    Directory = 16,
    Archive = 32
};
}

class ISystemServices
{
public:
    virtual ~ISystemServices() = default;
    virtual int osMajorVersion() const = 0;
    virtual int osMinorVersion() const = 0;
    // The user's language as an English name ("German", "French", ...), from the locale.
    virtual QString userLanguageName() const = 0;
    // Executable file names of the running processes of the current user.
    virtual QStringList processNames() const = 0;
    // The same processes with their ids, in the order of the process table.
    virtual QList<ProcessEntry> processes() const
    {
        QList<ProcessEntry> out;
        qint32 id = 0;
        for (const QString &n : processNames())
            out.append(ProcessEntry{++id, n});
        return out;
    }
    // The platform's executable name of the main program ("kivo" here).
    virtual QString mainExecutableName() const = 0;
    // Names (not paths) of the entries matching a path-with-wildcards pattern, e.g. "/dir/*.upd";
    // plain files always, hidden/read-only/system files only when `attributeMask` includes them,
    // folders only when it includes attr::Directory. Throws RuntimeError 53/76 on a missing folder.
    virtual QStringList listFiles(const QString &pattern, int attributeMask) const = 0;
    // Each throws RuntimeError on failure (53 file not found, 75 access, 58 exists, 76 path not found).
    // deleteFile takes a name or a wildcard pattern (every plain file matching; none is error 53) and,
    // like its classic model, refuses a read-only file (75): reset the attributes first.
    virtual void deleteFile(const QString &path) = 0;
    virtual void rename(const QString &from, const QString &to) = 0;
    virtual void setAttributes(const QString &path, int attributes) = 0;
    virtual void makeDir(const QString &path) = 0;
    virtual void removeDir(const QString &path) = 0;
    virtual bool fileExists(const QString &path) const = 0; // a file or a folder
    // The folder of the running program's executable, whatever the working directory: the programs'
    // own files, the update files among them, live there.
    virtual QString programDir() const = 0;
    // Starts a program; minimised-with-focus is the platform's closest equivalent. False on failure.
    virtual bool startProgram(const QString &path, const QStringList &args, bool minimised) = 0;
    // Shows a local page in the desktop's browser. `done` tells whether that worked, usually after the
    // call has returned (the opener's answer comes later); an opener still running a few seconds on has
    // handed the page over and counts as having shown it.
    virtual void openPage(const QString &path, std::function<void(bool opened)> done) = 0;
};

} // namespace orvia
