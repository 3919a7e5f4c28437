#pragma once
// Start-up work with nothing to do: no parameter table and no update check
// are built into the program yet, so it reports WM_GLM_PATCH_DONE at once
// and every parameter reads as "".

#include "StartupWorker.h"

namespace Glm {

class ImmediateStartupWorker : public StartupWorker {
public:
    void Start(UI::MessageTarget& target) override;
    void ShutDown() override {}
    std::string GetParameter(const std::string&) const override { return {}; }
    bool ShouldGetPatch() override { return false; }
};

} // namespace Glm
