#pragma once
// Review sheets: each screen and popup composed from its background, pictures and buttons
// (normal frame) with outlined boxes where labels, fields, lists and movies go, and a contact
// sheet of every button with all its frames. Nothing here reaches the application.

#include "ArtSet.h"

#include <QString>

namespace Art {

/// Writes one PNG per screen and popup and "buttons.png" into `directory`; throws
/// std::runtime_error on a write failure.
void WritePreviews(const ArtSet& art, const QString& directory);

} // namespace Art
