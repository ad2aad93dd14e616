#pragma once
// The phone detection wired to the real main-window hub, manual time, scripted boxes, in-memory
// settings and registry, and a serial control chosen by the test (the in-process simulator or a
// scripted port).
#include "SetupDoubles.h"
#include "endpoints/PhoneDriver.h"
#include "engine/FormMain.h"
#include "engine/PhoneDetection.h"
#include "support/FakeSystemServices.h"
#include "support/HubDeps.h"
#include "support/LanguageFixture.h"
#include "support/ManualTime.h"
#include "support/MemoryRegistryBackend.h"
#include "support/MemorySettingsStore.h"
#include "support/ScriptedMessageBox.h"
#include <QCoreApplication>
#include <gtest/gtest.h>
#include <initializer_list>
#include <memory>

namespace orvia::test {

inline QList<ComPort> comPorts(std::initializer_list<qint16> numbers)
{
    QList<ComPort> out;
    for (const qint16 n : numbers)
        out.append(ComPort(n));
    return out;
}

struct DetectionRig : ::testing::Test
{
    ManualTime time;
    ScriptedMessageBox boxes;
    MemorySettingsStore settings;
    MemoryRegistryBackend registry;
    FakeSystemServices system;
    FakePage page;
    FakeShellWindows shell;
    FakeTrayState tray;
    NullView view;
    std::unique_ptr<FormMain> fm;
    std::shared_ptr<PhoneDetection> det;

    void SetUp() override
    {
        ASSERT_TRUE(loadBuiltLanguage());
        system.setVersion(6, 1);
    }
    void TearDown() override
    {
        // The hub lets go of the serial control before the test's control goes away.
        if (fm)
            fm->dropHandler();
        fm.reset();
        det.reset();
    }

    Platform platform()
    {
        Platform p = manualPlatform(time, boxes);
        p.settings = &settings;
        p.system = &system;
        p.registry = &registry;
        return p;
    }

    // The registry lists these ports as the system from version 5 on names them.
    void listPorts(std::initializer_list<int> ports)
    {
        int i = 0;
        for (int p : ports)
            registry.setString(reg::HKLM, QStringLiteral("hardware\\devicemap\\serialcomm"),
                               QStringLiteral("\\device\\serial%1").arg(i++), QStringLiteral("COM%1").arg(p));
    }

    void build(ICommControl *comm)
    {
        if (fm)
            fm->dropHandler();
        fm.reset();
        det.reset();
        fm = std::make_unique<FormMain>(hubDeps(platform(), comm, {&view, &tray, &shell}));
        PhoneDetection::Deps dd;
        dd.platform = platform();
        dd.tray = &tray;
        dd.shell = &shell;
        dd.splash = &shell;
        dd.page = &page;
        det = std::make_shared<PhoneDetection>(dd);
        fm->setOnPhoneErrorRecovered([this] { det->phoneErrorRecovered(); });
    }

    // What start-up does: the window's load lists the ports, then Init.
    void start()
    {
        det->enumeratePorts();
        det->Init(*fm);
    }

    IPhoneDriver *driver() const { return fm->phoneDriver().get(); }
    QString saved(const char *key) const { return settings.get(QString::fromLatin1(key)); }
};

} // namespace orvia::test
