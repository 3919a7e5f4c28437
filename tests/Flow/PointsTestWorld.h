#pragma once
// The point screens' world: a fresh game service with the demo families, the
// first family signed in, and its handheld game plugged in as a virtual toy
// holding Glint Points, chosen as the toy in use. The frame runs with the
// real screens and popups.

#include "Flow/GLMGlintsFairyViews.h"
#include "Flow/MainFrame.h"
#include "ScreenTestSupport.h"
#include "device/Toy.h"

#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <optional>

namespace FlowTest {

class PointsWorld {
public:
    /// The game toy starts with points (0 to 99990, in tens).
    explicit PointsWorld(int points);
    ~PointsWorld();

    Glm::Glimmeries& App() { return *fixture.application; }
    bool IsReady() const { return m_ready; }
    /// The family's Fairies: Lirabelle (1200 points, butterfly 3 flying for
    /// 5 days) and Tansy Quill (80 points, no butterfly; the game's Fairy).
    const std::string& Lirabelle() const { return m_lirabelle; }
    const std::string& Tansy() const { return m_tansy; }
    std::uint32_t GameClickId() const { return m_gameClickId; }

    /// The balance the service holds for the Fairy, -1 when unreadable.
    int Balance(const std::string& fairyId);
    void SetBalance(const std::string& fairyId, int points);
    /// The butterfly flying with the Fairy and its days left ("0" when none).
    std::pair<std::string, std::string> Butterfly(const std::string& fairyId);
    /// How many requests of that name the service has answered.
    int RequestCount(const std::string& requestName);

    /// The points the game itself holds now (read from the device), -1
    /// when it cannot be read.
    int ToyPoints();
    /// Unplugs the game without the application being told yet.
    void UnplugGame();
    /// Plugs the same game (same memory) back in and makes it the toy in use.
    bool ReplugGame();

    /// The ids of the errors raised (1622), in order.
    std::vector<std::uintptr_t> Errors() const;
    std::vector<UI::Message> Seen(std::uint32_t id) const;

    Fixture fixture;
    Recorder recorder{*fixture.application};
    Glm::MainFrame frame{*fixture.application};
    std::vector<UI::Message> seen;

private:
    bool PlugGame(const QStringList& options);

    DemoService m_demo;
    QTemporaryDir m_toyState;
    std::unique_ptr<VirtualToy> m_game;
    std::unique_ptr<ToyFeed> m_feed;
    std::string m_lirabelle;
    std::string m_tansy;
    std::uint32_t m_gameClickId = 0;
    std::string m_userId;
    bool m_ready = false;
};

/// Runs action once on the popup of class T as soon as the frame shows it
/// (polling, so it does not matter which modal loop runs first). When the
/// test has failed by then, the popup is ended so the test does not hang.
template <class T, typename Action>
void WhenOpen(Glm::MainFrame& frame, Action action) {
    auto* timer = new QTimer(&frame);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &frame, action]() mutable {
        auto* popup = dynamic_cast<T*>(frame.GetOpenPopup());
        if (popup == nullptr || !popup->isVisible()) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        action(*popup);
        if (::testing::Test::HasFailure() && frame.GetOpenPopup() == popup && popup->isVisible()) {
            popup->EndDialog(Glm::SkinnedPopup::kCancel);
        }
    });
    timer->start(5);
}

/// Waits for the movie of the view index to be ready, checks that it lies at
/// (x, y) of the screen, and presses the left button on it there.
void ClickAvatar(QWidget& screen, Glm::GlintFairyViews& views, std::size_t index, int x, int y);

} // namespace FlowTest
