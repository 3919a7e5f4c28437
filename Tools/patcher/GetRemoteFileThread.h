#pragma once
// A GET on a thread of its own whose body is streamed into a new file,
// reporting progress, completion and read errors to an observer (on the
// download thread).

#include "Tools/patcher/GetRemoteResourceThread.h"

namespace Web {
class DownloadObserver;
}

namespace Glm {

class GetRemoteFileThread : public GetRemoteResourceThread {
public:
    /// targetFile must not exist yet. The observer must outlive the thread.
    GetRemoteFileThread(Web::HttpConnection& connection, std::string objectName,
                        std::vector<Web::ResourceType> resourceTypes, std::string targetFile,
                        Web::DownloadObserver& observer, void* context = nullptr);
    /// Waits for the download to end, before this part of the object goes.
    ~GetRemoteFileThread() override;

    const std::string& GetTargetFile() const { return m_targetFile; }

protected:
    void Fetch() override;
    const char* Context() const override { return "Glm::GetRemoteFileThread::Run"; }

private:
    const std::string m_targetFile;
    Web::DownloadObserver& m_observer;
    void* m_context;
};

} // namespace Glm
