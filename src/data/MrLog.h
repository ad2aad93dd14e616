#pragma once
// The diagnostic log: every subsystem hands it lines. Logging never fails or blocks the caller. The
// newest lines are kept in memory; when a log file has been opened they are appended to it as well.
#include <QString>
#include <QStringList>
#include <memory>

class QFile;

namespace orvia {

class MrLog
{
public:
    // Writes the start-of-session banner.
    MrLog();
    ~MrLog();
    MrLog(const MrLog &) = delete;
    MrLog &operator=(const MrLog &) = delete;

    bool errorflag = false;

    void StartCriticalSection(const QString &s);
    // `checkpoint` is accepted for the callers' sake and not used.
    void log(const QString &s, bool checkpoint = true);
    void DumpCriticalSection(const QString &note);

    // The most recent texts written, oldest first (at most kKeptLines).
    QStringList recentLines() const;
    static constexpr int kKeptLines = 500;

    // Appends what was kept so far and every later text to the file (created with its folder when
    // missing). Failures are swallowed: the log then stays in memory only. Returns whether it opened.
    bool openFile(const QString &path);
    // $XDG_STATE_HOME/velmora/kivo.log (~/.local/state when the variable is unset).
    static QString defaultFilePath();

private:
    void output(const QString &text);
    void writeToFile(const QString &text);

    QString m_criticalSection;
    QStringList m_recent;
    std::unique_ptr<QFile> m_file;
};

} // namespace orvia
