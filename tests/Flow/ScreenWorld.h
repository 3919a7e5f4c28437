#pragma once
// One frame on an application signed in to the demo service, with a
// bracelet, a jewelry box and a game plugged in for the whole test program.

#include "ScreenTestSupport.h"
#include "device/Toy.h"

#include <functional>
#include <optional>

namespace FlowTest {

class ScreenWorld {
public:
    /// Starts the service and plugs the toys the first time.
    static void SetUpShared();
    static void TearDownShared();
    static DemoService& Demo();

    ScreenWorld();
    ~ScreenWorld();

    Glm::Glimmeries& App() { return *fixture.application; }
    /// The device id of the listed toy of that product, -1 when none came.
    std::int32_t ToyId(std::uint32_t productId);
    /// Gives the listed toy a click id and Glint Points (in the list's copy,
    /// as if read from the toy) and the reset mark.
    void SetToyState(std::uint32_t productId, std::int32_t clickId, int pointsFigures, bool resetPending);
    std::optional<Glm::Toy> ListedToy(std::uint32_t productId);
    /// The messages the frame received with that id.
    std::vector<UI::Message> Seen(std::uint32_t id) const;
    /// The ids of the errors raised (1622), in order.
    std::vector<std::uintptr_t> Errors() const;
    bool LogHas(const std::string& text) const { return fixture.Log().find(text) != std::string::npos; }
    /// Signs the web client in with the account, as the sign-in screen would.
    bool SignIn(const DemoAccount& account);

    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    std::vector<UI::Message> seen;
    ToyFeed feed{*fixture.application};
};

} // namespace FlowTest
