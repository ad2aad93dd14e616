#pragma once
// The diagnostic log: every subsystem hands it lines. Logging never fails or blocks the caller. The
// newest lines are kept in memory; when a log file has been opened they are written to it as well.
// The lines hold whole address books, so the file is the user's alone and its size is bounded.
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

    // Starts the file afresh with what was kept so far, then writes every later text to it. The file
    // is readable by the owner only, in a folder only the owner can enter (created when missing). The
    // file found there, an earlier session's, becomes "<path>.1"; whenever the file would outgrow
    // kMaxFileBytes it becomes "<path>.1" in turn, so the two never hold more than twice that. Failures
    // are swallowed: the log then stays in memory only. Returns whether it opened.
    bool openFile(const QString &path);
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    // $XDG_STATE_HOME/velmora/kivo.log (~/.local/state when the variable is unset).
    static QString defaultFilePath();

private:
    void output(const QString &text);
    void writeToFile(const QString &text);
    bool startFile(); // moves the current file aside and opens a new, empty one

    QString m_criticalSection;
    QStringList m_recent;
    QString m_path;
    std::unique_ptr<QFile> m_file;
    qint64 m_fileBytes = 0;
};

} // namespace orvia
