#pragma once
// The one client of the game's web service. Each call builds a request from
// the base URL, sends it over the client's connection, reads the XML answer
// into the caller's outputs and returns 0 on success or 1 on failure. No
// call throws: a failure is logged, and transport failures
// (WM_GLM_CONNECT_ERROR), answers without an expected node
// (WM_GLM_RESPONSE_ERROR), a toy that does not take its new click id
// (WM_GLM_DEVICE_ERROR) and avatar views that cannot be made
// (WM_GLM_FLASH_UPDATE) are sent to the main window. Where the service
// refuses, its error code goes to the error-code output and the log.
//
// Every value inserted into a query or form is percent-encoded, so account
// names, passwords and codes reach the service as typed.
//
// All calls run on the user-interface thread, one at a time; the busy
// indicator shows while a request is under way.

#include "common/UI/MessageTarget.h"
#include "webapi/AvatarView.h"
#include "webapi/FriendRecord.h"

#include <QRect>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class QWidget;

namespace Web {
class HttpConnection;
}
namespace Xml {
class Parser;
}

namespace Glm {

class Toy;

class WebApi {
public:
    /// Where the avatar movies are read from (the patcher keeps them up to
    /// date there); the executable's directory until set. Set it before
    /// any view is made.
    static void SetMovieDirectory(const std::string& directory);

    WebApi();
    ~WebApi();
    WebApi(const WebApi&) = delete;
    WebApi& operator=(const WebApi&) = delete;

    /// Keeps mainWindow and baseUrl (requests are appended to it, so it ends
    /// with "/") and replaces the connection by one to the base URL's host.
    /// logLevel is read as a decimal number when not empty. A base URL that
    /// cannot be used is logged; the calls then fail until the next Init.
    void Init(UI::MessageTarget* mainWindow, const std::string& baseUrl, const std::string& logLevel);

    const std::string& GetBaseUrl() const { return m_baseUrl; }
    std::int32_t GetLogLevel() const { return m_logLevel; }

    // Account and profile ------------------------------------------------

    /// Signs the account in; the account id is set only when the service
    /// reports the status "logged_in".
    std::int32_t SignIn(const std::string& userName, const std::string& password, std::string& accountId,
                        std::string& errorCode);
    std::int32_t SignOut();
    /// The ids of the account's Fairies (the list is emptied first).
    std::int32_t GetIDsOfFairies(const std::string& userId, std::vector<std::string>& fairyIds);
    std::int32_t GetIDsOfFairies(const std::string& userId, std::uint32_t& count);
    std::int32_t ObtainFairyProfileByFairyId(const std::string& fairyId, std::string& userId,
                                             std::string& fairyName);
    std::int32_t ObtainFairyProfileByFairyId(const std::string& fairyId, std::string& fairyName);
    /// The owner of the toy with clickId. Outputs are written in the order
    /// user name, Fairy id, user id, Fairy name, gift id, message id; those
    /// read before a missing node keep their new values.
    std::int32_t ObtainFairyProfileByClickId(std::uint32_t clickId, std::string& fairyId, std::string& userId,
                                             std::string& fairyName, std::string& userName,
                                             std::string& giftId, std::string& messageId,
                                             std::string& errorCode);
    /// ObtainFairyProfileByClickId into the record's six texts.
    std::int32_t GetUser(std::uint32_t clickId, FriendRecord& record);
    std::int32_t GetUser(std::uint32_t clickId, std::string& fairyId);
    /// Places one avatar view per Fairy of the account: view k (from 0) at
    /// firstRect moved right by k * distance. Fairies beyond the views given
    /// are not shown. No views: the Fairies are only looked up. The movie
    /// file is the application directory + "/" + swfFileName, written from
    /// the movie resource when missing.
    std::int32_t DisplayFairies(QWidget* parent, std::uint32_t clickMessage, const std::string& swfFileName,
                                std::span<AvatarView* const> views, const QRect& firstRect, int distance,
                                const std::string& userId, UI::MessageTarget* parentTarget = nullptr);
    /// One Fairy, full size, in view, created at rect in parent.
    std::int32_t DisplayFairy(QWidget* parent, std::uint32_t clickMessage, const std::string& swfFileName,
                              AvatarView& view, const std::string& fairyId, const QRect& rect,
                              UI::MessageTarget* parentTarget = nullptr);
    /// A single-use token that lets the browser arrive signed in.
    std::int32_t GetSessionTranferToken(std::string& sessionToken, std::string& errorCode);
    /// The account friends of the Fairy, or of the signed-in account when
    /// fairyId is empty: user id and name of each.
    std::int32_t GetFriends(const std::string& fairyId, std::vector<FriendRecord>& friends);

    // Toys, inventories and uploads -----------------------------------------

