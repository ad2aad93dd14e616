#pragma once
// The whole program of windows on doubles: hand-driven time, scripted boxes, in-memory settings,
// scripted system services, a temporary desktop store; a recording setup window and phone driver.
#include "common/Globals.h"
#include "endpoints/PhoneDriver.h"
#include "engine/FormMain.h"
#include "shell/KivoProgram.h"
#include "shell/SetupHooks.h"
#include "support/FakeSystemServices.h"
#include "support/ManualTime.h"
#include "support/MemoryRegistryBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedMessageBox.h"
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace orvia::test {

class RecordingSetupWindow : public ISetupWindow
{
public:
    explicit RecordingSetupWindow(QStringList &calls) : m_calls(calls) {}
    void Init(FormMain *, OutlookControl *) override { m_calls << QStringLiteral("setup:Init"); }
    bool isWindowShown() const override { return shown; }
    bool isWindowMinimised() const override { return minimised; }
    void SelectTab(int index) override { m_calls << QStringLiteral("setup:tab%1").arg(index); }
    void showWindow() override
    {
        shown = true;
        minimised = false;
        m_calls << QStringLiteral("setup:show");
    }
    void startAutoDetection() override { m_calls << QStringLiteral("setup:auto"); }
    bool phoneCanBeSought() const override { return seekable; }
    bool seekPhoneForRun(std::function<void()> found) override
    {
        m_calls << QStringLiteral("setup:seek");
        if (!seekable)
            return false;
        whenFound = std::move(found);
        return true;
    }

    bool shown = false;
    bool seekable = false;           // a port is saved
    std::function<void()> whenFound; // the run a start request left waiting for the phone
    bool minimised = false;

private:
    QStringList &m_calls;
};

class StubDriver : public IPhoneDriver
{
public:
    explicit StubDriver(QString description) : description(std::move(description)) {}
    void Receive(const PhoneReply &) override {}
    void Init(ICommandLink *, IRunOwner *) override { ++inits; }
    std::shared_ptr<ModFeatures> GetFeatures() override { return nullptr; }
    void ReadContacts(std::shared_ptr<DBPhonebook>) override {}
    void UpdateContacts(std::shared_ptr<DBPhonebook>) override {}
    void ReadCalendar(std::shared_ptr<DBCalendar>) override {}
    void UpdateCalendar(std::shared_ptr<DBCalendar>) override {}
    bool automares() const override { return true; }
    QString PhoneDescription() const override { return description; }
    void setShell(ISetupDetection *, ITrayState *) override {}

    QString description;
    int inits = 0;
};

struct ShellRig
{
    QTemporaryDir dir;
    ManualTime time;
    ScriptedMessageBox boxes;
    MemorySettingsStore settings;
    FakeSystemServices system;
    MemoryRegistryBackend registry;
    ICommControl *comm = nullptr; // the serial control; none unless a test gives one
    Platform platform;
    QStringList calls; // setup window calls and modal windows, in order
    int ends = 0;      // the program was ended
    RecordingSetupWindow *setup = nullptr;
    std::unique_ptr<KivoProgram> program;
    KivoOptions options;

    explicit ShellRig(const QString &language = QStringLiteral("English"))
    {
        resetGlobals();
        platform.timers = &time;
        platform.clock = &time;
        platform.loop = &time;
        platform.messageBox = &boxes;
        platform.settings = &settings;
        platform.system = &system;
        platform.registry = &registry;
        system.addProcess(QStringLiteral("kivo"));
        system.setLanguage(language);
        options.languageFile = qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/lang.dbl");
        options.helpFile = qEnvironmentVariable("ORVIA_BIN_DIR") + QStringLiteral("/Orvia Link help.html");
        options.storeRoot = dir.path() + QStringLiteral("/pim");
        options.exeFileName = QStringLiteral("kivo");
        options.version = ProgramVersion{1, 0, 165};
        options.endProgram = [this] { ++ends; };
        options.showFirstRun = [this] { calls << QStringLiteral("firstRun"); };
        options.showAbout = [this] { calls << QStringLiteral("about"); };
        options.showDetails = [this] { calls << QStringLiteral("details"); };
        options.createSetup = [this](const SetupWindowContext &) {
            auto s = std::make_unique<RecordingSetupWindow>(calls);
            setup = s.get();
            return s;
        };
    }
    ~ShellRig()
    {
        program.reset();
        resetGlobals();
    }

    KivoProgram &build()
    {
        program = std::make_unique<KivoProgram>(platform, comm, options);
        return *program;
    }
    StartResult start()
    {
        if (!program)
            build();
        return program->start();
    }
    // The registry lists these COM ports.
    void listPorts(std::initializer_list<int> ports)
    {
        int i = 0;
        for (int p : ports)
            registry.setString(reg::HKLM, QStringLiteral("hardware\\devicemap\\serialcomm"),
                               QStringLiteral("\\device\\serial%1").arg(i++), QStringLiteral("COM%1").arg(p));
    }
    std::shared_ptr<StubDriver> connectPhone(const QString &model)
    {
        auto d = std::make_shared<StubDriver>(model);
        program->hub().setDriver(d);
        return d;
    }
};

} // namespace orvia::test
