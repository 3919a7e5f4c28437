#pragma once
// The colours every picture is painted with: three purples and warm highlights.

#include <QColor>

namespace Art {

inline QColor Purple() {
    return QColor(0xA0, 0x5E, 0xA1);
} // popup body, list text
inline QColor Deep() {
    return QColor(0x50, 0x02, 0x85);
} // outlines, greeting text
inline QColor Lilac() {
    return QColor(0xD3, 0xB0, 0xD2);
} // soft borders
inline QColor Gold() {
    return QColor(0xF7, 0xC9, 0x5C);
} // sparkles, hover rims
inline QColor Peach() {
    return QColor(0xFF, 0xC8, 0xA2);
} // warm buttons
inline QColor Pink() {
    return QColor(0xFF, 0x9C, 0xCB);
} // flowers, hearts
inline QColor Cream() {
    return QColor(0xFE, 0xF7, 0xFC);
} // panel top
inline QColor Blush() {
    return QColor(0xEF, 0xDD, 0xEF);
} // panel bottom
inline QColor Night() {
    return QColor(0x3A, 0x00, 0x62);
} // pressed buttons
inline QColor Greyed() {
    return QColor(0xC9, 0xBF, 0xC9);
} // disabled buttons
inline QColor GreyText() {
    return QColor(0x8E, 0x80, 0x8E);
} // disabled lettering

} // namespace Art
