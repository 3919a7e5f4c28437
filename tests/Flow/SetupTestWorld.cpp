#include "SetupTestWorld.h"

#include "Flow/GLMErrorDlg.h"
#include "Flow/GLMLoginDlg.h"
#include "Flow/ScreenIds.h"
#include "Flow/SkinnedScreen.h"
#include "Flow/ToyInUse.h"
#include "Flow/ToyList.h"
#include "Tools/FlashWindow.h"
#include "webapi/WebApi.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWebEnginePage>
#include <memory>
#include <sstream>

namespace FlowTest {

namespace {

std::unique_ptr<DemoService> g_demo;

class DemoEnvironment : public ::testing::Environment {
public:
    void TearDown() override { g_demo.reset(); }
};

int g_accounts = 0;

std::string LastWord(const std::string& text) {
    std::istringstream words(text);
    std::string word;
    std::string last;
    while (words >> word) {
        last = word;
    }
    return last;
}

} // namespace

PopupSteps::PopupSteps(Glm::MainFrame& frame) : m_frame(frame) {
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Tick(); });
    m_timer.start(5);
}

PopupSteps::~PopupSteps() = default;

PopupSteps& PopupSteps::Then(int dialogId, Step step) {
    m_steps.emplace_back(dialogId, std::move(step));
    return *this;
}

void PopupSteps::Tick() {
    Glm::SkinnedPopup* popup = m_frame.GetOpenPopup();
    if (popup == nullptr || !popup->isVisible() || m_active.count(popup) != 0) {
        return;
    }
    m_active.insert(popup);
    auto* error = dynamic_cast<Glm::CGLMErrorDlg*>(popup);
    m_seen.push_back(error != nullptr ? "157:" + std::to_string(error->GetMessageId())
                                      : std::to_string(popup->GetDialogId()));
    Step step;
    if (!m_steps.empty() && m_steps.front().first == popup->GetDialogId()) {
        step = std::move(m_steps.front().second);
        m_steps.pop_front();
    } else if (error != nullptr) {
        step = [](Glm::SkinnedPopup& open) { Click(open, Glm::CGLMErrorDlg::kOkId); };
    }
    // Run from a timer of its own: a running timer does not fire again until
    // it returns, and a step may open the next popup inside it.
    QPointer<Glm::SkinnedPopup> alive(popup);
    QTimer::singleShot(0, &m_timer, [this, popup, alive, step = std::move(step)] {
        if (step && alive) {
            step(*alive);
        }
        // A click posts its command: it belongs to this run of the popup.
        if (alive) {
            QCoreApplication::sendPostedEvents(alive.data());
        }
        // A step that failed before its click must not leave the test waiting.
        Glm::SkinnedPopup* still = alive.data();
        if (still != nullptr && m_frame.GetOpenPopup() == still && still->isVisible()) {
            still->EndDialog(Glm::SkinnedPopup::kCancel);
        }
        m_active.erase(popup);
    });
}

DemoService& SetupWorld::Demo() {
    if (!g_demo) {
        g_demo = std::make_unique<DemoService>();
        // Owned by the test framework from here on.
        ::testing::AddGlobalTestEnvironment(new DemoEnvironment);
    }
    return *g_demo;
}

SetupWorld::SetupWorld() : FrameWorld(Demo()) {
    auto& parameters = fixture.worker->parameters;
    parameters["GLM_WEBSITE_BASE_URL"] = Demo().GetService().HttpBase() + "/bramblemere/game/";
    parameters["SWF_AVATAR_AND_BUTTERFLY"] = "avatarAndButterfly.swf";
    // Movies are prepared in the application's own directory.
    Glm::WebApi::SetMovieDirectory(App().GetDataDirectory());
}

SetupAccount SetupWorld::NewAccount(int fairies) {
    SetupAccount account;
    account.login = "setup_" + std::to_string(::getpid() % 10000) + "_" + std::to_string(++g_accounts);
    account.password = "fairy-dust-" + std::to_string(g_accounts);
    account.userId = LastWord(Admin(
        {"account", "add", QString::fromStdString(account.login), QString::fromStdString(account.password)}));
    static const char* const names[] = {"Bluebell", "Thistle", "Marigold", "Juniper"};
    for (int i = 0; i < fairies; ++i) {
        account.fairyIds.push_back(
            LastWord(Admin({"fairy", "add", QString::fromStdString(account.login), names[i % 4]})));
    }
    return account;
}

std::string SetupWorld::Admin(const QStringList& arguments) {
    return Demo().GetService().Admin(arguments);
}

bool SetupWorld::IsShown(int dialogId) {
    Glm::SkinnedScreen* screen = frame.FindScreen(dialogId);
    return screen != nullptr && screen->isVisible();
}

