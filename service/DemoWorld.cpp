// The demo world: three families of Bramblemere with their Fairies, toys, friendships, charms,
// Glint Points and a butterfly in flight.
#include "AdminCommands.h"
#include "Avatar.h"
#include "Crypto.h"

namespace Service {

namespace {

struct DemoFairy {
    const char* name;
    AvatarLook look;
};

struct DemoAccount {
    const char* login;
    const char* displayName;
    std::vector<DemoFairy> fairies;
};

AvatarLook Look(const char* skin, int hair, const char* hairColor, const char* eyes, int dress,
                const char* dressColor, int wings, const char* wingsColor) {
    return AvatarLook{skin, hair, hairColor, eyes, dress, dressColor, wings, wingsColor};
}

} // namespace

void SeedDemoWorld(GameStore& store, std::ostream& out) {
    const std::vector<DemoAccount> accounts = {
        {"moonpetal",
         "Moonpetal",
         {{"Lirabelle", Look("#F1C7A5", 2, "#6B3E26", "#3A6EA5", 4, "#C86DD7", 1, "#9FD8F5")},
          {"Tansy Quill", Look("#E8B894", 5, "#D9A441", "#2E7D4F", 2, "#F2A65A", 3, "#F7E08A")}}},
        {"fernwhistle",
         "Fernwhistle",
         {{"Wren Mistle", Look("#C68B65", 3, "#2B1B12", "#5B3A1E", 1, "#4FA36B", 2, "#BDE8C5")},
          {"Hollyhock", Look("#F5D6C6", 7, "#B5473A", "#4A7FB0", 6, "#E9546B", 4, "#FFC9DE")}}},
        {"dewberry",
         "Dewberry",
         {{"Poppy Glimmerwing", Look("#8D5A3B", 1, "#111111", "#3B2A1A", 3, "#7E57C2", 5, "#D1C4E9")},
          {"Sorrel Bright", Look("#FFE0C7", 4, "#E0C068", "#6FA8DC", 5, "#80CBC4", 2, "#B3E5FC")}}},
    };
    if (store.FindAccountByLogin(accounts.front().login)) {
        throw GameError("ACCOUNT_EXISTS");
    }
    std::vector<std::vector<std::int64_t>> fairyIds;
    for (const auto& account : accounts) {
        const std::string password = RandomHex(5);
        const auto userId = store.CreateAccount(account.login, password, account.displayName);
        out << "account " << account.login << " password " << password << " user_id " << userId << "\n";
        fairyIds.emplace_back();
        for (const auto& fairy : account.fairies) {
            const auto fairyId = store.AddFairy(userId, fairy.name, fairy.look.ToXml());
            fairyIds.back().push_back(fairyId);
            out << "  fairy " << fairyId << " " << fairy.name << "\n";
        }
        const auto bracelet =
            store.SetupNewToy(userId, "bracelet", fairyIds.back()[0], 1 + (userId % 20), 2001);
        out << "  bracelet " << bracelet.clickId << " reset code " << store.ResetCode(bracelet.clickId)
            << "\n";
        // The first family also has the other two kinds of toy, printed under its own name.
        if (&account == &accounts.front()) {
            const auto box = store.SetupNewToy(userId, "jewelrybox", fairyIds.back()[0], 0, 0);
            out << "  jewelrybox " << box.clickId << " reset code " << store.ResetCode(box.clickId) << "\n";
            const auto game = store.SetupNewToy(userId, "game", fairyIds.back()[1], 0, 0);
            out << "  game " << game.clickId << " reset code " << store.ResetCode(game.clickId) << "\n";
        }
    }

    // Friendships in every state, seen from Lirabelle.
    store.AddFriendship(fairyIds[0][0], fairyIds[1][0], "MADE");
    store.AddFriendship(fairyIds[0][0], fairyIds[2][0], "PENDING");
    store.AddFriendship(fairyIds[0][0], fairyIds[1][1], "DECLINED");
    store.AddFriendship(fairyIds[2][1], fairyIds[0][1], "MADE");

    for (const int charm : {1001, 1005, 1012, 1020, 1033}) {
        store.GiveCharm(fairyIds[0][0], charm);
    }
    for (const int charm : {1002, 1007}) {
        store.GiveCharm(fairyIds[1][0], charm);
    }
    store.SetPoints(fairyIds[0][0], 1200);
    store.SetPoints(fairyIds[0][1], 80);
    store.SetPoints(fairyIds[1][0], 450);
    store.SetButterfly(fairyIds[0][0], 3, 5);
    out << "demo world ready\n";
}

} // namespace Service
