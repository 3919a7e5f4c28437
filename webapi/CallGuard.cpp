#include "webapi/CallGuard.h"

#include "common/Ex/Exceptions.h"
#include "common/UI/Messages.h"
#include "common/Web/ContentWindowExceptions.h"
#include "common/Web/HttpExceptions.h"
#include "common/Xml/XmlExceptions.h"

#include <exception>

namespace Glm {

namespace {

void Notify(UI::MessageTarget* mainWindow, std::uint32_t message) {
    if (mainWindow != nullptr) {
        mainWindow->Send(message, 0, 0);
    }
}

} // namespace

std::string LocationText(const CallSite& site) {
    return site.name + " (" + site.file + ":" + std::to_string(site.line) + ")";
}

bool GuardCall(const CallSite& site, UI::MessageTarget* mainWindow, const std::function<void()>& body) {
    const std::string location = LocationText(site);
    try {
        body();
        return true;
    } catch (Web::CantCreateFlashWindowException& e) {
        e.LogNoThrow(location);
        if (site.createsViews) {
            Notify(mainWindow, UI::WM_GLM_FLASH_UPDATE);
        }
    } catch (Web::HttpShutDownException& e) {
        e.LogNoThrow(location);
        Notify(mainWindow, UI::WM_GLM_CONNECT_ERROR);
    } catch (Web::CantRetrieveResourceException& e) {
        e.LogNoThrow(location);
        Notify(mainWindow, UI::WM_GLM_CONNECT_ERROR);
    } catch (Xml::XmlCantFindSingleNodeException& e) {
        e.LogNoThrow(location);
        Notify(mainWindow, UI::WM_GLM_RESPONSE_ERROR);
    } catch (Ex::NonFatalException& e) {
        e.AddStackFrame(site.file, site.name, site.line);
        e.LogNoThrow(location);
    } catch (const std::exception& caught) {
        Ex::StlException wrapped(caught);
        wrapped.AddStackFrame(site.file, site.name, site.line);
        wrapped.LogNoThrow(location);
    }
    return false;
}

} // namespace Glm
