#pragma once
// A logger that keeps its records for a test to read, from any thread. It
// switches time stamps off for its lifetime, so records compare exactly and
// never depend on the clock or the time zone.

#include "common/Ex/Logger.h"

#include <algorithm>
#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace GlmTest {

class RecordingLogger : public Ex::Logger {
public:
    RecordingLogger() { Ex::SetTimestampsEnabled(false); }
    ~RecordingLogger() override { Ex::SetTimestampsEnabled(true); }
    RecordingLogger(const RecordingLogger&) = delete;
    RecordingLogger& operator=(const RecordingLogger&) = delete;

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
    /// How many records contain text.
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

} // namespace GlmTest
