#include "ToyInUse.h"

#include "Glimmeries.h"

namespace Glm {

bool IsPlaceholderChoice(std::int32_t currentDevice) {
    return currentDevice == kAddFriendsAction || currentDevice == kUseGlintPointsAction;
}

std::optional<Toy> FindToyInUse(Glimmeries& application) {
    const std::int32_t current = application.GetCurrentDevice();
    if (IsPlaceholderChoice(current)) {
        return application.GetPlaceholderToy();
    }
    if (current < 0) {
        return std::nullopt;
    }
    return application.GetToys().Find(static_cast<std::uint32_t>(current));
}

bool IsToyInUsePresent(Glimmeries& application) {
    const std::optional<Toy> toy = FindToyInUse(application);
    return toy.has_value() && toy->IsPresent();
}

bool UpdateToyInUse(Glimmeries& application, const std::function<void(Toy&)>& change) {
    const std::int32_t current = application.GetCurrentDevice();
    if (IsPlaceholderChoice(current)) {
        change(application.GetPlaceholderToy());
        return true;
    }
    if (current < 0) {
        return false;
    }
    return application.GetToys().Update(static_cast<std::uint32_t>(current), change);
}

bool IsRegistered(const Toy& toy) {
    return toy.GetClickId() != 0 && !toy.IsResetPending();
}

} // namespace Glm
