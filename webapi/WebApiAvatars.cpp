// The calls that show Fairies as avatar movies.

#include "webapi/WebApiCall.h"

#include <algorithm>

namespace Glm {

namespace {

constexpr std::uint32_t kFairiesBackground = 0xD3B0D2;
constexpr std::uint32_t kFairyBackground = 0xA05EA1;

} // namespace

std::int32_t WebApi::DisplayFairies(QWidget* parent, std::uint32_t clickMessage,
                                    const std::string& swfFileName, std::span<AvatarView* const> views,
                                    const QRect& firstRect, int distance, const std::string& userId,
                                    UI::MessageTarget* parentTarget) {
    const std::string root = "/FairiesProfileResponse";
    return GLM_WEBAPI_CALL(
        "DisplayFairies", MakeUrl("FairiesProfileRequest?user_id=" + EncodeQueryValue(userId) + "&dna"),
        nullptr, root, nullptr,
        [&](Xml::Parser& answer, std::int32_t&) {
            if (views.empty()) {
                return;
            }
            const std::string fairies = root + "/fairies/fairy";
            const std::int32_t count = answer.GetNodeCount(fairies);
            // A screen has room for a fixed number of Fairies; more are not shown
            // rather than drawn through views that do not exist.
            const std::size_t shown = std::min(static_cast<std::size_t>(count), views.size());
            for (std::size_t k = 0; k < shown; ++k) {
                AvatarView& view = *views[k];
                view.CreateClientWindow(parent, firstRect.translated(static_cast<int>(k) * distance, 0),
                                        parentTarget);
                const std::string fairy = fairies + "[" + std::to_string(k + 1) + "]";
                const std::string name = answer.GetLeafElementText(fairy + "/name");
                const std::string fairyId = answer.GetAttribute(fairy + "/@fairy_id");
                const std::string flashVars = "&&fairyDNA=" + answer.GetNodeAsXml(fairy + "/avatar") +
                                              "&fairyName=" + name + "&useButterfly=1";
                view.SetAvatar(k, flashVars, DecimalToInt32(fairyId), clickMessage, kFairiesBackground);
                view.LoadUrl(PrepareMovie(swfFileName, "AVATAR_AND_BUTTERFLY"));
            }
        },
        true);
}

std::int32_t WebApi::DisplayFairy(QWidget* parent, std::uint32_t clickMessage, const std::string& swfFileName,
                                  AvatarView& view, const std::string& fairyId, const QRect& rect,
                                  UI::MessageTarget* parentTarget) {
    const std::string root = "/FairiesProfileResponse";
    return GLM_WEBAPI_CALL(
        "DisplayFairy", MakeUrl("FairiesProfileRequest?", "fairy_id=" + EncodeQueryValue(fairyId) + "&dna"),
        nullptr, root, nullptr,
        [&](Xml::Parser& answer, std::int32_t&) {
            view.CreateClientWindow(parent, rect, parentTarget);
            const std::string fairy = root + "/fairies/fairy";
            const std::string name = answer.GetLeafElementText(fairy + "/name");
            const std::string shownId = answer.GetAttribute(fairy + "/@fairy_id");
            const std::string flashVars =
                "&&fairyDNA=" + answer.GetNodeAsXml(fairy + "/avatar") + "&fairyName=" + name;
            view.SetAvatar(0, flashVars, DecimalToInt32(shownId), clickMessage, kFairyBackground);
            view.LoadUrl(PrepareMovie(swfFileName, "AVATAR_FULL"));
        },
        true);
}

} // namespace Glm
