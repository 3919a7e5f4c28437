#pragma once
// The failure handling shared by every web service call and catalogue load:
// the call never lets a failure out, but logs it and tells the main window
// about transport and format failures.

#include "common/UI/MessageTarget.h"

#include <functional>
#include <string>

namespace Glm {

struct CallSite {
    /// Qualified name of the call, e.g. "Glm::WebApi::SignIn".
    std::string name;
    const char* file = "";
    int line = 0;
    /// True for calls that create avatar views: a view that cannot be made
    /// is logged and WM_GLM_FLASH_UPDATE is sent.
    bool createsViews = false;
};

/// "NAME (FILE:LINE)", the text failures of the call are logged with.
std::string LocationText(const CallSite& site);

/// Runs body and handles what it throws, in this order:
/// Web::HttpShutDownException and Web::CantRetrieveResourceException are
/// logged and WM_GLM_CONNECT_ERROR is sent to mainWindow;
/// Xml::XmlCantFindSingleNodeException is logged and WM_GLM_RESPONSE_ERROR
/// sent; any other Ex::NonFatalException gets the call's frame and is
/// logged; a standard exception is wrapped in Ex::StlException, given the
/// frame and logged. Messages are sent with wParam 0 and lParam 0; a null
/// mainWindow receives none. Returns true when body ran to its end.
/// Ex::FatalException passes through.
bool GuardCall(const CallSite& site, UI::MessageTarget* mainWindow, const std::function<void()>& body);

} // namespace Glm

// The site of the code that uses it, for a call named name of class owner.
#define GLM_CALL_SITE(owner, name)                                                                           \
    (::Glm::CallSite{std::string(owner "::") + (name), __FILE__, __LINE__, false})
