#pragma once
// An application object over a temporary directory, with a start-up worker
// the test controls.

#include "Flow/Glimmeries.h"
#include "Flow/StartupWorker.h"
#include "common/UI/Messages.h"

#include <QTemporaryDir>
#include <fstream>
#include <map>
#include <sstream>

namespace FlowTest {

class FakeStartupWorker : public Glm::StartupWorker {
public:
    std::map<std::string, std::string> parameters{{"GLM_BASE_URL", "https://127.0.0.1:1/api/"}};
    bool reportDone = true;
    bool reportStartError = false;
    bool newerVersion = false;
    int starts = 0;
    int shutDowns = 0;

    void Start(UI::MessageTarget& target) override {
        ++starts;
        target.Post(UI::WM_GLM_PATCH_PROGRESS, 40);
        if (reportStartError) {
            target.Post(UI::WM_GLM_START_ERROR);
        } else if (reportDone) {
            target.Post(UI::WM_GLM_PATCH_DONE);
        }
    }
    void ShutDown() override { ++shutDowns; }
    std::string GetParameter(const std::string& key) const override {
        const auto found = parameters.find(key);
        return found == parameters.end() ? std::string() : found->second;
    }
    bool ShouldGetPatch() override { return newerVersion; }
};

struct Fixture {
    QTemporaryDir directory;
    FakeStartupWorker* worker = nullptr;
    std::unique_ptr<Glm::Glimmeries> application;

    Fixture() {
        auto fake = std::make_unique<FakeStartupWorker>();
        worker = fake.get();
        const std::string path = directory.path().toStdString();
        application = std::make_unique<Glm::Glimmeries>(path, path, "test_flow", std::move(fake));
    }
    std::string Log() const {
        std::ifstream in(directory.path().toStdString() + "/Glimmeries.log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

} // namespace FlowTest