bool SetupWorld::SignInWith(int toyIndex, const SetupAccount& account) {
    if (!IsShown(Glm::ScreenId::kDevices) || !DoubleClickItem(toyIndex) ||
        !PumpUntil([this] { return IsShown(Glm::ScreenId::kSignIn); })) {
        return false;
    }
    auto* signIn = Screen<Glm::CGLMLoginDlg>(Glm::ScreenId::kSignIn);
    auto* name = qobject_cast<QLineEdit*>(ThinUI::FindControl(signIn, Glm::CGLMLoginDlg::kAccountId));
    auto* password = qobject_cast<QLineEdit*>(ThinUI::FindControl(signIn, Glm::CGLMLoginDlg::kPasswordId));
    if (name == nullptr || password == nullptr) {
        return false;
    }
    name->setText(QString::fromStdString(account.login));
    password->setText(QString::fromStdString(account.password));
    Press(*signIn, 333, 335);
    return PumpUntil([this] { return IsShown(Glm::ScreenId::kMainMenu); });
}

bool SetupWorld::SetUpFromMenu() {
    Glm::SkinnedScreen* menu = frame.FindScreen(Glm::ScreenId::kMainMenu);
    if (menu == nullptr || !menu->isVisible()) {
        return false;
    }
    PopupSteps popups(frame);
    popups.Then(153, [](Glm::SkinnedPopup& popup) { Press(popup, 267, 371); })
        .Then(136, [](Glm::SkinnedPopup& popup) { Press(popup, 298, 364); });
    Press(*menu, 72, 245);
    return WaitForClickId(2000) > 0;
}

std::optional<Glm::Toy> SetupWorld::ToyInUse() {
    return Glm::FindToyInUse(App());
}

std::int32_t SetupWorld::WaitForClickId(int timeoutMs) {
    std::int32_t clickId = 0;
    PumpUntil(
        [&] {
            const auto toy = ToyInUse();
            clickId = toy.has_value() ? toy->GetClickId() : 0;
            return clickId > 0;
        },
        timeoutMs);
    return clickId;
}

QVariant RunMovieScript(Glm::FlashWindowView& view, const QString& script) {
    Web::FlashWindow* movie = view.GetFlashWindow();
    if (movie == nullptr || movie->GetPage() == nullptr) {
        return {};
    }
    auto result = std::make_shared<std::pair<bool, QVariant>>(false, QVariant());
    movie->GetPage()->runJavaScript(script, [result](const QVariant& value) {
        result->first = true;
        result->second = value;
    });
    PumpUntil([&] { return result->first; }, 5000);
    return result->second;
}

QImage SaveScreenshotWithMovies(QWidget& window, const std::string& name,
                                const std::vector<Glm::FlashWindowView*>& movies) {
    window.grab();
    QImage picture = window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    QPainter painter(&picture);
    for (Glm::FlashWindowView* movie : movies) {
        QWidget* view = movie->GetWindow();
        if (view == nullptr) {
            continue;
        }
        QImage shot;
        PumpUntil(
            [&] {
                shot = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
                const QColor corner = shot.pixelColor(0, 0);
                return !shot.isNull() && ShareUnlike(shot, shot.rect(), corner) > 0.05;
            },
            10000);
        const QPoint at = view->mapTo(&window, QPoint(0, 0));
        painter.drawImage(at, shot);
        // The controls stacked above the movie stay above it.
        bool above = false;
        for (QObject* object : window.children()) {
            auto* control = qobject_cast<QWidget*>(object);
            if (control == view) {
                above = true;
            } else if (above && control != nullptr && control->isVisible() &&
                       control->geometry().intersects(view->geometry())) {
                // Drawn into the picture itself: a transparent label keeps
                // the movie beneath it.
                control->render(&painter, control->pos(), QRegion(), QWidget::DrawChildren);
            }
        }
    }
    painter.end();
    const char* buildDir = std::getenv("GLM_BUILD_DIR");
    const QString directory = QString::fromLocal8Bit(buildDir != nullptr ? buildDir : ".") +
                              QStringLiteral("/test-artifacts/screens");
    QDir().mkpath(directory);
    picture.save(directory + "/" + QString::fromStdString(name) + ".png");
    return picture;
}

void ClickMovie(Glm::FlashWindowView& view) {
    Web::FlashWindow* movie = view.GetFlashWindow();
    if (movie == nullptr) {
        return;
    }
    QWidget* target = movie->GetAxWindowHandle();
    if (QWidget* inner = target->focusProxy()) {
        target = inner;
    }
    const QPointF where(50, 60);
    const QPointF global(target->mapToGlobal(where.toPoint()));
    QPointer<QWidget> alive(target);
    QMouseEvent press(QEvent::MouseButtonPress, where, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (alive) {
        QMouseEvent release(QEvent::MouseButtonRelease, where, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
}

} // namespace FlowTest
