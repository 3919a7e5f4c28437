#pragma once
// Text labels of the screens: bold "arial" on a transparent background.

#include "ThinUI/Colors.h"
#include "ThinUI/TextLabel.h"

#include <string>

class QListWidget;

namespace Glm {

class Glimmeries;

/// Purple of the page texts and lists.
constexpr ThinUI::ColorRef kPageTextColor = 0xA05EA1;
/// Dark purple of the greetings on the welcome pages.
constexpr ThinUI::ColorRef kGreetingColor = 0x500285;
/// Position of the version display on every page that has one.
constexpr int kVersionX = 620;
constexpr int kVersionY = 47;

/// A label owned by screen (its Qt parent) with the item id at (x, y); with
/// a string id it shows that string-table text.
ThinUI::TextLabel* AddPageLabel(QWidget& screen, int controlId, int x, int y, ThinUI::ColorRef color,
                                int height, unsigned stringId = 0);
/// What the screens' lists share: fixed items chosen one at a time, scrolled
/// by the screen's own arrows, the skin showing through behind bold purple
/// text, nothing to edit or drag.
void SetUpSkinList(QListWidget& list);
/// The last space at or before the middle of text becomes a line break (a
/// charm's name, a friend's greeting); a text without one stays as it is.
std::string BreakIntoTwoLines(std::string text);
/// The version display: the value of PATCHER_VERSION_STRING_SERVER.
ThinUI::TextLabel* AddVersionLabel(QWidget& screen, Glimmeries& application, int controlId);

} // namespace Glm
