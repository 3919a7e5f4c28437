#include "Convert.h"

#include "common/Win32/Win32Exception.h"

#include <cerrno>
#include <cstdlib>

namespace Convert {

namespace {

bool IsNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

[[noreturn]] void ThrowCantExpand(const std::string& text) {
    const Win32::Win32Exception cause("ExpandEnvironmentStrings", EINVAL);
    CantExpandEnvironmentStringsException failure(&cause);
    failure.Message() << "String to expand: '" << text << "'";
    throw failure;
}

} // namespace

std::string ExpandEnvironmentStrings(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '$' || i + 1 == text.size()) {
            result.push_back(c);
            ++i;
            continue;
        }
        const char next = text[i + 1];
        if (next == '$') {
            result.push_back('$');
            i += 2;
            continue;
        }
        std::string name;
        std::size_t end = 0; // one past the reference
        if (next == '{') {
            const std::size_t close = text.find('}', i + 2);
            if (close == std::string::npos || close == i + 2) {
                ThrowCantExpand(text);
            }
            name = text.substr(i + 2, close - i - 2);
            for (char n : name) {
                if (!IsNameChar(n)) {
                    ThrowCantExpand(text);
                }
            }
            if (!IsNameStart(name.front())) {
                ThrowCantExpand(text);
            }
            end = close + 1;
        } else if (IsNameStart(next)) {
            end = i + 1;
            while (end < text.size() && IsNameChar(text[end])) {
                ++end;
            }
            name = text.substr(i + 1, end - i - 1);
        } else {
            result.push_back(c);
            ++i;
            continue;
        }
        if (const char* value = std::getenv(name.c_str())) {
            result += value;
        } else {
            result.append(text, i, end - i);
        }
        i = end;
    }
    return result;
}

} // namespace Convert
