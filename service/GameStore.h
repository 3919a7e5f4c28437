#pragma once

#include "Database.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Service {

/// A refusal of the game: `Code()` is the error code the web service answers with.
class GameError : public std::runtime_error {
public:
    explicit GameError(std::string code) : std::runtime_error(code), m_code(std::move(code)) {}
    const std::string& Code() const { return m_code; }

private:
    std::string m_code;
};

/// Limits of the game. The defaults are the published rules; tests lower some of them.
struct GameRules {
    int maxToysPerAccount = 5;
    int maxFairiesPerAccount = 6;
    int maxFriendsPerFairy = 50;
    int maxCharmsPerFairy = 36;
    int transferTokenSeconds = 300;
    int passwordIterations = 100000;
    std::int64_t maxPointsBalance = 2147483647;
    /// A session ends after this long without a request, and this long after its sign-in at most.
    int sessionIdleSeconds = 7 * 86400;
    int sessionMaxSeconds = 30 * 86400;
};

struct Account {
    std::int64_t userId = 0;
    std::string login;
    std::string displayName;
    bool banned = false;
};

struct Fairy {
    std::int64_t fairyId = 0;
    std::int64_t userId = 0;
    std::string name;
    std::string look; // the avatar's inner elements, without the tagalong
    std::int64_t points = 0;
    std::int64_t butterfly = 0; // 0 when no butterfly flies
    std::int64_t butterflyDays = 0;
    std::int64_t giftId = 0;    // of the Fairy's bracelet, 0 when none
    std::int64_t messageId = 0; // of the Fairy's bracelet, 0 when none
};

struct Toy {
    std::int64_t clickId = 0;
    std::string kind; // bracelet, game, jewelrybox
    std::int64_t userId = 0;
    std::int64_t fairyId = 0;
    std::int64_t messageId = 0;
    std::int64_t giftId = 0;
};

/// One friendship as the Fairy on this side sees it.
struct Friendship {
    std::string userName;
    std::int64_t userId = 0;
    std::int64_t fairyId = 0;
    std::string fairyName;
    std::int64_t giftId = 0;
    std::int64_t messageId = 0;
    std::string status; // PENDING, MADE, DECLINED
};

struct PageReport {
    std::int64_t time = 0;
    std::string page;
    std::string cacheBreaker;
};

/// The whole game state in one SQLite file. Every method is atomic and thread-safe (one lock
/// around the connection); refusals are GameError with the error code to answer, storage
/// failures DatabaseError.
class GameStore {
public:
    GameStore(const std::string& databasePath, GameRules rules);

    const GameRules& Rules() const { return m_rules; }

    // Accounts and sessions.
    std::int64_t CreateAccount(const std::string& login, const std::string& password,
                               const std::string& displayName);
    Account SignIn(const std::string& login, const std::string& password);
    void BanAccount(const std::string& login);
    std::optional<Account> FindAccount(std::int64_t userId);
    std::optional<Account> FindAccountByLogin(const std::string& login);
    std::string NewSession(std::int64_t userId, bool secure);
    /// The account of a session cookie; a session made over HTTPS is refused over plain HTTP.
    std::optional<std::int64_t> SessionAccount(const std::string& token, bool secure);
    void EndSession(const std::string& token);
    std::string NewTransferToken(std::int64_t userId);
    /// Uses up a transfer token; GameError INVALID_TOKEN when unknown, used or expired.
    std::int64_t UseTransferToken(const std::string& token);

    // Fairies.
    std::int64_t AddFairy(std::int64_t userId, const std::string& name, const std::string& look);
    std::vector<Fairy> FairiesOf(std::int64_t userId);
    std::optional<Fairy> FindFairy(std::int64_t fairyId);
    void SetPoints(std::int64_t fairyId, std::int64_t points);

    // Toys.
    Toy SetupNewToy(std::int64_t userId, const std::string& kind, std::int64_t fairyId,
                    std::int64_t messageId, std::int64_t giftId);
    Toy SetupExistingToy(std::int64_t userId, std::int64_t clickId, std::int64_t fairyId,
                         std::int64_t messageId, std::int64_t giftId);
    void ResetToy(std::int64_t clickId, const std::string& code);
    std::optional<Toy> FindToy(std::int64_t clickId);
    /// Before a reset toy is set up again: GameError DEVICE_NOT_RESETABLE when it was marked
    /// not resetable after its reset was accepted.
    void CheckResetSetup(std::int64_t clickId);
    std::string ResetCode(std::int64_t clickId);
    void SetResetable(std::int64_t clickId, bool resetable);
    std::vector<std::int64_t> BraceletGifts(std::int64_t userId, std::int64_t clickId);

    // Inventory.
    std::vector<Friendship> FriendshipsOfFairy(std::int64_t fairyId);
    std::vector<Friendship> FriendshipsOfAccount(std::int64_t userId);
    std::vector<std::int64_t> CharmsOf(std::int64_t fairyId);
    std::vector<Account> AccountFriends(std::int64_t userId);
    /// Checks the Fairy belongs to the account; GameError NOT_FOUND / NOT_GLIMMERY_OWNER.
    Fairy OwnFairy(std::int64_t userId, std::int64_t fairyId);

    // Uploads. Item-level refusals are returned as a code ("" for success); request-level ones thrown.
    std::string UploadCharm(std::int64_t userId, std::int64_t fairyId, std::int64_t clickId,
                            std::int64_t charmId);
    std::int64_t UploadPoints(std::int64_t userId, std::int64_t fairyId, std::int64_t clickId,
                              std::int64_t points);
    /// Buys a butterfly; returns the new balance.
    std::int64_t Redeem(std::int64_t userId, std::int64_t fairyId, std::int64_t item);
    /// action: accept, decline or giftonly. The friend is named by bracelet click id (bit 31 may be
    /// set) or by Fairy id (friendBracelet 0).
    std::string AnswerFriend(std::int64_t userId, std::int64_t fairyId, const std::string& action,
                             std::int64_t friendBracelet, std::int64_t friendFairyId);

    // Page reports.
    void RecordReport(const std::string& page, const std::string& cacheBreaker);
    std::vector<PageReport> Reports();

    /// Adds a friendship directly (demo world).
    void AddFriendship(std::int64_t fromFairy, std::int64_t toFairy, const std::string& status);
    void GiveCharm(std::int64_t fairyId, std::int64_t charmId);
    void SetButterfly(std::int64_t fairyId, std::int64_t butterfly, std::int64_t days);

private:
    void CreateSchema();
    Fairy ReadFairy(Statement& row);
    std::optional<Fairy> FindFairyLocked(std::int64_t fairyId);
    std::optional<Toy> FindToyLocked(std::int64_t clickId);
    std::optional<Account> FindAccountLocked(std::int64_t userId);
    Fairy OwnFairyLocked(std::int64_t userId, std::int64_t fairyId);
    void CheckToyChoices(std::int64_t userId, std::int64_t clickId, const std::string& kind,
                         std::int64_t fairyId, std::int64_t messageId, std::int64_t giftId);
    std::vector<Friendship> FriendshipsLocked(std::int64_t fairyId);
    bool AccountsAreFriends(std::int64_t a, std::int64_t b);

    GameRules m_rules;
    std::mutex m_mutex;
    Database m_database;
};

} // namespace Service
