#pragma once
// Recording doubles for what the setup window's detection talks to: the connection page, the splash
// and tray windows, the progress view and the main window's other windows.
#include "endpoints/ShellCallbacks.h"
#include "engine/ProgressView.h"
#include "engine/SetupConnectionPage.h"
#include "engine/ShellHooks.h"
#include "engine/SplashWindow.h"
#include <QList>
#include <array>
#include <optional>

namespace orvia::test {

struct FakePage : IConnectionPage
{
    std::array<QString, 9> captions, tags;
    std::array<bool, 9> visible{}, enabled{}, checked{};
    bool connect = true;
    QString status;
    bool shown = false;
    int shows = 0;

    std::array<std::optional<ComPort>, 9> ports;

    void showPortButton(int k, ComPort port) override
    {
        captions[size_t(k)] = port.caption();
        tags[size_t(k)] = port.text();
        ports[size_t(k)] = port;
        visible[size_t(k)] = true;
    }
    std::optional<ComPort> portButtonPort(int k) const override { return ports[size_t(k)]; }
    void setPortButtonEnabled(int k, bool on) override { enabled[size_t(k)] = on; }
    bool portButtonChecked(int k) const override { return checked[size_t(k)]; }
    void setPortButtonChecked(int k, bool on) override
    {
        // Option buttons: choosing one clears the others.
        if (on)
            checked.fill(false);
        checked[size_t(k)] = on;
    }
    void setConnectEnabled(bool on) override { connect = on; }
    bool connectEnabled() const override { return connect; }
    QString statusText() const override { return status; }
    void setStatusText(const QString &t) override { status = t; }
    bool windowVisible() const override { return shown; }
    void showWindow() override
    {
        shown = true;
        ++shows;
    }
    int visibleButtons() const
    {
        int n = 0;
        for (int k = 1; k <= kPortButtons; ++k)
            n += visible[size_t(k)] ? 1 : 0;
        return n;
    }
};

// The splash window and the other windows the hub and the setup window reach.
struct FakeShellWindows : ISplashWindow, IShellHooks
{
    int splashClosed = 0, splashHidden = 0, trayShown = 0;
    bool autoconn = false, splashVisible = false;
    // ISplashWindow
    void setAutoconn(bool on) override { autoconn = on; }
    void CloseSplash() override { ++splashClosed; }
    bool isSplashVisible() const override { return splashVisible; }
    void hideSplash() override
    {
        splashVisible = false;
        ++splashHidden;
    }
    // IShellHooks
    void closeSplash() override { CloseSplash(); }
    void showTrayWindow() override { ++trayShown; }
    void showDetails() override {}
    void quit() override {}
    int meQueryUnload(int c, int) override { return c; }
    void meResize() override {}
};

struct FakeTrayState : ITrayState
{
    QList<TrayIcon> states;
    QString tip;
    QStringList tips; // every one, in order
    bool enabled = true;
    void SetState(TrayIcon s) override { states << s; }
    void ToolTip(const QString &t) override
    {
        tip = t;
        tips << t;
    }
    void setEnabled(bool on) override { enabled = on; }
    TrayIcon state() const { return states.isEmpty() ? TrayIcon(-1) : states.back(); }
};

struct NullView : IProgressView
{
    void setProgressText(const QString &) override {}
    QString progressText() const override { return {}; }
    void setOperationBar(int) override {}
    void setOverallBar(int) override {}
    int overallBar() const override { return 0; }
    void setButtonVisible(ViewButton, bool) override {}
    void setButtonEnabled(ViewButton, bool) override {}
    void setBusyCursor(bool) override {}
    void showWindow() override {}
    void hideWindow() override {}
    void appendDebugLog(const QString &) override {}
    void clearDebugLog() override {}
};

} // namespace orvia::test
