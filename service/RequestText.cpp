#include "RequestText.h"

#include <httplib.h>

namespace Service {

RawFields SplitRawFields(std::string_view text) {
    RawFields fields;
    while (!text.empty()) {
        const auto end = text.find('&');
        const std::string_view piece = text.substr(0, end);
        if (!piece.empty()) {
            const auto equals = piece.find('=');
            const std::string key(piece.substr(0, equals));
            const std::string value =
                equals == std::string_view::npos ? "" : std::string(piece.substr(equals + 1));
            fields.emplace(key, value);
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return fields;
}

RawFields RawQuery(const httplib::Request& request) {
    const auto question = request.target.find('?');
    if (question == std::string::npos) {
        return {};
    }
    return SplitRawFields(std::string_view(request.target).substr(question + 1));
}

RawFields DecodedForm(std::string_view text) {
    RawFields fields;
    for (const auto& [key, value] : SplitRawFields(text)) {
        fields.emplace(httplib::detail::decode_url(key, true), httplib::detail::decode_url(value, true));
    }
    return fields;
}

std::optional<std::int64_t> ParseId(std::string_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > 4294967295LL) {
        return std::nullopt;
    }
    return value;
}

std::string CookieValue(const httplib::Request& request, std::string_view name) {
    const auto range = request.headers.equal_range("Cookie");
    for (auto it = range.first; it != range.second; ++it) {
        std::string_view header = it->second;
        while (!header.empty()) {
            const auto end = header.find(';');
            std::string_view piece = header.substr(0, end);
            while (!piece.empty() && piece.front() == ' ') {
                piece.remove_prefix(1);
            }
            const auto equals = piece.find('=');
            if (equals != std::string_view::npos && piece.substr(0, equals) == name) {
                return std::string(piece.substr(equals + 1));
            }
            if (end == std::string_view::npos) {
                break;
            }
            header.remove_prefix(end + 1);
        }
    }
    return {};
}

} // namespace Service
