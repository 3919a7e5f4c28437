#pragma once
// Where labels find their string-table texts. The application installs the
// compiled string table at start; without one every id is missing, which
// leaves the label where its dialog put it.

#include <functional>
#include <optional>
#include <string>

namespace ThinUI {

using StringLoader = std::function<std::optional<std::string>(unsigned id)>;

/// Installs the loader used by LoadText; an empty loader removes it.
void SetStringLoader(StringLoader loader);
/// The text with that id, or nothing when the id is absent (or no loader).
std::optional<std::string> LoadText(unsigned id);

} // namespace ThinUI
