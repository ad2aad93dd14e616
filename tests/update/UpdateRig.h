#pragma once
// The update check wired to a local HTTP server, a scripted message box and recording doubles for the
// page and the tray's quit. The program's folder is a temporary folder and the working directory is
// another one, which must stay empty.
#include "LocalHttpServer.h"
#include "common/Globals.h"
#include "engine/ShellHooks.h"
#include "engine/UpdateCheck.h"
#include "engine/UpdateView.h"
#include "platform/QtInternetTransfer.h"
#include "support/FakeSystemServices.h"
#include "support/LanguageFixture.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedMessageBox.h"
#include "support/TempDir.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <memory>

namespace orvia::test {

class RecordingUpdateView : public IUpdateView
{
public:
    QString statusText() const override { return text; }
    void setStatusText(const QString &t) override { text = t; }
    void setStatusCaret(int position) override { caret = position; }
    void setUpdateEnabled(bool on) override { enabled = on; }
    bool updateEnabled() const override { return enabled; }

    QString text;
    int caret = -1;
    bool enabled = false;
};

class RecordingShellHooks : public IShellHooks
{
public:
    void closeSplash() override {}
    void showTrayWindow() override {}
    void showDetails() override {}
    void quit() override { ++quits; }
    int meQueryUnload(int cancel, int) override { return cancel; }
    void meResize() override {}
    int quits = 0;
};

// A whole offer; `files` is the value of its files element.
inline QByteArray offerReply(const QByteArray &files)
{
    return "<update>\r\n<title>Orvia Link</title>\r\n<version=\"2.0.7\"/>\r\n<downloadsize>1 "
           "MB</downloadsize>\r\n"
           "<files>" +
           files +
           "</files>\r\n<whatsnew>Faster sync</whatsnew>\r\n<usrmsg>Please update.</usrmsg>\r\n</update>\r\n";
}

inline QByteArray fileEntry(const QByteArray &url, const QByteArray &name)
{
    return "<file><url>" + url + "</url><name>" + name + "</name></file>\r\n";
}

// Runs of three or more points (the texts' own "..." and the state points after them) become one
// ellipsis, so texts compare without depending on how many states a request went through.
inline QString squeezeDots(QString s)
{
    static const QRegularExpression run(QStringLiteral("\\.{3,}"));
    return s.replace(run, QStringLiteral("\u2026"));
}

inline bool logHas(const QString &part)
{
    for (const QString &line : globals().gLog.recentLines())
        if (line.contains(part))
            return true;
    return false;
}

class UpdateRig : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loadBuiltLanguage(QStringLiteral("en")));
        settings.set(kUpdateHostKey, server.host());
        settings.set(kWebHostKey, server.host());
        check = std::make_unique<UpdateCheck>(deps(&inet));
        check->setProgramVersion(QStringLiteral("1.0.165"));
        system.setProgramDir(dir.path());
        m_oldDir = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(workingDir.path()));
    }
    void TearDown() override
    {
        check.reset();
        QDir::setCurrent(m_oldDir);
        EXPECT_TRUE(QDir(workingDir.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    UpdateCheckDeps deps(IInternetTransfer *transfer)
    {
        UpdateCheckDeps d;
        d.inet = transfer;
        d.messageBox = &box;
        d.settings = &settings;
        d.system = &system;
        d.shell = &shell;
        d.view = &view;
        return d;
    }
    void serveCheck(const QByteArray &reply) { server.route(kUpdatePath, LocalHttpServer::text(reply)); }
    void serveFile(const QString &path, const QByteArray &bytes)
    {
        server.route(path, LocalHttpServer::text(bytes));
    }
    // A check that offers `files`, expected to succeed.
    void offer(const QByteArray &files)
    {
        serveCheck(offerReply(files));
        check->CheckForUpdate();
        ASSERT_TRUE(view.enabled) << view.text.toStdString();
    }

    LocalHttpServer server;
    QtInternetTransfer inet;
    ScriptedMessageBox box;
    MemorySettingsStore settings;
    FakeSystemServices system;
    RecordingUpdateView view;
    RecordingShellHooks shell;
    TempDir dir;        // the program's folder
    TempDir workingDir; // where the program was started from
    std::unique_ptr<UpdateCheck> check;

private:
    QString m_oldDir;
};

} // namespace orvia::test
