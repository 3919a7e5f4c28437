#include "Tools/CharmPoller.h"

#include "device/SupportedToys.h"

namespace Glm {

namespace {

constexpr std::uint8_t kBraceletAcknowledge = 7;
constexpr std::uint8_t kBoxAcknowledgeFirst = 13;
constexpr std::uint8_t kBoxAcknowledgeSecond = 5;

} // namespace

CharmPoller::CharmPoller(UI::MessageTarget& page, const CharmLookup& catalogue)
    : m_page(page), m_catalogue(catalogue), m_timer(this) {}

CharmPoller::~CharmPoller() {
    Stop();
}

void CharmPoller::Start(const Toy& toy, const std::vector<std::int32_t>& listed) {
    Sync::AutoLock lock(m_lock);
    m_timer.StopTimer();
    ++m_activation;
    const std::uint32_t kind = toy.GetType();
    m_active =
        toy.IsPresent() && (kind == GlmDev::kBraceletProductId || kind == GlmDev::kJewelryBoxProductId);
    m_toy = std::make_unique<Toy>(toy);
    m_listed = std::set<std::int32_t>(listed.begin(), listed.end());
    if (m_active) {
        m_timer.StartTimer(kPeriodMs, Sync::Timer::kPeriodic);
    }
}

void CharmPoller::Stop() {
    Sync::AutoLock lock(m_lock);
    m_timer.StopTimer();
    m_active = false;
    // Reports already posted belong to the activation that ends here.
    ++m_activation;
}

bool CharmPoller::IsActive() const {
    Sync::AutoLock lock(m_lock);
    return m_active;
}

void CharmPoller::SetListed(const std::vector<std::int32_t>& listed) {
    Sync::AutoLock lock(m_lock);
    m_listed = std::set<std::int32_t>(listed.begin(), listed.end());
}

bool CharmPoller::TakeTouch(const UI::Message& message, ToyItem& item) const {
    if (message.id != WM_GLM_CHARM_TOUCHED || message.object == nullptr) {
        return false;
    }
    {
        Sync::AutoLock lock(m_lock);
        if (!m_active || message.lParam != m_activation) {
            return false;
        }
    }
    item = *std::static_pointer_cast<ToyItem>(message.object);
    return true;
}

void CharmPoller::OnTimer() {
    Sync::AutoLock lock(m_lock);
    if (!m_active || !m_toy) {
        return;
    }
    ToyItem item;
    // A touch whose id is not positive reads as success with the item left
    // alone: nothing new, so nothing is added or acknowledged.
    if (m_toy->ReadTouch(m_catalogue, item) != 0 || item.id <= 0) {
        return;
    }
    // The toy repeats an unacknowledged touch at every poll; a charm the
    // page lists already is left as it is. (An acknowledgement names no
    // charm: sent now, it could take a touch made since this read.)
    if (m_listed.count(item.id) != 0) {
        return;
    }
    // A touch still standing for a charm the toy no longer holds (given away
    // while the page was up) is old: it is acknowledged, never listed again.
    if (!IsHeld(item.id)) {
        Acknowledge();
        return;
    }
    m_listed.insert(item.id);
    m_page.Post(WM_GLM_CHARM_TOUCHED, static_cast<UI::WPARAM>(static_cast<std::uint32_t>(item.id)),
                m_activation, std::make_shared<ToyItem>(item));
    Acknowledge();
}

bool CharmPoller::IsHeld(std::int32_t charmId) {
    if (m_toy->ReadMemory() != 0) {
        return true; // not known: reported, the page reads the toy again later
    }
    const Toy::Memory& image = m_toy->GetImage();
    for (std::size_t word = Toy::kFirstSlotWord; word < Toy::kWordCount; ++word) {
        if (Toy::GetWord(image, word) == charmId) {
            return true;
        }
    }
    return false;
}

void CharmPoller::Acknowledge() {
    // Acknowledgements get no reply; a toy that missed one repeats the touch,
    // which the listed set already holds.
    if (m_toy->GetType() == GlmDev::kBraceletProductId) {
        m_toy->SendCommand(kBraceletAcknowledge);
    } else {
        m_toy->SendCommand(kBoxAcknowledgeFirst);
        m_toy->SendCommand(kBoxAcknowledgeSecond);
    }
}

} // namespace Glm
