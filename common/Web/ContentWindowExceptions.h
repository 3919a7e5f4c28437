#pragma once
// Failures of the movie and browser windows. They live here, below the
// windows themselves, because the web service guard reports them too.

#include "common/Ex/Exceptions.h"

namespace Web {

/// The browser window or its web engine page could not be made.
EX_DECLARE_EXCEPTION(CantCreateIEWindowException, Ex::NamedException);
/// The engine's own widget inside a content window is missing.
EX_DECLARE_EXCEPTION(CantGetWindowHandleException, Ex::NamedException);
/// The movie window or its web engine page could not be made.
EX_DECLARE_EXCEPTION(CantCreateFlashWindowException, Ex::NamedException);

/// A call into a movie's scripted functions failed: "The function: \"NAME\"
/// failed: REASON" (the movie is not loaded, or did not answer in time).
class ContentCallException : public Ex::NamedException {
public:
    ContentCallException(const std::string& function, const std::string& reason,
                         const Ex::Exception* cause = nullptr)
        : Ex::NamedException(cause) {
        Message() << "The function: \"" << function << "\" failed: " << reason;
    }
    EX_EXCEPTION_BOILERPLATE(ContentCallException)
};

} // namespace Web
