#include "ImmediateStartupWorker.h"

#include "common/UI/Messages.h"

namespace Glm {

void ImmediateStartupWorker::Start(UI::MessageTarget& target) {
    // Posted, as a worker thread would, so the splash is up before it runs.
    target.Post(UI::WM_GLM_PATCH_DONE);
}

} // namespace Glm
