#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace httplib {
struct Request;
}

namespace Service {

/// Key/value pairs of a query or form body, split as the application writes them: values are
/// taken as they are (the client never percent-encodes); a key without "=" is present with an
/// empty value. The first occurrence of a key wins.
using RawFields = std::map<std::string, std::string, std::less<>>;
RawFields SplitRawFields(std::string_view text);

/// The raw query of a request (the text after "?" of its target).
RawFields RawQuery(const httplib::Request& request);

/// Form fields as a browser sends them: '+' is a blank and %XX sequences are decoded.
RawFields DecodedForm(std::string_view text);

/// A decimal id of at most 32 bits; nothing for any other text (signs, blanks, quotes, ...).
std::optional<std::int64_t> ParseId(std::string_view text);

/// The value of one cookie from the Cookie header, or "".
std::string CookieValue(const httplib::Request& request, std::string_view name);

} // namespace Service
