#include "Tools/patcher/GetRemoteResourceThread.h"

#include "common/Ex/Exceptions.h"
#include "common/Web/HttpConnection.h"

#include <exception>

namespace Glm {

GetRemoteResourceThread::GetRemoteResourceThread(Web::HttpConnection& connection, std::string objectName,
                                                 std::vector<Web::ResourceType> resourceTypes,
                                                 std::string headers)
    : m_connection(connection), m_objectName(std::move(objectName)),
      m_resourceTypes(std::move(resourceTypes)), m_headers(std::move(headers)) {}

GetRemoteResourceThread::~GetRemoteResourceThread() {
    Wait();
}

void GetRemoteResourceThread::Start() {
    m_thread.Start();
}

void GetRemoteResourceThread::Wait() {
    m_thread.ShutDown();
}

void GetRemoteResourceThread::Run() {
    try {
        Fetch();
        m_succeeded = true;
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(EX_FRAME);
        e.LogNoThrow(Context());
    } catch (const std::exception& caught) {
        Ex::StlException(caught).LogNoThrow(Context());
    }
}

void GetRemoteResourceThread::Fetch() {
    m_result = m_connection.DoGet(m_objectName, m_resourceTypes, m_headers)->GetResponseBodyAsString();
}

} // namespace Glm
