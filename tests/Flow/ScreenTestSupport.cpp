#include "ScreenTestSupport.h"

#include "Flow/ToyList.h"
#include "ThinUI/Controls.h"
#include "common/Web/TlsTrust.h"
#include "device/Toy.h"

#include <QDir>
#include <QMouseEvent>
#include <QTest>
#include <cstdlib>
#include <sstream>

namespace FlowTest {

namespace {

std::string Field(const std::string& line, const std::string& name) {
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        if (word == name && words >> word) {
            return word;
        }
    }
    return {};
}

DemoAccount AddAccount(Service& service, const std::string& login, const std::string& password) {
    const std::string out =
        service.Admin({"account", "add", QString::fromStdString(login), QString::fromStdString(password)});
    return {login, password, Field(out, "user_id"), 0};
}

} // namespace

DemoService::DemoService(const std::vector<std::string>& serviceArguments) : m_service({}, serviceArguments) {
    if (!m_service.IsRunning()) {
        return;
    }
    Web::SetExtraCaFile((m_service.DataPath() + "/ca.pem").toStdString());
    m_seed = m_service.Admin({"seed", "demo"});
    std::istringstream lines(m_seed);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("account ", 0) == 0) {
            m_accounts.push_back(
                {Field(line, "account"), Field(line, "password"), Field(line, "user_id"), 0});
        } else if (line.rfind("  bracelet ", 0) == 0 && !m_accounts.empty()) {
            m_accounts.back().braceletClickId =
                static_cast<std::uint32_t>(std::stoul(Field(line, "bracelet")));
        }
    }
    m_fairyless = AddAccount(m_service, "fernless", "no-fairy-yet");
    m_suspended = AddAccount(m_service, "thornwick", "on-hold");
    m_service.Admin({"fairy", "add", "thornwick", "Bramble"});
    m_service.Admin({"account", "ban", "thornwick"});
}

DemoService::~DemoService() {
    Web::SetExtraCaFile("");
}

std::string DemoService::ApiUrl() const {
    return "https://127.0.0.1:" + std::to_string(m_service.HttpsPort()) + "/api/";
}

ToyFeed::ToyFeed(Glm::Glimmeries& application)
    : m_application(application), m_receiver([this](const UI::Message& message) -> UI::LRESULT {
          if (message.id == UI::WM_GLM_DEVICE_CHANGE) {
              const auto toy = std::static_pointer_cast<Glm::Toy>(message.object);
              m_application.GetToys().Apply(static_cast<std::uint32_t>(message.wParam), toy.get());
          }
          return 0;
      }) {
    application.StartToyDiscovery(m_receiver);
}

ToyFeed::~ToyFeed() {
    m_application.DetachToyDiscovery(m_receiver);
}

std::int32_t ToyFeed::WaitForToy(std::uint32_t productId, int timeoutMs) {
    std::int32_t found = -1;
    const bool listed = QTest::qWaitFor(
        [&] {
            for (const Glm::Toy& toy : m_application.GetToys().List()) {
                if (toy.GetProductId() == productId) {
                    found = static_cast<std::int32_t>(toy.GetDeviceId());
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return listed ? found : -1;
}

QWidget* ControlAt(QWidget& screen, int x, int y) {
    // Controls take their size at their first paint.
    screen.grab();
    QWidget* child = screen.childAt(x, y);
    while (child != nullptr && child->parentWidget() != &screen) {
        child = child->parentWidget();
    }
    return child;
}

int ClickAt(QWidget& screen, int x, int y) {
    QWidget* control = ControlAt(screen, x, y);
    if (control == nullptr) {
        return 0;
    }
    const QPointF local = control->mapFrom(&screen, QPointF(x, y));
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, local, control->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(control, &event);
    }
    QCoreApplication::sendPostedEvents(&screen);
    return ThinUI::ControlId(control);
}

QImage SaveScreenshot(QWidget& widget, const std::string& name) {
    // The first paint sizes the controls to their pictures; the second
    // shows them.
    widget.grab();
    const QImage picture = widget.grab().toImage();
    const char* buildDir = std::getenv("GLM_BUILD_DIR");
    const QString directory = QString::fromLocal8Bit(buildDir != nullptr ? buildDir : ".") +
                              QStringLiteral("/test-artifacts/screens");
    QDir().mkpath(directory);
    picture.save(directory + "/" + QString::fromStdString(name) + ".png");
    return picture;
}

double ShareUnlike(const QImage& image, const QRect& area, const QColor& colour) {
    const QRect inside = area.intersected(image.rect());
    if (inside.isEmpty()) {
        return 0.0;
    }
    constexpr int kTolerance = 24;
    int unlike = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) > kTolerance ||
                std::abs(pixel.green() - colour.green()) > kTolerance ||
                std::abs(pixel.blue() - colour.blue()) > kTolerance) {
                ++unlike;
            }
        }
    }
    return static_cast<double>(unlike) / (inside.width() * inside.height());
}

} // namespace FlowTest
