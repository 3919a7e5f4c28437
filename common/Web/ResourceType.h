#pragma once
// The kinds of response a request accepts.

#include <ostream>
#include <string>
#include <vector>

namespace Web {

enum ResourceType { Text = 0, Image = 1, Flash = 2, Video = 3 };

/// The accept type sent for a resource type ("text/*", "image/*",
/// "application/x-shockwave-flash", "video/*"). Throws Ex::Assert
/// "!\"Can't stream unkown enum value\"" for any other value.
std::string AcceptTypeOf(ResourceType type);

/// The accept types of a list, in the order given.
std::vector<std::string> ContentTypeListToStringList(const std::vector<ResourceType>& types);

/// Writes the type's name ("Text", "Image", "Flash", "Video"); any other value
/// is the failed assertion "!\"Can't stream unkown enum value\"".
std::ostream& operator<<(std::ostream& stream, ResourceType type);

} // namespace Web
