#pragma once
// The run hub wired to recording doubles, manual time and the built language file.
#include "EngineDoubles.h"
#include "engine/FormMain.h"
#include "support/HubDeps.h"
#include "support/LanguageFixture.h"
#include "support/ManualTime.h"
#include "support/ScriptedMessageBox.h"
#include <gtest/gtest.h>

namespace orvia::test {

struct HubFixture : ::testing::Test
{
    ManualTime time;
    ScriptedMessageBox boxes;
    RecordingView view;
    FakeTray tray;
    FakeShell shell;
    FakeDesktop desktop;
    FakePolicy policy;
    FakeComm comm;
    std::unique_ptr<FormMain> fm;

    void SetUp() override
    {
        ASSERT_TRUE(loadBuiltLanguage());
        fm = std::make_unique<FormMain>(
            hubDeps(manualPlatform(time, boxes), &comm, {&view, &tray, &shell}, &desktop, &policy));
        desktop.owner = fm.get();
    }
};

} // namespace orvia::test
