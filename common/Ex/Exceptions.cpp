#include "Exceptions.h"

#include <cstring>

namespace Ex {

FatalException::FatalException(const Exception* cause) : Exception(cause) {
    Message() << "A fatal exception has been detected.";
}

Assert::Assert(const std::string& expression, const StackFrame& where, const Exception* cause)
    : ProgrammerException(cause) {
    Message() << "Assert( \"" << expression << "\" ) failed at " << FrameText(where);
}

Precondition::Precondition(const std::string& expression, const StackFrame& where, const Exception* cause)
    : ProgrammerException(cause) {
    Message() << "Precondition( \"" << expression << "\" ) failed at " << FrameText(where);
}

StlException::StlException(const std::exception& caught, const Exception* cause)
    : StlException(std::string(caught.what()), cause) {}

StlException::StlException(const std::string& what, const Exception* cause) : NamedException(cause) {
    Message() << "STL Exception \"" << what << "\"";
}

CantOpenLogFileException::CantOpenLogFileException(const std::string& path, int openMode,
                                                   const Exception* cause)
    : NamedException(cause) {
    Message() << "Can't open log file \"" << path << "\""
              << ", open mode: " << openMode;
}

} // namespace Ex

namespace Crt {

ErrnoException::ErrnoException(const std::string& function, int errnoValue, const Ex::Exception* cause)
    : NamedException(cause), m_errno(errnoValue) {
    Message() << "Call to " << function << " failed with errno (" << errnoValue << ")";
    char buffer[256] = {};
    // GNU strerror_r returns the text, which may or may not live in buffer.
    const char* text = strerror_r(errnoValue, buffer, sizeof buffer);
    if (text != nullptr && *text != '\0') {
        Message() << " \"" << text << "\"";
    }
}

} // namespace Crt
