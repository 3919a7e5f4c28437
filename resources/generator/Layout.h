#pragma once
// Where every picture sits: the size and frame count of each image resource, and the
// controls of every screen and popup at their pixel positions. Backgrounds keep these places
// free, buttons take their backdrop from them and the preview sheets are composed from them.

#include <QRect>
#include <QString>
#include <vector>

namespace Art {

struct ImageSize {
    QString name;
    int width;  // of the whole image
    int height; // of one frame
    int frames; // stacked vertically
};

/// A picture or button drawn from a resource at a position.
struct Placement {
    QString name;
    int x;
    int y;
};

/// A control that is not an image: a label, an edit field, a list, a movie or browser view.
struct Box {
    QString kind; // "label", "edit", "list", "avatar", "movie", "browser", "progress", "link", "combo"
    QString text;
    QRect rect;
};

struct Screen {
    QString id;         // file name of the preview sheet
    QString title;      // what the screen is, for the resource table
    QString background; // background resource, empty for popups
    std::vector<Placement> placements;
    std::vector<Box> boxes;
};

/// Every image resource except the charm and butterfly pictures and the icon.
const std::vector<ImageSize>& ImageSizes();

/// The size of one named resource; throws std::out_of_range for an unknown name.
const ImageSize& SizeOf(const QString& name);

/// Every screen and popup, screens first.
const std::vector<Screen>& Screens();

/// The screen rectangle a placement covers (one frame).
QRect PlacedRect(const Placement& placement);

/// The controls' rectangles of every screen painted on `background`, to keep free of decoration.
std::vector<QRect> ControlRectsOn(const QString& background);

/// The first screen placement of `name`, or nullptr when it is never placed on a screen.
const Placement* HomeOf(const QString& name, const Screen** screen = nullptr);

/// Titles of the screens and popups that show `name`, joined with ", ".
QString WhereUsed(const QString& name);

/// The popup body: the part of the frame that the popup mask keeps.
QRect PopupBox();

} // namespace Art
