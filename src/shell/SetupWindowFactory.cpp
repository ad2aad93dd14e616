#include "shell/SetupWindowFactory.h"
#include "endpoints/ShellCallbacks.h"
#include "shell/SetupHooks.h"

namespace orvia {

namespace {

// Stands in for the setup window until it is built: the ports are not probed, so the tray stays in
// the stop state and no phone is found.
class NoSetupWindow : public ISetupWindow
{
public:
    explicit NoSetupWindow(const SetupWindowContext &c) : m_c(c) {}
    void Init(FormMain *, OutlookControl *) override
    {
        if (m_c.tray)
            m_c.tray->SetState(0);
    }
    bool isWindowShown() const override { return false; }
    bool isWindowMinimised() const override { return false; }
    void SelectTab(int) override {}
    void showWindow() override {}
    void startAutoDetection() override {}

private:
    SetupWindowContext m_c;
};

} // namespace

std::unique_ptr<ISetupWindow> createSetupWindow(const SetupWindowContext &context)
{
    return std::make_unique<NoSetupWindow>(context);
}

} // namespace orvia
