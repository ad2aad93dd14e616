#include "shell/SetupWindowFactory.h"
#include "shell/MrWho.h"

namespace orvia {

std::unique_ptr<ISetupWindow> createSetupWindow(const SetupWindowContext &context)
{
    return std::make_unique<MrWho>(context);
}

} // namespace orvia
