#pragma once
// The launcher's run: wait until the main program has ended, swap in the downloaded ".upd" files of
// the programs' folder (the launcher's own, whatever the working directory) keeping ".old" backups,
// roll back when a swap fails, start the main program from that folder.
#include "platform/MessageBox.h"
#include "platform/SystemServices.h"
#include "platform/Timer.h"
#include <QStringList>

namespace orvia {

inline const QString kLauncherTitle = QStringLiteral("lanrek");

class Launcher
{
public:
    enum class Outcome
    {
        Started,        // updates (if any) applied, main program started
        StartFailed,    // the main program could not be started (the user was told)
        RolledBack,     // a swap failed, the old files are back, main program started
        RollBackFailed, // a backup could not be put back; main program not started
    };

    Launcher(ISystemServices &sys, IMessageLoop &loop, IMessageBox &box);
    // The main program's file name in the programs' folder; default: the main program's name.
    void setProgram(const QString &name) { m_program = name; }
    void setPollInterval(int ms) { m_pollMs = ms; }

    Outcome run();

    static const QString kSwapFailedText;
    static const QString kUpdateErrorText;
    static QString startFailedText(const QString &program);

private:
    void waitForMainProgram();
    bool swap(const QStringList &updates); // false when a rename of an update file failed
    bool rollBack();                       // false when a backup could not be put back
    bool startMainProgram();
    void message(const QString &text);
    QString inFolder(const QString &name) const;

    ISystemServices &m_sys;
    IMessageLoop &m_loop;
    IMessageBox &m_box;
    QString m_program = kMainExecutable;
    int m_pollMs = 1000;
    QString m_folder;      // the programs' folder
    QStringList m_backups; // targets whose backup this run made, in the order made
};

} // namespace orvia
