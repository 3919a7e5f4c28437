#pragma once
// The object behind an HttpConnection's internet handle: the agent name and
// a hold on the process-wide libcurl share.

#include "common/Web/CurlShare.h"
#include "common/Web/InternetObject.h"

#include <memory>
#include <string>

namespace Web {

class CurlSession : public InternetObject {
public:
    /// Throws what CurlShare::Instance throws.
    explicit CurlSession(std::string agentName)
        : m_agentName(std::move(agentName)), m_share(CurlShare::Instance()) {}

    const std::string& GetAgentName() const { return m_agentName; }
    const std::shared_ptr<CurlShare>& GetShare() const { return m_share; }

private:
    std::string m_agentName;
    std::shared_ptr<CurlShare> m_share;
};

} // namespace Web
