#pragma once

#include "common/Ex/Exceptions.h"

#include <string>

namespace Convert {

/// "String to expand: 'TEXT'"
EX_DECLARE_EXCEPTION(CantExpandEnvironmentStringsException, Ex::NamedException);

/// Replaces $NAME and ${NAME} (NAME: letters, digits and '_', not starting
/// with a digit) by the value of that environment variable. A variable that
/// is not set stays as written, so a missing setting is visible rather than
/// silently empty. "$$" gives one "$"; a "$" followed by anything else stays.
/// An unterminated or empty "${" throws CantExpandEnvironmentStringsException
/// (cause: Win32::Win32Exception "ExpandEnvironmentStrings").
std::string ExpandEnvironmentStrings(const std::string& text);

} // namespace Convert
