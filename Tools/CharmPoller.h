#pragma once
// The charm page's live touch poll: every 250 ms, on a timer thread, the
// plugged bracelet or jewelry box is asked for a charm touched meanwhile.
// A charm the page does not list yet is acknowledged on the toy and posted
// to the page, which inserts it on the user-interface thread. A touch of a
// charm the toy no longer holds (given away meanwhile) is acknowledged and
// dropped. Neither thread ever waits for the other: the poll only posts.
//
// Polls, the page's list refresh and its upload are serialised by the
// poller's lock (GetLock); the page holds it while it reads or writes the
// toy and while it rebuilds its list.

#include "common/Sync/CriticalSection.h"
#include "common/Sync/Timer.h"
#include "common/UI/MessageTarget.h"
#include "common/UI/Messages.h"
#include "device/CharmLookup.h"
#include "device/Toy.h"
#include "device/ToyItem.h"

#include <cstdint>
#include <memory>
#include <set>
#include <vector>

namespace Glm {

/// Posted to the page for each newly touched charm: wParam the charm id
/// (unsigned), lParam the poller's activation, the object a ToyItem. Hand
/// the message to CharmPoller::TakeTouch.
constexpr std::uint32_t WM_GLM_CHARM_TOUCHED = UI::WM_USER + 700; // 1724, outside the frame's table

class CharmPoller : private Sync::TimerCallback {
public:
    static constexpr int kPeriodMs = 250;

    /// page receives WM_GLM_CHARM_TOUCHED; catalogue names the charms and
    /// must not change while the poller runs (change it under GetLock()).
    /// Both must outlive the poller. The timer thread starts stopped.
    CharmPoller(UI::MessageTarget& page, const CharmLookup& catalogue);
    /// Stops and joins the timer thread. Never destroy it while holding
    /// GetLock(): a poll waiting for the lock could not end.
    ~CharmPoller() override;
    CharmPoller(const CharmPoller&) = delete;
    CharmPoller& operator=(const CharmPoller&) = delete;

    /// The page is shown: polls start for toy (only its device id and kind
    /// are used; the poller keeps its own copy), with listed the charm ids
    /// the page shows. A poller already running restarts with the new toy.
    /// A toy that is not present, or a handheld game, is never polled.
    void Start(const Toy& toy, const std::vector<std::int32_t>& listed);
    /// The page is hidden (or destroyed): no poll does anything after this
    /// returns, and touches posted before are refused by TakeTouch. Waits
    /// only for a poll that holds the lock now.
    void Stop();
    bool IsActive() const;

    /// The lock that serialises polls with the page's refresh and upload
    /// (recursive for the thread that holds it).
    Sync::CriticalSection& GetLock() { return m_lock; }
    /// The page rebuilt its list: the charm ids it shows now. A charm
    /// reported before and gone from the list may be reported again.
    void SetListed(const std::vector<std::int32_t>& listed);

    /// On the page's thread, for WM_GLM_CHARM_TOUCHED: true with the charm
    /// in item when the page should add it (it belongs to the current
    /// activation); false for a stale report or another message.
    bool TakeTouch(const UI::Message& message, ToyItem& item) const;

    /// Runs one poll now, as the timer does (for tests and benchmarks).
    void PollNow() { OnTimer(); }

private:
    void OnTimer() override;
    void OnTimerStarted() override {}
    void Acknowledge();
    /// Whether the toy's memory holds the charm; true when it cannot be read.
    bool IsHeld(std::int32_t charmId);

    UI::MessageTarget& m_page;
    const CharmLookup& m_catalogue;
    mutable Sync::CriticalSection m_lock;
    // Guarded by m_lock.
    bool m_active = false;
    UI::LPARAM m_activation = 0;
    std::unique_ptr<Toy> m_toy;
    std::set<std::int32_t> m_listed;
    // Last: its thread runs OnTimer, so it is stopped before the rest goes.
    Sync::Timer m_timer;
};

} // namespace Glm
