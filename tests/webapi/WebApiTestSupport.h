#pragma once
// Shared pieces of the web client tests: an avatar view that records what
// it is told, and a busy hook that counts.

#include "tests/support/RecordingLogger.h"
#include "webapi/AvatarView.h"

#include <string>
#include <vector>

namespace WebApiTest {

using RecordingLogger = GlmTest::RecordingLogger;

struct ViewCall {
    std::string what;
    QRect rect;
    UI::WPARAM wParam = 0;
    std::string flashVars;
    UI::LPARAM lParam = 0;
    std::uint32_t clickMessage = 0;
    std::uint32_t background = 0;
    std::string path;
};

class RecordingView : public Glm::AvatarView {
public:
    void CreateClientWindow(QWidget*, const QRect& rect, UI::MessageTarget*) override;
    void SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                   std::uint32_t clickMessage, std::uint32_t backgroundColor) override {
        calls.push_back(
            ViewCall{"SetAvatar", {}, wParam, flashVars, lParam, clickMessage, backgroundColor, {}});
    }
    void LoadUrl(const std::string& path) override {
        calls.push_back(ViewCall{"LoadUrl", {}, 0, {}, 0, 0, 0, path});
    }

    bool failCreation = false;
    std::vector<ViewCall> calls;
};

/// Counts the busy hook's calls and how deep it is now.
struct BusyCounter {
    static int s_depth;
    static int s_shown;
    static void Hook(bool busy) {
        s_depth += busy ? 1 : -1;
        s_shown += busy ? 1 : 0;
    }
};

} // namespace WebApiTest
