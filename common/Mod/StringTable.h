#pragma once
// The compiled string table: generated at build time from
// resources/strings/strings.txt by glm_string_table_generator.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace Mod {

struct StringTableEntry {
    std::uint32_t id;
    const char* text;
    std::size_t length;
};

/// The entries, sorted by id.
extern const StringTableEntry kStringTable[];
extern const std::size_t kStringTableSize;

/// The text of id, or nullptr when the table has no such entry.
const StringTableEntry* FindStringTableEntry(std::uint32_t id);

} // namespace Mod
