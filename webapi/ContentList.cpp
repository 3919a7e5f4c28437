#include "webapi/ContentList.h"

#include "common/Mod/Mod.h"
#include "common/Web/HttpConnection.h"
#include "common/Web/Url.h"
#include "webapi/QueryText.h"

namespace Glm {

std::unique_ptr<Xml::Parser> LoadContentList(const std::string& contentBaseUrl, const std::string& path) {
    const Web::Url url(contentBaseUrl + path);
    Web::HttpConnection connection(Mod::GetExecutableFileName(), url);
    const auto transaction = connection.DoGet(url.GetObjectName(), Web::ResourceType::Text);
    return std::make_unique<Xml::Parser>(transaction->GetResponseBodyAsString());
}

void ReadCopyEntries(Xml::Parser& list, const std::string& root, std::vector<std::int32_t>& ids,
                     std::vector<std::string>& texts) {
    const std::string entries = root + "/copy/*";
    const std::int32_t count = list.GetNodeCount(entries);
    for (std::int32_t i = 1; i <= count; ++i) {
        const std::string entry = entries + "[" + std::to_string(i) + "]";
        const std::string id = list.GetAttribute(entry + "/@id");
        const std::string text = list.GetLeafElementText(entry);
        if (!id.empty() && !text.empty()) {
            ids.push_back(DecimalToInt32(id));
            texts.push_back(text);
        }
    }
}

} // namespace Glm
