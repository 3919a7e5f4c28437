#include "common/Web/ResourceType.h"

#include "common/Ex/Exceptions.h"

namespace Web {

namespace {

struct TypeTexts {
    const char* name;
    const char* acceptType;
};

const TypeTexts& TextsOf(ResourceType type) {
    static const TypeTexts texts[] = {{"Text", "text/*"},
                                      {"Image", "image/*"},
                                      {"Flash", "application/x-shockwave-flash"},
                                      {"Video", "video/*"}};
    const int index = static_cast<int>(type);
    if (index < 0 || index > 3) {
        throw Ex::Assert("!\"Can't stream unkown enum value\"", EX_FRAME);
    }
    return texts[index];
}

} // namespace

std::string AcceptTypeOf(ResourceType type) {
    return TextsOf(type).acceptType;
}

std::vector<std::string> ContentTypeListToStringList(const std::vector<ResourceType>& types) {
    std::vector<std::string> result;
    result.reserve(types.size());
    for (ResourceType type : types) {
        result.push_back(AcceptTypeOf(type));
    }
    return result;
}

std::ostream& operator<<(std::ostream& stream, ResourceType type) {
    return stream << TextsOf(type).name;
}

} // namespace Web
