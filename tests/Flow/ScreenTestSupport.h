#pragma once
// What the screen tests share: the game service with the demo world and a
// few accounts of their own, signed in over HTTPS; virtual toys followed
// into the application's toy list; clicks at a screen's pixel positions;
// screenshots.

#include "FlowFixture.h"
#include "ServiceHelper.h"
#include "common/UI/QtMessageTarget.h"

#include <QImage>
#include <QPoint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace FlowTest {

struct DemoAccount {
    std::string login;
    std::string password;
    std::string userId;
    /// The click id of the bracelet registered to the account.
    std::uint32_t braceletClickId = 0;
};

/// glimmeries-service with "seed demo", an account without a Fairy
/// ("fernless") and a suspended one ("thornwick"). Its CA is trusted for
/// the process while it runs.
class DemoService {
public:
    /// serviceArguments go to the service's `serve` (rules such as
    /// --max-friends N).
    explicit DemoService(const std::vector<std::string>& serviceArguments = {});
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    bool IsRunning() const { return m_service.IsRunning() && m_accounts.size() >= 3; }
    std::string ApiUrl() const;
    /// The demo accounts in the order the seed printed them.
    const std::vector<DemoAccount>& Accounts() const { return m_accounts; }
    const DemoAccount& Fairyless() const { return m_fairyless; }
    const DemoAccount& Suspended() const { return m_suspended; }
    Service& GetService() { return m_service; }
    const std::string& SeedOutput() const { return m_seed; }

private:
    Service m_service;
    std::string m_seed;
    std::vector<DemoAccount> m_accounts;
    DemoAccount m_fairyless;
    DemoAccount m_suspended;
};

/// Follows toy discovery into the application's toy list, as the devices
/// screen does, until destroyed.
class ToyFeed {
public:
    explicit ToyFeed(Glm::Glimmeries& application);
    ~ToyFeed();
    ToyFeed(const ToyFeed&) = delete;
    ToyFeed& operator=(const ToyFeed&) = delete;

    /// Waits until a toy of that product id is listed; its device id, or -1.
    std::int32_t WaitForToy(std::uint32_t productId, int timeoutMs = 10000);

private:
    Glm::Glimmeries& m_application;
    UI::QtMessageTarget m_receiver;
};

/// The screen's control under (x, y) (pixels of the screen), or null.
QWidget* ControlAt(QWidget& screen, int x, int y);
/// Presses and releases the left button at (x, y) of the screen, on the
/// control that lies there, and delivers the command the click posts.
/// Returns the item id of the control clicked (0 when none lies there).
int ClickAt(QWidget& screen, int x, int y);
/// Paints widget (a screen or popup) into a picture and saves it to
/// $GLM_BUILD_DIR/test-artifacts/screens/NAME.png.
QImage SaveScreenshot(QWidget& widget, const std::string& name);
/// The share of pixels of the picture's area (x, y, w, h) that differ from
/// colour by more than a small tolerance in any component.
double ShareUnlike(const QImage& image, const QRect& area, const QColor& colour);

} // namespace FlowTest
