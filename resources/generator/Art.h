#pragma once
// The painters of every picture resource.

#include "Layout.h"

#include <QColor>
#include <QImage>
#include <QString>

namespace Art {

/// The frame every screen shares: window shape, title bar, logo and the light content panel.
const QImage& BaseBackground();

/// One of the twelve 750 x 500 backgrounds, by resource name; throws std::invalid_argument
/// for an unknown name.
QImage PaintBackground(const QString& name);

/// The frame mask (popup false) or the popup mask: black kept, white cut, 750 x 500.
QImage PaintMask(bool popup);

/// The pixels a picture of this size covers at its first place on a screen (from the shared
/// frame), or the flat popup body for pictures of popups and for unplaced pictures.
QImage BackdropFor(const QString& name, int width, int height);

/// The colour of the content panel at a height, for pictures shown in lists on the panel.
QColor PanelColourAt(int y);

/// A whole button strip: `size.frames` frames stacked vertically, drawn `scale` times as
/// large (for dense screens) when scale is above 1.
QImage PaintButtonStrip(const ImageSize& size, int scale = 1);

/// Every picture that is not a button strip, a background or a catalogue item, drawn
/// `scale` times as large when scale is above 1. Catalogue items are drawn at scale 1 only:
/// a null picture for any other scale.
QImage PaintPicture(const ImageSize& size, int scale = 1);

/// The application icon at one size.
QImage PaintIcon(int pixels);

/// True for button strips (every name that ends in _BUTTONS, the arrows and "POPUP_NO_THANKS").
bool IsButton(const QString& name);

} // namespace Art
