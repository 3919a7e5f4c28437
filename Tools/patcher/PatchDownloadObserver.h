#pragma once
// What the executable download reports to: progress goes to the splash as
// WM_GLM_PATCH_PROGRESS, completion hands over to the patcher (which checks
// the file and starts it), read errors change nothing, so the splash keeps
// its last percentage.

#include "common/Web/DownloadObserver.h"

namespace Glm {

class Patcher;

class PatchDownloadObserver : public Web::DownloadObserver {
public:
    explicit PatchDownloadObserver(Patcher& patcher) : m_patcher(patcher) {}

    void OnProgress(void* context, unsigned percent) override;
    void OnComplete(void* context) override;
    void OnError(void* context, const std::string& message) override;

private:
    Patcher& m_patcher;
};

} // namespace Glm
