#pragma once
// An application object over a temporary directory, with a start-up worker
// the test controls.

#include "Flow/Glimmeries.h"
#include "Flow/MainFrame.h"
#include "Flow/SkinnedPopup.h"
#include "Flow/StartupWorker.h"
#include "ThinUI/Controls.h"
#include "common/UI/Messages.h"

#include <QApplication>
#include <QDialog>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

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
    void SetParameter(const std::string& key, const std::string& value) override { parameters[key] = value; }
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

/// A closed frame asks the whole application to quit, and until the main
/// loop has run once every modal loop would return at once. Runs the main
/// loop for one turn so the next test starts clean.
inline void ForgetQuitRequest() {
    QTimer::singleShot(0, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
}

/// Presses and releases the left button on the control with that id; false
/// when there is no such control. The button posts its command.
inline bool Click(QWidget& dialog, int controlId) {
    QWidget* button = ThinUI::FindControl(&dialog, controlId);
    if (button == nullptr) {
        return false;
    }
    button->resize(20, 20);
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(5, 5), QPointF(button->mapToGlobal(QPoint(5, 5))), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    return true;
}

/// Runs action once inside the next modal loop (a popup's). When the test
/// has failed by then (an assertion in action returns from action only), the
/// open popup is ended, so the test fails at once instead of waiting with
/// the popup open for CTest's time-out.
template <typename Action>
void InNextModalLoop(QObject& context, Action action) {
    QTimer::singleShot(0, &context, [action = std::move(action)]() mutable {
        action();
        if (::testing::Test::HasFailure()) {
            if (auto* popup = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                popup->done(QDialog::Rejected);
            }
        }
    });
}

/// Ends every popup the frame opens as soon as its modal loop runs, with 2
/// and without its button actions (as the window manager's close does), so
/// tests about other things are not held up by an error popup.
class PopupDismisser {
public:
    explicit PopupDismisser(Glm::MainFrame& frame) {
        QObject::connect(&m_timer, &QTimer::timeout, [&frame] {
            Glm::SkinnedPopup* popup = frame.GetOpenPopup();
            if (popup != nullptr && popup->isVisible()) {
                popup->EndDialog(Glm::SkinnedPopup::kCancel);
            }
        });
        m_timer.start(5);
    }

private:
    QTimer m_timer;
};

/// Records the application's sounds and URLs instead of playing and
/// opening them.
struct Recorder {
    std::vector<std::string> sounds;
    std::vector<std::pair<std::string, bool>> urls;

    explicit Recorder(Glm::Glimmeries& application) : m_application(application) {
        application.SetSoundHook([this](const std::string& name) { sounds.push_back(name); });
        application.SetBrowserHook(
            [this](const std::string& url, bool useProcess) { urls.emplace_back(url, useProcess); });
    }
    ~Recorder() {
        m_application.SetSoundHook({});
        m_application.SetBrowserHook({});
    }
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

private:
    Glm::Glimmeries& m_application;
};

} // namespace FlowTest
