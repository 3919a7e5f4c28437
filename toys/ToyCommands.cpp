// The text commands a virtual toy is driven by.
#include "toys/VirtualToy.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace Toys {

bool ParseNumber(const std::string& text, std::int64_t& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    // Leading zeros are decimal ("010" is ten); only an 0x prefix asks for hexadecimal.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const long long parsed = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (errno != 0 || end == nullptr || *end != '\0') {
        return false;
    }
    value = parsed;
    return true;
}

bool VirtualToy::ExecuteLine(const std::string& line) {
    std::istringstream in(line);
    std::string verb;
    std::string first;
    std::string second;
    in >> verb >> first >> second;
    std::int64_t number = 0;
    if (verb.empty()) {
        return true;
    }
    if (verb == "unplug") {
        return false;
    }
    if (verb == "touch" && first == "charm" && ParseNumber(second, number) && number > 0 &&
        number <= 0x7FFFFFFF) {
        m_firmware.TouchCharm(static_cast<std::int32_t>(number));
    } else if (verb == "touch" && first == "bracelet" && ParseNumber(second, number) && number >= 0 &&
               number <= 0xFFFFFFFFll) {
        m_firmware.AddFriend(static_cast<std::uint32_t>(number));
    } else if (verb == "meet" && !first.empty()) {
        Meet(first);
    } else if (verb == "points" && ParseNumber(first, number)) {
        m_firmware.SetPoints(number);
    } else if (verb == "dump") {
        std::istringstream dump(m_firmware.Dump());
        for (std::string row; std::getline(dump, row);) {
            Output(row);
        }
    } else if (verb == "hang") {
        m_hanging = true;
        Output("hanging");
    } else if (verb == "answer") {
        m_hanging = false;
        Output("answering");
    } else if (verb == "fault" && (first == "reportid" || first == "short" || first == "none") &&
               (second.empty() || (ParseNumber(second, number) && number >= 0))) {
        m_fault = first == "reportid" ? Fault::ReportId : first == "short" ? Fault::Short : Fault::None;
        m_faultAfter = second.empty() ? 0 : number;
        Output("fault " + first);
    } else {
        Output("error: unknown command: " + line);
    }
    Persist();
    return true;
}

} // namespace Toys
