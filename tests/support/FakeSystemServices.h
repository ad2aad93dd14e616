#pragma once
// System services with a scripted version, language and process list and recorded program starts;
// the file operations are the real ones (point them at a temporary folder).
#include "platform/SystemServicesPosix.h"
#include <QList>
#include <QStringList>
#include <functional>

namespace orvia::test {

class FakeSystemServices : public SystemServices
{
public:
    struct Start
    {
        QString path;
        QStringList args;
        bool minimised = false;
    };

    int osMajorVersion() const override { return m_major; }
    int osMinorVersion() const override { return m_minor; }
    QString userLanguageName() const override { return m_language; }
    QStringList processNames() const override;
    QList<ProcessEntry> processes() const override;
    bool startProgram(const QString &path, const QStringList &args, bool minimised) override;
    // Pages asked to be shown; the test answers each through its `done`, when it likes.
    struct PageRequest
    {
        QString path;
        std::function<void(bool opened)> done;
    };
    void openPage(const QString &path, std::function<void(bool opened)> done) override
    {
        m_pages.append({path, std::move(done)});
    }
    QList<PageRequest> &pages() { return m_pages; }

    void setVersion(int major, int minor)
    {
        m_major = major;
        m_minor = minor;
    }
    void setLanguage(const QString &name) { m_language = name; }
    // Adds a running process; returns its id.
    qint32 addProcess(const QString &exeName);
    void removeProcess(qint32 pid);
    void clearProcesses() { m_processes.clear(); }
    // Called on every process lookup (after counting it), e.g. to end a process after a few looks.
    void setOnLookup(std::function<void(int lookups)> f) { m_onLookup = std::move(f); }
    int lookups() const { return m_lookups; }

    // The program's folder; unset, the test program's own.
    QString programDir() const override
    {
        return m_programDir.isEmpty() ? SystemServices::programDir() : m_programDir;
    }
    void setProgramDir(const QString &dir) { m_programDir = dir; }

    void setStartResult(bool ok) { m_startResult = ok; }
    const QList<Start> &starts() const { return m_starts; }

private:
    int m_major = 5, m_minor = 1;
    QString m_language = QStringLiteral("English");
    QList<ProcessEntry> m_processes;
    qint32 m_nextPid = 1000;
    mutable int m_lookups = 0;
    std::function<void(int)> m_onLookup;
    QString m_programDir;
    bool m_startResult = true;
    QList<Start> m_starts;
    QList<PageRequest> m_pages;
};

} // namespace orvia::test
