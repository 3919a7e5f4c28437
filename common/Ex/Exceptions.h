#pragma once
// The exception classes of the foundation library itself.

#include "Exception.h"

#include <exception>

namespace Ex {

class FatalException : public Exception {
public:
    /// "A fatal exception has been detected.", caused by what made it fatal.
    explicit FatalException(const Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(FatalException)
};

class NonFatalException : public Exception {
public:
    explicit NonFatalException(const Exception* cause = nullptr) : Exception(cause) {}
    EX_EXCEPTION_BOILERPLATE(NonFatalException)
};

class ProgrammerException : public NonFatalException {
public:
    explicit ProgrammerException(const Exception* cause = nullptr) : NonFatalException(cause) {}
    EX_EXCEPTION_BOILERPLATE(ProgrammerException)
};

/// "Assert( \"EXPR\" ) failed at FRAME"
class Assert : public ProgrammerException {
public:
    Assert(const std::string& expression, const StackFrame& where, const Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(Assert)
};

/// "Precondition( \"EXPR\" ) failed at FRAME"
class Precondition : public ProgrammerException {
public:
    Precondition(const std::string& expression, const StackFrame& where, const Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(Precondition)
};

/// Common base of every library and component exception.
class NamedException : public NonFatalException {
public:
    explicit NamedException(const Exception* cause = nullptr) : NonFatalException(cause) {}
    EX_EXCEPTION_BOILERPLATE(NamedException)
};

/// Wraps a caught standard-library exception: "STL Exception \"WHAT\"".
class StlException : public NamedException {
public:
    explicit StlException(const std::exception& caught, const Exception* cause = nullptr);
    explicit StlException(const std::string& what, const Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(StlException)
};

/// "Can't open log file \"PATH\", open mode: MODE"
class CantOpenLogFileException : public NamedException {
public:
    CantOpenLogFileException(const std::string& path, int openMode, const Exception* cause = nullptr);
    EX_EXCEPTION_BOILERPLATE(CantOpenLogFileException)
};

} // namespace Ex

namespace Crt {

/// "Call to FUNCTION failed with errno (N)" and, when known, " \"TEXT\"".
class ErrnoException : public Ex::NamedException {
public:
    ErrnoException(const std::string& function, int errnoValue, const Ex::Exception* cause = nullptr);
    int GetErrno() const { return m_errno; }
    EX_EXCEPTION_BOILERPLATE(ErrnoException)

private:
    int m_errno;
};

} // namespace Crt

// Throws Ex::Precondition naming the expression and this location when the
// expression is false.
#define EX_PRECONDITION(expression)                                                                          \
    do {                                                                                                     \
        if (!(expression))                                                                                   \
            throw ::Ex::Precondition(#expression, EX_FRAME);                                                 \
    } while (false)

#define EX_ASSERT(expression)                                                                                \
    do {                                                                                                     \
        if (!(expression))                                                                                   \
            throw ::Ex::Assert(#expression, EX_FRAME);                                                       \
    } while (false)

// For a catch block that converts what it caught: adds this frame and rethrows
// library exceptions, wraps standard ones. Use as
//   try { ... } EX_CATCH_ADD_FRAME_AND_RETHROW
#define EX_CATCH_ADD_FRAME_AND_RETHROW                                                                       \
    catch (::Ex::Exception & glmCaught) {                                                                    \
        glmCaught.AddStackFrame(EX_FRAME);                                                                   \
        throw;                                                                                               \
    }                                                                                                        \
    catch (const std::exception& glmCaughtStd) {                                                             \
        ::Ex::StlException glmWrapped(glmCaughtStd);                                                         \
        glmWrapped.AddStackFrame(EX_FRAME);                                                                  \
        throw glmWrapped;                                                                                    \
    }