    /// Registers a new or reset toy (and writes its new click id into it; a
    /// failed write returns the device result and sends WM_GLM_DEVICE_ERROR)
    /// or refreshes a registered toy's Fairy name. messageId and giftId 0
    /// mean none.
    std::int32_t SetupDevice(Toy& toy, std::uint32_t messageId, std::uint32_t giftId, std::string& errorCode);
    /// Releases the toy with the reset code the user typed; the toy then
    /// counts as not set up. 1 without a request for a toy with click id 0.
    std::int32_t ResetDevice(Toy& toy, const std::string& resetCode, std::string& errorCode);
    /// Who owns the toys or accounts a complete request URL names.
    std::int32_t ObtainWhoAreThey(const std::string& url, std::string& displayName, std::string& userId,
                                  std::string& errorCode);
    std::int32_t ObtainWhoAreThey(std::uint32_t clickId, std::string& userId, std::string& errorCode);
    std::int32_t ObtainWhoAreThey(std::uint32_t clickId, std::string& displayName);
    std::int32_t ObtainWhoAreThey(const std::string& userIds, std::string& displayName);
    /// Friendships (those with a status the client knows) and charms of the
    /// Fairy, or of every Fairy of the account when fairyId is empty.
    std::int32_t ObtainGlimmeriesInventory(const std::string& fairyId, std::vector<FriendRecord>& friends,
                                           std::vector<std::int32_t>& charms);
    std::int32_t ObtainGlimmeriesInventory(const std::string& fairyId, std::vector<FriendRecord>& friends);
    std::int32_t GetGlintPoints(const std::string& fairyId, std::string& points, std::string& errorCode);
    /// The Fairy's butterfly and its days to live; "0" and "0" (and 0) for a
    /// Fairy without one.
    std::int32_t GetButterflyInfo(const std::string& fairyId, std::string& butterfly,
                                  std::string& timeToLive);
    /// Sends a friendship answer built by BuildFriendUploadBody.
    std::int32_t UploadFriend(const std::string& body, std::string& errorCode);
    /// Sends a charm or points body; kind "charms" or "glintpoints" says
    /// which success element counts.
    std::int32_t Upload(const std::string& kind, const std::string& body, std::string& errorCode);
    std::int32_t UploadCharms(const std::string& body, std::string& errorCode);
    std::int32_t UploadGlintPoints(const std::string& body, std::string& errorCode);
    std::int32_t RedeemGlintPoints(const std::string& fairyId, const std::string& points,
                                   const std::string& item, std::string& errorCode);

    // Bracelet messages and gifts (from the content server) ------------------

    std::int32_t GetFriendMessages(const std::string& contentBaseUrl, std::vector<std::int32_t>& messageIds,
                                   std::vector<std::string>& messageTexts);
    /// The gifts the bracelet with clickId owns, in gift-list order.
    std::int32_t GetFriendGifts(std::uint32_t clickId, const std::string& contentBaseUrl,
                                std::vector<std::int32_t>& giftIds, std::vector<std::string>& giftTexts);
    /// The text of one message or gift; left alone when the list lacks it.
    std::int32_t GetFriendMessage(const std::string& messageId, const std::string& contentBaseUrl,
                                  std::string& messageText);
    std::int32_t GetFriendGift(const std::string& giftId, const std::string& contentBaseUrl,
                               std::string& giftText);

private:
    // The request URL: base URL, request name, query.
    std::string MakeUrl(const std::string& request, const std::string& query = "") const;
    // Logs "Calling into URL" when the log level is above 0.
    void LogCall(const std::string& url) const;
    // GET (body null) or form POST of url; the parsed answer. Throws the
    // transport's and the parser's exceptions.
    std::unique_ptr<Xml::Parser> Exchange(const std::string& url, const std::string* body);
    // root/success is "true".
    static bool Succeeded(Xml::Parser& answer, const std::string& root);
    // Reads root/error/@code into errorCode and logs the refusal.
    static void ReadRefusal(Xml::Parser& answer, const std::string& root, const std::string& url,
                            std::string& errorCode);
    // The common steps of a GET or POST call: on success runs onSuccess and
    // sets the result to 0 unless onSuccess sets it; on refusal reads the
    // code into errorCode (a local when null). Returns the result.
    std::int32_t Call(const char* name, const char* file, int line, const std::string& url,
                      const std::string* body, const std::string& root, std::string* errorCode,
                      const std::function<void(Xml::Parser& answer, std::int32_t& result)>& onSuccess,
                      bool createsViews = false);
    // Writes the movie resource to the file when it is missing; the path.
    static std::string PrepareMovie(const std::string& swfFileName, const std::string& resourceName);

    UI::MessageTarget* m_mainWindow = nullptr;
    std::string m_baseUrl;
    std::unique_ptr<Web::HttpConnection> m_connection;
    std::int32_t m_logLevel = 0;
};

} // namespace Glm
