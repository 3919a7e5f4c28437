#include "FrameWorld.h"

#include "Flow/GLMLoginDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "Flow/ToyList.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdlib>

namespace FlowTest {

bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

PopupScript::PopupScript(Glm::MainFrame& frame, bool endOnly) : m_frame(frame), m_endOnly(endOnly) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        Glm::SkinnedPopup* popup = m_frame.GetOpenPopup();
        if (m_busy || popup == nullptr || !popup->isVisible()) {
            return;
        }
        m_busy = true;
        Seen seen{popup->GetDialogId(), 0};
        auto* error = dynamic_cast<Glm::CGLMErrorDlg*>(popup);
        if (error != nullptr) {
            seen.messageId = error->GetMessageId();
        }
        m_seen.push_back(seen);
        if (m_next) {
            const auto action = std::move(m_next);
            m_next = nullptr;
            action(*popup);
        }
        if (m_frame.GetOpenPopup() == popup && popup->isVisible()) {
            if (m_endOnly || error == nullptr) {
                popup->EndDialog(Glm::SkinnedPopup::kCancel);
            } else {
                Click(*popup, Glm::CGLMErrorDlg::kOkId);
            }
        }
        m_busy = false;
    });
    m_timer.start(5);
}

FrameWorld::FrameWorld(DemoService& demo, const std::string& reportingUrl) {
    // Discovery reads the bus directory when it starts.
    ::setenv("GLIMMERIES_TOY_DIR", toyDirectory.path().toLocal8Bit().constData(), 1);
    auto& parameters = fixture.worker->parameters;
    parameters["GLM_BASE_URL"] = demo.ApiUrl();
    parameters["GLM_LOG_LEVEL"] = "1";
    parameters["GLM_SUPPORTED_FLASH_VERSION"] = "10";
    parameters["PATCHER_VERSION_STRING_SERVER"] = "V1.0.4.34";
    parameters["GLM_FAQ_URL"] = "http://game.invalid/glimmeries.html?page=faq";
    if (!reportingUrl.empty()) {
        parameters["GLM_REPORTING_URL"] = reportingUrl;
    }
    frame.SetObserver([this](const UI::Message& message) { seen.push_back(message); });
}

FrameWorld::~FrameWorld() {
    ForgetQuitRequest();
}

bool FrameWorld::Start() {
    frame.show();
    frame.Target().Send(UI::WM_GLM_START);
    const bool started = PumpUntil([this] {
        Glm::SkinnedScreen* screen = frame.FindScreen(Glm::ScreenId::kDevices);
        return screen != nullptr && screen->isVisible() && App().IsToyDiscoveryRunning();
    });
    // The sign-in screen's player check would start a web engine here.
    if (auto* signIn = frame.GetScreen<Glm::CGLMLoginDlg>(Glm::ScreenId::kSignIn)) {
        signIn->SetPlayerVersionProbe([](QWidget&) { return std::string("10"); });
    }
    return started;
}

Glm::CGLMDevicesDlg& FrameWorld::Devices() {
    return *frame.GetScreen<Glm::CGLMDevicesDlg>(Glm::ScreenId::kDevices);
}

NamedToy::NamedToy(const QString& kind, const QString& name, const QString& toyDirectory) {
    m_process.start(BuildProgram("glimmeries-toy"), {kind, "--name", name, "--dir", toyDirectory, "--state",
                                                     m_state.path() + "/toy.state", "--detached"});
    m_process.waitForStarted(5000);
}

NamedToy::~NamedToy() {
    Unplug();
}

void NamedToy::Unplug() {
    if (m_process.state() == QProcess::NotRunning) {
        return;
    }
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

std::unique_ptr<NamedToy> FrameWorld::Plug(const QString& kind, const QString& name) {
    const std::size_t before = App().GetToys().GetCount();
    auto toy = std::make_unique<NamedToy>(kind, name.isEmpty() ? kind : name, toyDirectory.path());
    PumpUntil([&] { return App().GetToys().GetCount() > before; });
    return toy;
}

bool FrameWorld::Unplug(NamedToy& toy) {
    const std::size_t before = App().GetToys().GetCount();
    toy.Unplug();
    return PumpUntil([&] { return App().GetToys().GetCount() < before; });
}

std::vector<int> FrameWorld::VisibleScreens() {
    std::vector<int> ids;
    for (const int id : {Glm::ScreenId::kDevices, Glm::ScreenId::kSignIn, Glm::ScreenId::kSignUp,
                         Glm::ScreenId::kMainMenu, Glm::ScreenId::kTutorial}) {
        Glm::SkinnedScreen* screen = frame.FindScreen(id);
        if (screen != nullptr && !screen->isHidden()) {
            ids.push_back(id);
        }
    }
    return ids;
}

std::vector<std::string> FrameWorld::Labels() {
    std::vector<std::string> labels;
    Glm::DeviceListView* list = Devices().GetList();
    for (int i = 0; i < list->count(); ++i) {
        labels.push_back(list->item(i)->text().toStdString());
    }
    return labels;
}

std::vector<std::uintptr_t> FrameWorld::Errors() const {
    std::vector<std::uintptr_t> ids;
    for (const UI::Message& message : seen) {
        if (message.id == UI::WM_GLM_SHOW_ERROR) {
            ids.push_back(message.wParam);
        }
    }
    return ids;
}

std::size_t FrameWorld::Count(std::uint32_t message) const {
    std::size_t count = 0;
    for (const UI::Message& received : seen) {
        count += received.id == message ? 1 : 0;
    }
    return count;
}

std::size_t FrameWorld::LogCount(const std::string& text) const {
    const std::string log = fixture.Log();
    std::size_t count = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + text.size())) {
        ++count;
    }
    return count;
}

bool FrameWorld::DoubleClickItem(int index) {
    Glm::DeviceListView* list = Devices().GetList();
    const QRect rect = list->ItemRect(index);
    if (!rect.isValid()) {
        return false;
    }
    // Press, release, then the second press as a double click, as the
    // window system delivers them.
    const QPointF at = rect.center();
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                            QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
    QCoreApplication::sendPostedEvents();
    return true;
}

} // namespace FlowTest
