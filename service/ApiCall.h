#pragma once

// What the request handlers of the web service share: the call they are given and the helpers
// that read its parts.
#include "GameStore.h"
#include "RequestText.h"
#include "SignInThrottle.h"
#include "XmlDocument.h"
#include "XmlText.h"

#include <functional>
#include <httplib.h>
#include <optional>
#include <string>

namespace Service::Api {

/// The session cookie the sign-in sets and every request is read with.
inline constexpr const char* kSessionCookie = "GLMSESSION";
/// Set by an accepted reset: the click id the toy had, read by its next set-up with reset=1.
inline constexpr const char* kResetCookie = "GLMRESET";
/// The top bit of a click id as a bracelet stores a friend's; the toy itself is the rest.
inline constexpr std::int64_t kFriendMarker = 0x80000000LL;

/// A click id with the friend marker taken off.
inline std::int64_t ToyClickId(std::int64_t clickId) {
    return clickId & ~kFriendMarker;
}

/// What a handler gets: the request, its decoded query and the signed-in account, if any.
struct Call {
    const httplib::Request& request;
    httplib::Response& response;
    Fields query;
    std::optional<std::int64_t> userId;
    bool secure;

    std::int64_t RequireUser() const {
        if (!userId) {
            throw GameError("NOT_SIGNED_IN");
        }
        return *userId;
    }
    bool Has(const char* key) const { return query.find(key) != query.end(); }
    const std::string& Get(const char* key) const {
        static const std::string empty;
        const auto found = query.find(key);
        return found == query.end() ? empty : found->second;
    }
    /// A query id that must be present; missing gives ERROR_MISSING_PARMS, not a number NOT_FOUND.
    std::int64_t Id(const char* key) const {
        if (!Has(key) || Get(key).empty()) {
            throw GameError("ERROR_MISSING_PARMS");
        }
        const auto id = ParseId(Get(key));
        if (!id) {
            throw GameError("NOT_FOUND");
        }
        return *id;
    }
    /// A query id that may be absent (0).
    std::int64_t OptionalId(const char* key) const {
        if (!Has(key) || Get(key).empty()) {
            return 0;
        }
        const auto id = ParseId(Get(key));
        if (!id) {
            throw GameError("ITEM_NOT_AVAILABLE");
        }
        return *id;
    }
};

/// Writes the success content of one request.
using Body = std::function<void(Call&, XmlWriter&)>;
/// Adds one request: method, its name (ending in "Request") and its body.
using Route = std::function<void(const char* method, const std::string& name, Body body)>;

std::string Number(std::int64_t value);
XmlDocument ParseBody(const Call& call);
/// Refuses a query or form whose escapes cannot be read, before anything of it is used.
Fields Readable(const Call& call, std::optional<Fields> fields);
std::int64_t BodyId(const XmlDocument& document, const std::string& xpath);

// The route groups.
void AddAccountRoutes(const Route& route, GameStore& store, SignInThrottle& throttle);
void AddProfileRoutes(const Route& route, GameStore& store);
void AddToyRoutes(const Route& route, GameStore& store);
void AddInventoryRoutes(const Route& route, GameStore& store);

} // namespace Service::Api
