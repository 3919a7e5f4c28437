#pragma once
// Shared pieces of the web client tests: a logger that keeps its records, an
// avatar view that records what it is told, and a busy hook that counts.

#include "common/Ex/Logger.h"
#include "webapi/AvatarView.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

namespace WebApiTest {

class RecordingLogger : public Ex::Logger {
public:
    RecordingLogger() { Ex::SetTimestampsEnabled(false); }
    ~RecordingLogger() override { Ex::SetTimestampsEnabled(true); }
    void MoveContentsAndReOpen(const std::string&) override {}
    StringFormat GetStringFormat() const override { return Text; }
    void Write(const std::string& formattedText) override {
        std::lock_guard lock(m_mutex);
        m_records.push_back(formattedText);
    }
    std::vector<std::string> Records() const {
        std::lock_guard lock(m_mutex);
        return m_records;
    }
    std::string All() const {
        std::string all;
        for (const std::string& record : Records()) {
            all += record;
        }
        return all;
    }
    bool Contains(const std::string& text) const { return All().find(text) != std::string::npos; }
    std::size_t Count(const std::string& text) const {
        const std::vector<std::string> records = Records();
        return static_cast<std::size_t>(
            std::count_if(records.begin(), records.end(),
                          [&](const std::string& r) { return r.find(text) != std::string::npos; }));
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_records;
};

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
