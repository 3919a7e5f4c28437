#pragma once
// What the web client needs from a view that plays an avatar movie. The
// movie view of the screens implements it; tests use a recording fake.

#include "common/UI/MessageTarget.h"

#include <QRect>
#include <cstdint>
#include <string>

class QWidget;

namespace Glm {

class AvatarView {
public:
    virtual ~AvatarView() = default;
    /// Creates the view at rect in parent; clicks go to parentTarget (or to
    /// the parent itself when null). Throws
    /// Web::CantCreateFlashWindowException when the view cannot be made.
    virtual void CreateClientWindow(QWidget* parent, const QRect& rect, UI::MessageTarget* parentTarget) = 0;
    /// Gives the movie its FlashVars and background colour (0xRRGGBB) and
    /// keeps the values a click on the view sends with clickMessage.
    virtual void SetAvatar(UI::WPARAM wParam, const std::string& flashVars, UI::LPARAM lParam,
                           std::uint32_t clickMessage, std::uint32_t backgroundColor) = 0;
    /// Plays the movie file at path.
    virtual void LoadUrl(const std::string& path) = 0;
};

} // namespace Glm
