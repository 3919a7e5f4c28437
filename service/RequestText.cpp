#include "RequestText.h"

#include <httplib.h>

namespace Service {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

bool IsFormType(std::string_view type) {
    // The media type without parameters ("; charset=..."), compared without regard to case.
    type = type.substr(0, type.find(';'));
    while (!type.empty() && (type.back() == ' ' || type.back() == '\t')) {
        type.remove_suffix(1);
    }
    constexpr std::string_view form = "application/x-www-form-urlencoded";
    if (type.size() != form.size()) {
        return false;
    }
    for (std::size_t i = 0; i < form.size(); ++i) {
        const char c = type[i] >= 'A' && type[i] <= 'Z' ? static_cast<char>(type[i] - 'A' + 'a') : type[i];
        if (c != form[i]) {
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<std::string> PercentDecoded(std::string_view text, Plus plus) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            if (i + 2 >= text.size()) {
                return std::nullopt;
            }
            const int hi = HexDigit(text[i + 1]);
            const int lo = HexDigit(text[i + 2]);
            if (hi < 0 || lo < 0) {
                return std::nullopt;
            }
            decoded += static_cast<char>(hi * 16 + lo);
            i += 2;
        } else if (c == '+' && plus == Plus::Blank) {
            decoded += ' ';
        } else {
            decoded += c;
        }
    }
    return decoded;
}

std::optional<Fields> DecodedFields(std::string_view text, Plus plus) {
    Fields fields;
    // Split first, decode after: a decoded "&" or "=" must never start a new field.
    while (!text.empty()) {
        const auto end = text.find('&');
        const std::string_view piece = text.substr(0, end);
        if (!piece.empty()) {
            const auto equals = piece.find('=');
            auto key = PercentDecoded(piece.substr(0, equals), plus);
            auto value = PercentDecoded(
                equals == std::string_view::npos ? std::string_view() : piece.substr(equals + 1), plus);
            if (!key || !value) {
                return std::nullopt;
            }
            fields.emplace(std::move(*key), std::move(*value));
        }
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return fields;
}

std::optional<Fields> DecodedQuery(const httplib::Request& request, Plus plus) {
    const auto question = request.target.find('?');
    if (question == std::string::npos) {
        return Fields();
    }
    return DecodedFields(std::string_view(request.target).substr(question + 1), plus);
}

std::optional<Fields> DecodedBody(const httplib::Request& request) {
    return DecodedFields(request.body,
                         IsFormType(request.get_header_value("Content-Type")) ? Plus::Blank : Plus::Kept);
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
