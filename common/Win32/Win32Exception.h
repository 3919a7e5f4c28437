#pragma once
// System-call failures. The numbers are errno values on this platform; the
// texts come from the C library (or from a registered error-text source for
// a library such as libcurl).

#include "common/Ex/Exceptions.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Win32 {

/// A named exception that carries an unsigned 32-bit error code.
class FormattedException : public Ex::NamedException {
public:
    explicit FormattedException(std::uint32_t errorCode, const Ex::Exception* cause = nullptr)
        : NamedException(cause), m_errorCode(errorCode) {}
    std::uint32_t GetErrorCode() const { return m_errorCode; }
    EX_EXCEPTION_BOILERPLATE(FormattedException)

private:
    std::uint32_t m_errorCode;
};

/// "Call to CALL failed with (CODE) TEXT"
class Win32Exception : public FormattedException {
public:
    Win32Exception(const std::string& call, std::uint32_t errorCode, const Ex::Exception* cause = nullptr);
    /// The same, with the error code taken from errno.
    static Win32Exception FromErrno(const std::string& call, const Ex::Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(Win32Exception)
};

/// Text for an error code. An empty module means the C library's errno texts;
/// otherwise the text source registered under that name. Trailing CR/LF are cut.
/// A module nobody registered gives the "Could not convert error code" text.
std::string ErrorCodeToText(std::uint32_t code, const std::string& moduleName = "");

/// Makes ErrorCodeToText(code, name) ask lookup; an empty optional from it
/// gives the "Could not convert error code" text.
void RegisterErrorTextSource(const std::string& moduleName,
                             std::function<std::optional<std::string>(std::uint32_t)> lookup);

} // namespace Win32
