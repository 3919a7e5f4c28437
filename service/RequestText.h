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

/// Key/value pairs of a query or form body, decoded. The first occurrence of a key wins.
using Fields = std::map<std::string, std::string, std::less<>>;

/// How a "+" reads. The application's client writes a "+" of a value as %2B everywhere, so in the
/// web service's queries a "+" is kept; form bodies and the queries of the web pages (what a
/// browser's form sends) read it as a blank.
enum class Plus { Kept, Blank };

/// The text with every %XX (two hex digits, either case) replaced by its byte and, with
/// Plus::Blank, every "+" by a blank. Nothing when a "%" is not followed by two hex digits
/// ("%G1", a lone "%" or "%4" at the end): such text is refused rather than guessed at.
std::optional<std::string> PercentDecoded(std::string_view text, Plus plus);

/// The fields of a query or form body: split on the raw "&" and then on the first raw "=" of each
/// piece, so that an encoded "&" or "=" (%26, %3D) stays inside its value, then every key and value
/// PercentDecoded. A piece without "=" is a key with an empty value; empty pieces are skipped; the
/// first occurrence of a key (after decoding) wins. Nothing when any escape is malformed.
std::optional<Fields> DecodedFields(std::string_view text, Plus plus);

/// The decoded query of a request (the text after the first "?" of its target); empty fields when
/// there is none, nothing when an escape is malformed.
std::optional<Fields> DecodedQuery(const httplib::Request& request, Plus plus);

/// The decoded fields of a request body. A "+" is a blank only when the body says it is a form
/// (Content-Type application/x-www-form-urlencoded); nothing when an escape is malformed.
std::optional<Fields> DecodedBody(const httplib::Request& request);

/// A decimal id of at most 32 bits; nothing for any other text (signs, blanks, quotes, ...).
std::optional<std::int64_t> ParseId(std::string_view text);

/// The value of one cookie from the Cookie header, or "".
std::string CookieValue(const httplib::Request& request, std::string_view name);

} // namespace Service
