#include "Tools/patcher/GetRemoteFileThread.h"

#include "common/Web/HttpConnection.h"

namespace Glm {

GetRemoteFileThread::GetRemoteFileThread(Web::HttpConnection& connection, std::string objectName,
                                         std::vector<Web::ResourceType> resourceTypes, std::string targetFile,
                                         Web::DownloadObserver& observer, void* context)
    : GetRemoteResourceThread(connection, std::move(objectName), std::move(resourceTypes)),
      m_targetFile(std::move(targetFile)), m_observer(observer), m_context(context) {}

GetRemoteFileThread::~GetRemoteFileThread() {
    Wait();
}

void GetRemoteFileThread::Fetch() {
    m_connection.DoGet(m_objectName, m_resourceTypes, m_headers)
        ->GetResponseBodyIntoFile(m_targetFile, m_observer, m_context);
}

} // namespace Glm
