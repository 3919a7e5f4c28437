#pragma once
// The keyboard's way through a screen or popup: Tab visits the controls in
// reading order (rows from the top, each row from the left), whatever order
// the screen created them in; every control gets a name a screen reader can
// say, from what it shows or does.

#include <QWidget>
#include <vector>

namespace Glm {

/// The controls of page that Tab visits (shown, enabled, taking the focus
/// by Tab), in reading order. Controls whose vertical extents mostly
/// overlap are one row, read from the left.
std::vector<QWidget*> ReadingOrder(const QWidget& page);
/// Moves the focus to the next (or previous) control of page in reading
/// order, wrapping at the ends; from outside page it goes to the first (or
/// last). False when page has no control Tab visits.
bool MoveFocusInReadingOrder(QWidget& page, bool next);
/// Names every control of page (the dialog dialogId) that has no name yet:
/// fields whose label is painted on the skin by the table of such fields,
/// other edits, lists and drop-downs by the label at their left or above
/// them, a password edit as "Password", and otherwise by what kind of
/// control they are. Image buttons, links and labels carry their own names.
void NameUnnamedControls(QWidget& page, int dialogId);
/// Makes Enter on a list of page act as a double click on the list's
/// current item, the way the pages choose an item with the mouse (once per
/// list; lists added later are taken at the next call).
void LetEnterChooseListItems(QWidget& page);

} // namespace Glm
