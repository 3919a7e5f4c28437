#include "AdminCommands.h"

#include "AccessLog.h"
#include "Avatar.h"
#include "RequestText.h"

#include <ctime>

namespace Service {

namespace {

std::int64_t IdArgument(const std::string& text) {
    const auto id = ParseId(text);
    if (!id) {
        throw GameError("NOT_FOUND");
    }
    return *id;
}

std::int64_t AccountId(GameStore& store, const std::string& text) {
    if (const auto account = store.FindAccountByLogin(text)) {
        return account->userId;
    }
    if (const auto id = ParseId(text); id && store.FindAccount(*id)) {
        return *id;
    }
    throw GameError("INVALID_ACCOUNT");
}

std::string FormatTime(std::int64_t time) {
    const std::time_t value = static_cast<std::time_t>(time);
    std::tm parts{};
    gmtime_r(&value, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

} // namespace

int RunAdminCommand(GameStore& store, const std::vector<std::string>& arguments, std::ostream& out,
                    std::ostream& err) {
    const auto is = [&arguments](std::size_t count, const char* first, const char* second = nullptr) {
        return arguments.size() == count && arguments[0] == first &&
               (second == nullptr || arguments[1] == second);
    };
    try {
        if (is(4, "account", "add")) {
            out << "account " << arguments[2] << " user_id "
                << store.CreateAccount(arguments[2], arguments[3], "") << "\n";
        } else if (is(3, "account", "ban")) {
            store.BanAccount(arguments[2]);
            out << "account " << arguments[2] << " banned\n";
        } else if ((arguments.size() == 4 || arguments.size() == 6) && arguments[0] == "fairy" &&
                   arguments[1] == "add") {
            AvatarLook look;
            if (arguments.size() == 6) {
                if (arguments[4] != "--avatar") {
                    return 2;
                }
                const auto parsed = AvatarLook::FromXml(arguments[5]);
                if (!parsed) {
                    err << "error: INVALID_AVATAR (colours are #RRGGBB, styles 1 to 9)\n";
                    return 1;
                }
                look = *parsed;
            }
            out << "fairy " << store.AddFairy(AccountId(store, arguments[2]), arguments[3], look.ToXml())
                << "\n";
        } else if (is(3, "toy", "reset-code")) {
            out << store.ResetCode(IdArgument(arguments[2])) << "\n";
        } else if (is(3, "toy", "not-resetable")) {
            store.SetResetable(IdArgument(arguments[2]), false);
            out << "toy " << arguments[2] << " is not resetable\n";
        } else if (is(4, "points", "set")) {
            const auto points = ParseId(arguments[3]);
            if (!points) {
                throw GameError("INVALID_POINTS");
            }
            store.SetPoints(IdArgument(arguments[2]), *points);
            out << "fairy " << arguments[2] << " has " << *points << " points\n";
        } else if (is(1, "reports")) {
            for (const auto& report : store.Reports()) {
                // Page names come from anyone who can reach the beacon: never print their bytes raw.
                out << FormatTime(report.time) << " " << EscapeControl(report.page) << " "
                    << EscapeControl(report.cacheBreaker) << "\n";
            }
        } else if (is(2, "seed", "demo")) {
            SeedDemoWorld(store, out);
        } else {
            return 2;
        }
    } catch (const GameError& refusal) {
        err << "error: " << refusal.Code() << "\n";
        return 1;
    }
    return 0;
}

} // namespace Service
