// The parameter file format on any text: keys and values come out trimmed.
#include "Tools/ApplicationParameters.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Glm::ApplicationParameters table;
    table.ParseText(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& [key, value] : table.GetAll()) {
        for (const std::string* text : {&key, &value}) {
            if (!text->empty() && (!std::isgraph(static_cast<unsigned char>(text->front())) ||
                                   !std::isgraph(static_cast<unsigned char>(text->back())))) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
