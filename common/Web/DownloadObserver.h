#pragma once
// What HttpTransaction::GetResponseBodyIntoFile reports to while it writes.

#include <string>

namespace Web {

class DownloadObserver {
public:
    virtual ~DownloadObserver() = default;
    /// Percent (0 to 100) of the announced length received so far; called
    /// only when the server announced a length, and only when the figure
    /// changes.
    virtual void OnProgress(void* context, unsigned percent) = 0;
    /// The whole body has been written.
    virtual void OnComplete(void* context) = 0;
    /// A read failed: "InternetReadFile error: " and the decimal code.
    virtual void OnError(void* context, const std::string& message) = 0;
};

} // namespace Web
