#include "Colors.h"

namespace ThinUI {

QColor ToQColor(ColorRef color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

} // namespace ThinUI
