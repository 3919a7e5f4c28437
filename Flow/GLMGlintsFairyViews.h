#pragma once
// What the two point screens share: the three avatar movies of the
// account's Fairies with the Fairy each one shows, the balance labels under
// them, and the name a popup shows for a Fairy.

#include "Tools/FlashWindowView.h"
#include "common/UI/MessageTarget.h"
#include "webapi/AvatarView.h"

#include <QRect>
#include <array>
#include <cstdint>
#include <string>

namespace ThinUI {
class TextLabel;
}

namespace Glm {

class Glimmeries;

class GlintFairyViews {
public:
    static constexpr std::size_t kCount = 3;

    /// Places one avatar-and-butterfly movie per Fairy of the account of
    /// userId on screen, the first at firstRect and each next one distance
    /// pixels further right; a click on one sends clickMessage (wParam the
    /// view's index, lParam the Fairy id) to target. The result of
    /// DisplayFairies.
    std::int32_t Show(Glimmeries& application, QWidget* screen, UI::MessageTarget* target,
                      std::uint32_t clickMessage, const QRect& firstRect, int distance,
                      const std::string& userId);
    /// Destroys every movie; no view shows a Fairy afterwards.
    void Destroy();
    /// The Fairy view index shows; empty when it shows none.
    const std::string& GetFairyId(std::size_t index) const { return m_slots.at(index).fairyId; }
    FlashWindowView& GetView(std::size_t index) { return m_slots.at(index).view; }
    /// Gives each label the balance of its view's Fairy in text (its "%s"
    /// filled) and shows it; the labels of views without a Fairy, or whose
    /// balance cannot be read, are hidden.
    void ShowBalances(Glimmeries& application, const std::array<ThinUI::TextLabel*, kCount>& labels,
                      unsigned textId);

private:
    // Remembers the Fairy a movie shows, which the web client passes to the
    // view only as the click's value.
    struct Slot : AvatarView {
        void CreateClientWindow(QWidget* parent, const QRect& rect, UI::MessageTarget* parentTarget) override;
        void SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                       std::uint32_t clickMessage, std::uint32_t backgroundColor) override;
        void LoadUrl(const std::string& path) override;

        FlashWindowView view;
        std::string fairyId;
    };
    std::array<Slot, kCount> m_slots;
};

/// The name a point popup shows for fairyId: the Fairy's profile name from
/// the service; when that cannot be read, the toy in use's own Fairy name if
/// the toy belongs to that Fairy; else empty.
std::string GlintFairyName(Glimmeries& application, const std::string& fairyId);

/// A string-table text with its "%s" filled in order; empty (logged) when
/// the table lacks it.
std::string GlintText(unsigned textId, std::initializer_list<std::string> values);

} // namespace Glm
