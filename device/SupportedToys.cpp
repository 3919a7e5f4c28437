#include "device/SupportedToys.h"

#include "device/ResultCodes.h"

#include <cstring>

namespace GlmDev {

namespace {

struct KindName {
    std::uint16_t productId;
    const char* word;
};

constexpr KindName kKinds[] = {
    {kBraceletProductId, "bracelet"},
    {kGameProductId, "game"},
    {kJewelryBoxProductId, "jewelrybox"},
};

} // namespace

bool IsSupportedToy(std::uint16_t vendorId, std::uint16_t productId) {
    return vendorId == kToyVendorId && KindWord(productId) != nullptr;
}

const char* KindWord(std::uint32_t productId) {
    for (const KindName& kind : kKinds) {
        if (kind.productId == productId) {
            return kind.word;
        }
    }
    return nullptr;
}

std::uint16_t ProductIdForKindWord(const char* word) {
    for (const KindName& kind : kKinds) {
        if (word != nullptr && std::strcmp(kind.word, word) == 0) {
            return kind.productId;
        }
    }
    return 0;
}

const char* ResultText(std::int32_t result) {
    switch (result) {
    case kOk:
        return "success";
    case kIoFailed:
        return "the toy could not be opened, or a report to or from it failed";
    case kNoSuchDevice:
        return "no toy with that device id is plugged in";
    case kWrongHandleState:
        return "the toy's handle was not in the state the call needs";
    case kTimedOut:
        return "the toy did not answer in time";
    default:
        return "unknown result";
    }
}

} // namespace GlmDev
