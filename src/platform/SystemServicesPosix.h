#pragma once
// The operating-system services on Linux: the kernel version, the locale's language, the user's
// processes from /proc and the file operations.
#include "platform/QtTimerFactory.h"
#include "platform/SystemServices.h"

namespace orvia {

class SystemServices : public ISystemServices
{
public:
    // How long the opener's own failure is waited for: xdg-open that hands the page to $BROWSER waits
    // for the browser and passes on its exit status, which says nothing about the page.
    static constexpr int kOpenerAnswerMs = 5000;

    // `timers` times the opener's answer (the real timers when none is given); `answerMs` is the bound.
    explicit SystemServices(ITimerFactory *timers = nullptr, int answerMs = kOpenerAnswerMs);

    int osMajorVersion() const override;
    int osMinorVersion() const override;
    QString userLanguageName() const override;
    QStringList processNames() const override;
    QList<ProcessEntry> processes() const override;
    QString mainExecutableName() const override { return kMainExecutable; }
    QStringList listFiles(const QString &pattern, int attributeMask) const override;
    void deleteFile(const QString &path) override;
    void rename(const QString &from, const QString &to) override;
    void setAttributes(const QString &path, int attributes) override;
    void makeDir(const QString &path) override;
    void removeDir(const QString &path) override;
    bool fileExists(const QString &path) const override;
    QString programDir() const override;
    bool startProgram(const QString &path, const QStringList &args, bool minimised) override;
    // Through xdg-open: its failure to start, or its own failure status (1 to 4) or a crash within the
    // bound, says the page was not shown; anything else, or no answer within the bound, that it was.
    void openPage(const QString &path, std::function<void(bool opened)> done) override;

    // "6.1.0-18-amd64" gives 6 and 1; text without a leading number gives 0.
    static void parseKernelRelease(const QString &release, int &major, int &minor);
    // A bare program name that exists in the current folder is started from there, as the classic
    // start call looks in the current folder first.
    static QString resolveProgram(const QString &path);

private:
    QtTimerFactory m_ownTimers;
    ITimerFactory *m_timers;
    int m_answerMs;
};

} // namespace orvia
