#include "WebPages.h"

#include "Avatar.h"
#include "Catalogue.h"
#include "RequestText.h"
#include "Routes.h"
#include "XmlText.h"

#include <httplib.h>

namespace Service {

namespace {

std::string Page(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>" + EscapeXml(title) +
           "</title><style>body{font-family:sans-serif;background:#F6EEF8;color:#4A2B52;margin:2em}"
           "h1{color:#A05EA1}.box{background:#fff;border-radius:12px;padding:1em 1.5em;max-width:40em}"
           "label{display:block;margin:.5em 0}.charm{display:inline-block;margin:.3em;padding:.3em .6em;"
           "background:#F1E0F5;border-radius:8px}.error{color:#B00020}</style></head><body><div "
           "class=\"box\">"
           "<h1>" +
           EscapeXml(title) + "</h1>" + body + "</div></body></html>\n";
}

void Send(httplib::Response& response, const std::string& title, const std::string& body, int status = 200) {
    response.status = status;
    response.set_header("Cache-Control", "no-store");
    response.set_content(Page(title, body), "text/html; charset=utf-8");
}

std::string Paragraph(const std::string& text) {
    return "<p>" + EscapeXml(text) + "</p>";
}

std::string FaqBody() {
    return Paragraph("Glimmeries carries what your toys collect into Bramblemere.") +
           "<h2>How do I start?</h2>" +
           Paragraph(
               "Plug in your bracelet, jewelry box or Rodod Orez game and sign in with your Account ID.") +
           "<h2>Bracelets</h2>" +
           Paragraph("Touch bracelets with a friend. Next time you plug yours in, accept or decline the "
                     "friendship.") +
           "<h2>Charms</h2>" +
           Paragraph("Touch charms to your jewelry box, then give each charm to one of your Fairies.") +
           "<h2>Glint Points</h2>" +
           Paragraph(
               "Points you earn on the game can be added to a Fairy and spent on butterflies that fly with "
               "her for some days.") +
           "<h2>My toy belongs to another account</h2>" +
           Paragraph("Use the reset code printed on the toy's card to register it again.");
}

std::string FairyForm(const std::string& message) {
    std::string body;
    if (!message.empty()) {
        body += "<p class=\"error\">" + EscapeXml(message) + "</p>";
    }
    body += "<form method=\"post\" action=\"/create.html\">"
            "<label>Account ID <input name=\"account\" required></label>"
            "<label>Password <input name=\"password\" type=\"password\" required></label>"
            "<label>Fairy name <input name=\"name\" maxlength=\"40\" required></label>"
            "<label>Skin <input name=\"skin\" type=\"color\" value=\"#F1C7A5\"></label>"
            "<label>Hair style <input name=\"hair_style\" type=\"number\" min=\"1\" max=\"9\" "
            "value=\"1\"></label>"
            "<label>Hair colour <input name=\"hair_color\" type=\"color\" value=\"#6B3E26\"></label>"
            "<label>Eye colour <input name=\"eyes_color\" type=\"color\" value=\"#3A6EA5\"></label>"
            "<label>Dress style <input name=\"dress_style\" type=\"number\" min=\"1\" max=\"9\" "
            "value=\"1\"></label>"
            "<label>Dress colour <input name=\"dress_color\" type=\"color\" value=\"#C86DD7\"></label>"
            "<label>Wing style <input name=\"wings_style\" type=\"number\" min=\"1\" max=\"9\" "
            "value=\"1\"></label>"
            "<label>Wing colour <input name=\"wings_color\" type=\"color\" value=\"#9FD8F5\"></label>"
            "<button type=\"submit\">Create my Fairy</button></form>";
    return body;
}

std::string RegistrationForm(const std::string& message) {
    std::string body;
    if (!message.empty()) {
        body += "<p class=\"error\">" + EscapeXml(message) + "</p>";
    }
    body +=
        Paragraph(
            "Choose an Account ID (3 to 20 letters, digits or _) and a password of at least 6 characters.") +
        "<form method=\"post\" action=\"/bramblemere/registration\">"
        "<label>Account ID <input name=\"account\" required></label>"
        "<label>Password <input name=\"password\" type=\"password\" required></label>"
        "<label>Name shown to friends <input name=\"display_name\" maxlength=\"40\"></label>"
        "<button type=\"submit\">Join Bramblemere</button></form>";
    return body;
}

std::string ErrorText(const std::string& code) {
    if (code == "INVALID_ENCODING") {
        return "The form arrived damaged. Please send it again.";
    }
    if (code == "ACCOUNT_EXISTS") {
        return "That Account ID is taken. Please choose another.";
    }
    if (code == "INVALID_ACCOUNT_NAME") {
        return "An Account ID has 3 to 20 letters, digits or _.";
    }
    if (code == "INVALID_PASSWORD_FORMAT") {
        return "A password has at least 6 characters.";
    }
    if (code == "INVALID_ACCOUNT" || code == "INVALID_PASSWORD") {
        return "The Account ID or password is not right.";
    }
    if (code == "BANNED") {
        return "This account is on hold.";
    }
    if (code == "HAS_MAX_FAIRIES") {
        return "This account already has all the Fairies it can have.";
    }
    if (code == "INVALID_NAME") {
        return "A Fairy name has 1 to 40 characters.";
    }
    return "Something went wrong (" + code + ").";
}

std::string FairyPicture(const Fairy& fairy) {
    const auto look = AvatarLook::FromXml(fairy.look).value_or(AvatarLook{});
    return "<svg width=\"120\" height=\"160\" viewBox=\"0 0 120 160\" role=\"img\" aria-label=\"" +
           EscapeXml(fairy.name) + "\">" + "<ellipse cx=\"30\" cy=\"70\" rx=\"28\" ry=\"40\" fill=\"" +
           look.wingsColor + "\" opacity=\".7\"/><ellipse cx=\"90\" cy=\"70\" rx=\"28\" ry=\"40\" fill=\"" +
           look.wingsColor + "\" opacity=\".7\"/><path d=\"M40 150 L60 75 L80 150 Z\" fill=\"" +
           look.dressColor + "\"/><circle cx=\"60\" cy=\"50\" r=\"22\" fill=\"" + look.skin +
           "\"/><path d=\"M38 48 Q60 12 82 48\" fill=\"" + look.hairColor +
           "\"/><circle cx=\"52\" cy=\"52\" r=\"3\" fill=\"" + look.eyesColor +
           "\"/><circle cx=\"68\" cy=\"52\" r=\"3\" fill=\"" + look.eyesColor + "\"/></svg>";
}

/// The page's query, decoded; when an escape in it is broken, the refusal page is sent and nothing
/// returned.
std::optional<Fields> PageQuery(const httplib::Request& request, httplib::Response& response) {
    auto query = DecodedQuery(request, Plus::Blank);
    if (!query) {
        Send(response, "Address not understood",
             Paragraph("This address has a broken %-escape in it. Open the page again from Glimmeries."),
             400);
    }
    return query;
}

std::string Field(const Fields& fields, const char* key) {
    const auto found = fields.find(key);
    return found == fields.end() ? std::string() : found->second;
}

} // namespace

void WebPages::Register(Routes& server) {
    GameStore* const store = &m_store;

    // Uses up the transfer token of a page; nothing when the page came without one.
    const auto signedInBy = [store](const Fields& query,
                                    httplib::Response& response) -> std::optional<std::optional<Account>> {
        if (query.find("sessiontoken") == query.end()) {
            return std::optional<Account>();
        }
        try {
            const auto userId = store->UseTransferToken(Field(query, "sessiontoken"));
            return store->FindAccount(userId);
        } catch (const GameError&) {
            Send(response, "Please sign in again",
                 Paragraph(
                     "This link has already been used or is too old. Open the page again from Glimmeries."),
                 403);
            return std::nullopt;
        }
    };

    server.Get("/glimmeries.html", [store, signedInBy](const httplib::Request& request,
                                                       httplib::Response& response) {
        const auto query = PageQuery(request, response);
        if (!query) {
            return;
        }
        const std::string page = Field(*query, "page");
        if (page == "faq") {
            Send(response, "Glimmeries help", FaqBody());
            return;
        }
        if (page != "charms" && page != "portrait") {
            Send(response, "Page not found", Paragraph("There is no page called \"" + page + "\"."), 404);
            return;
        }
        const auto signedIn = signedInBy(*query, response);
        if (!signedIn) {
            return;
        }
        if (!*signedIn) {
            Send(response, "Please sign in", Paragraph("Open this page from Glimmeries to see your Fairies."),
                 403);
            return;
        }
        const Account& account = **signedIn;
        std::string body;
        if (page == "charms") {
            body = Paragraph("Charm collection of " + account.displayName + "'s Fairies.");
            for (const auto& fairy : store->FairiesOf(account.userId)) {
                body += "<h2 class=\"fairy\">" + EscapeXml(fairy.name) + "</h2><div class=\"charms\">";
                const auto charms = store->CharmsOf(fairy.fairyId);
                for (const auto id : charms) {
                    const auto* charm = Catalogue::FindCharm(id);
                    body += "<span class=\"charm\" data-id=\"" + std::to_string(id) + "\">" +
                            EscapeXml(charm ? charm->name : std::to_string(id)) + "</span>";
                }
                if (charms.empty()) {
                    body += Paragraph("No charms yet.");
                }
                body += "</div>";
            }
            Send(response, "My charms", body);
        } else {
            for (const auto& fairy : store->FairiesOf(account.userId)) {
                body += "<figure>" + FairyPicture(fairy) + "<figcaption>" + EscapeXml(fairy.name) +
                        "</figcaption></figure>";
            }
            body += "<button onclick=\"window.print()\">Print</button>";
            Send(response, "Game cover for " + account.displayName, body);
        }
    });

    server.Get("/index.html", [signedInBy](const httplib::Request& request, httplib::Response& response) {
        const auto query = PageQuery(request, response);
        if (!query) {
            return;
        }
        const auto signedIn = signedInBy(*query, response);
        if (!signedIn) {
            return;
        }
        const std::string who = *signedIn ? (*signedIn)->displayName : std::string("traveller");
        Send(response, "Welcome to Bramblemere",
             Paragraph("Welcome, " + who + "! The meadow is bright and your friends are waiting."));
    });

    server.Get("/home/html/index.html", [](const httplib::Request&, httplib::Response& response) {
        Send(response, "Movie player",
             Paragraph("Glimmeries has its movie player built in: there is nothing to install. "
                       "Close this page and start Glimmeries again."));
    });

    server.Get("/guestservices/your_account/account_hold", [](const httplib::Request& request,
                                                              httplib::Response& response) {
        const auto query = PageQuery(request, response);
        if (!query) {
            return;
        }
        const std::string name = Field(*query, "bannedUsername");
        Send(response, "Account on hold",
             Paragraph("The account " + (name.empty() ? std::string("you used") : "\"" + name + "\"") +
                       " is on hold. A grown-up can ask the people who run this game to look at it."));
    });

    const auto recovery = [](const char* what) {
        return [what](const httplib::Request&, httplib::Response& response) {
            Send(response, std::string("Forgot your ") + what + "?",
                 Paragraph(
                     std::string("Ask a grown-up to contact the people who run this game; they can look up "
                                 "your ") +
                     what + " for you. For your safety we never send it by e-mail to children."));
        };
    };
    server.Get("/account/recoverMemberNames", recovery("Account ID"));
    server.Get("/account/recoverPassword", recovery("password"));

    server.Get("/bramblemere/registration", [](const httplib::Request&, httplib::Response& response) {
        Send(response, "Join Bramblemere", RegistrationForm(""));
    });
    server.Post("/bramblemere/registration", [store](const httplib::Request& request,
                                                     httplib::Response& response) {
        const auto form = DecodedBody(request);
        if (!form) {
            Send(response, "Join Bramblemere", RegistrationForm(ErrorText("INVALID_ENCODING")), 400);
            return;
        }
        const auto field = [&form](const char* key) { return Field(*form, key); };
        try {
            store->CreateAccount(field("account"), field("password"), field("display_name"));
            Send(response, "Welcome to Bramblemere",
                 Paragraph("Your account " + field("account") + " is ready. Sign in with it in Glimmeries."));
        } catch (const GameError& refusal) {
            Send(response, "Join Bramblemere", RegistrationForm(ErrorText(refusal.Code())), 400);
        }
    });

    server.Get("/create.html", [](const httplib::Request&, httplib::Response& response) {
        Send(response, "Create a Fairy", FairyForm(""));
    });
    server.Post("/create.html", [store](const httplib::Request& request, httplib::Response& response) {
        const auto form = DecodedBody(request);
        if (!form) {
            Send(response, "Create a Fairy", FairyForm(ErrorText("INVALID_ENCODING")), 400);
            return;
        }
        const auto field = [&form](const char* key, const char* fallback = "") {
            const std::string value = Field(*form, key);
            return value.empty() ? std::string(fallback) : value;
        };
        try {
            const Account account = store->SignIn(field("account"), field("password"));
            const std::string look = "<avatar><body skin=\"" + EscapeXml(field("skin", "#F1C7A5")) +
                                     "\"/><hair style=\"" + EscapeXml(field("hair_style", "1")) +
                                     "\" color=\"" + EscapeXml(field("hair_color", "#6B3E26")) +
                                     "\"/><eyes color=\"" + EscapeXml(field("eyes_color", "#3A6EA5")) +
                                     "\"/><dress style=\"" + EscapeXml(field("dress_style", "1")) +
                                     "\" color=\"" + EscapeXml(field("dress_color", "#C86DD7")) +
                                     "\"/><wings style=\"" + EscapeXml(field("wings_style", "1")) +
                                     "\" color=\"" + EscapeXml(field("wings_color", "#9FD8F5")) +
                                     "\"/></avatar>";
            const auto parsed = AvatarLook::FromXml(look);
            if (!parsed) {
                Send(response, "Create a Fairy", FairyForm("Colours are #RRGGBB and styles 1 to 9."), 400);
                return;
            }
            store->AddFairy(account.userId, field("name"), parsed->ToXml());
            Send(response, "Your Fairy is ready",
                 Paragraph(field("name") + " now lives in Bramblemere. Go back to Glimmeries and click "
                                           "\"Click Here.\" to continue."));
        } catch (const GameError& refusal) {
            Send(response, "Create a Fairy", FairyForm(ErrorText(refusal.Code())), 400);
        }
    });
}

} // namespace Service
