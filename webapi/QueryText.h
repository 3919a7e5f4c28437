#pragma once
// Writing values into request URLs, form bodies and XML bodies.

#include <cstdint>
#include <string>

namespace Glm {

/// The value with every byte other than letters, digits, "-", ".", "_", "~"
/// and "," written as %XX (upper-case hex), so that "&", "=", "+", "%", "#",
/// blanks and non-ASCII bytes cannot change the fields of a query or form.
/// The comma stays: it separates the ids of a list value.
std::string EncodeQueryValue(const std::string& value);

/// The value with & < > " ' written as entities, for XML element text and
/// attribute values.
std::string EscapeXmlText(const std::string& value);

/// Decimal text of an unsigned 32-bit number (a bracelet friendship entry
/// with bit 31 set gives 2147483648 or more).
std::string UnsignedDecimal(std::uint32_t value);

/// The leading decimal number of text, as a plain C conversion reads it:
/// optional blanks and sign, then digits; anything else reads as 0. Values
/// beyond the 32-bit range are clamped.
std::int32_t DecimalToInt32(const std::string& text);

} // namespace Glm
