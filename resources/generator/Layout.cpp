#include "Layout.h"

#include <QStringList>
#include <stdexcept>

namespace Art {

namespace {

QString S(const char* text) {
    return QString::fromLatin1(text);
}

Placement P(const char* name, int x, int y) {
    return Placement{S(name), x, y};
}

Box B(const char* kind, const char* text, int x, int y, int width, int height) {
    return Box{S(kind), S(text), QRect(x, y, width, height)};
}

// The title-bar row that every screen carries.
void AddTitleButtons(Screen& screen, bool withMenu) {
    screen.placements.push_back(P("EXIT_BUTTONS", 665, 17));
    screen.placements.push_back(P("MINIMIZE_BUTTONS", 639, 17));
    screen.placements.push_back(P("HELP_BUTTONS", 62, 17));
    if (withMenu) {
        screen.placements.push_back(P("MENU_BUTTONS", 85, 14));
    }
}

void AddAvatars(Screen& screen, int left, int top, int right, int bottom, int step) {
    for (int i = 0; i < 3; ++i) {
        screen.boxes.push_back(
            Box{S("avatar"), S("Fairy"), QRect(left + i * step, top, right - left, bottom - top)});
    }
}

void AddPopupFrame(Screen& screen, const char* header, int headerX = 199, int headerY = 145) {
    screen.placements.push_back(P(header, headerX, headerY));
    screen.placements.push_back(P("POPUP_EXIT_BUTTONS", 521, 146));
}

std::vector<Screen> MakeScreens() {
    std::vector<Screen> screens;
    {
        Screen s{S("splash"), S("download splash"), S("BACKGROUND_SPLASH"), {}, {}};
        s.placements.push_back(P("EXIT_BUTTONS", 665, 17));
        s.boxes.push_back(B("progress", "", 267, 431, 215, 14));
        screens.push_back(s);
    }
    {
        Screen s{S("signin"), S("sign-in"), S("BACKGROUND_SIGNIN"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("TOY_BUTTONS", 133, 13));
        s.placements.push_back(P("SIGNIN_BUTTONS", 333, 335));
        s.boxes.push_back(B("edit", "account ID", 389, 273, 99, 13));
        s.boxes.push_back(B("edit", "password", 389, 299, 99, 13));
        s.boxes.push_back(B("label", "V1.0.4.34", 620, 47, 60, 14));
        s.boxes.push_back(B("link", "Register Now.", 390, 407, 100, 14));
        s.boxes.push_back(B("link", "Account ID?", 335, 423, 68, 14));
        s.boxes.push_back(B("link", "Password?", 406, 423, 66, 14));
        s.boxes.push_back(B("link", "Reset Your Toy", 333, 439, 100, 14));
        screens.push_back(s);
    }
    {
        Screen s{S("signup"), S("sign-up"), S("BACKGROUND_SIGNUP"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("SIGNOUT_BUTTONS", 88, 14));
        s.placements.push_back(P("START_NOW_BUTTONS", 326, 300));
        s.placements.push_back(P("FAIRY_BUTTONS", 236, 218));
        s.placements.push_back(P("WELCOME_IMAGE", 263, 132));
        s.boxes.push_back(B("label", "Hi %s!", 297, 228, 160, 24));
        s.boxes.push_back(B("label", "You need to create a\nFairy to get started.", 297, 255, 170, 38));
        s.boxes.push_back(B("label", "If you already created a Fairy,", 297, 356, 220, 14));
        s.boxes.push_back(B("link", "Click Here.", 297, 371, 163, 13));
        s.boxes.push_back(B("link", "Register Now.", 390, 407, 100, 14));
        s.boxes.push_back(B("link", "Account ID?", 335, 423, 68, 14));
        s.boxes.push_back(B("link", "Password?", 406, 423, 66, 14));
        screens.push_back(s);
    }
    {
        Screen s{S("devices"), S("devices"), S("BACKGROUND_DEVICEMNGR"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("DEVICE_ARROW_LEFT", 125, 286));
        s.placements.push_back(P("DEVICE_ARROW_RIGHT", 580, 286));
        s.placements.push_back(P("WELCOME_IMAGE", 263, 132));
        s.placements.push_back(P("DEVICEMGR_TEXT_IMAGE", 151, 180));
        s.boxes.push_back(B("list", "toys", 220, 260, 310, 170));
        s.boxes.push_back(B("label", "V1.0.4.34", 620, 47, 60, 14));
        screens.push_back(s);
    }
    {
        Screen s{S("devices-empty"), S("devices (no toy)"), S("BACKGROUND_DEVICEMNGR"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("WELCOME_IMAGE", 263, 132));
        s.placements.push_back(P("DEVICEMGR_ERROR_IMAGE", 151, 180));
        s.placements.push_back(P("ACTION_ADD_FRIENDS", 250, 270));
        s.placements.push_back(P("ACTION_REDEEM_POINTS", 370, 270));
        s.boxes.push_back(B("list", "actions", 220, 260, 310, 170));
        screens.push_back(s);
    }
    {
        Screen s{S("mainmenu"), S("main menu"), S("BACKGROUND_MAIN"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("TOY_BUTTONS", 133, 13));
        s.placements.push_back(P("CHANGEBRACELET_BUTTONS", 72, 245));
        s.placements.push_back(P("UPLOADFRIENDSHIP_BUTTONS", 206, 245));
        s.placements.push_back(P("UPLOADCHARM_BUTTONS", 321, 245));
        s.placements.push_back(P("UPLOAD_GLINT_POINTS_BUTTONS", 425, 245));
        s.placements.push_back(P("REDEEM_GLINT_POINTS_BUTTONS", 546, 245));
        s.placements.push_back(P("TELL_ME_MORE_BUTTONS", 103, 365));
        s.placements.push_back(P("PRINTLCD_BUTTONS", 386, 395));
        s.placements.push_back(P("VIEWGIFTS_BUTTONS", 268, 395));
        s.placements.push_back(P("WELCOME_WHAT_TODO_IMAGE", 98, 132));
        s.boxes.push_back(B("label", "V1.0.4.34", 620, 47, 60, 14));
        screens.push_back(s);
    }
    {
        Screen s{S("mainmenu-setup"), S("main menu (set-up buttons)"), S("BACKGROUND_MAIN"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("TOY_BUTTONS", 133, 13));
        s.placements.push_back(P("SETUPBRACELET_BUTTONS", 72, 245));
        s.placements.push_back(P("UPLOADFRIENDSHIP_BUTTONS", 206, 245));
        s.placements.push_back(P("UPLOADCHARM_BUTTONS", 321, 245));
        s.placements.push_back(P("UPLOAD_GLINT_POINTS_BUTTONS", 425, 245));
        s.placements.push_back(P("REDEEM_GLINT_POINTS_BUTTONS", 546, 245));
        s.placements.push_back(P("SETUPJEWELRYBOX_BUTTONS", 72, 245));
        s.placements.push_back(P("SETUPLCDGAME_BUTTONS", 72, 245));
        s.placements.push_back(P("WELCOME_WHAT_TODO_IMAGE", 98, 132));
        screens.push_back(s);
    }
    {
        Screen s{S("reset"), S("toy reset"), S("BACKGROUND_DEVICE_RESET"), {}, {}};
        AddTitleButtons(s, false);
        s.placements.push_back(P("TOY_BUTTONS", 133, 13));
        s.placements.push_back(P("DEVICE_RESET_CANCEL_BUTTONS", 267, 345));
        s.placements.push_back(P("DEVICE_RESET_NOW_BUTTONS", 382, 345));
        s.boxes.push_back(B("edit", "reset code", 300, 300, 150, 18));
        screens.push_back(s);
    }
    for (const char* background : {"BACKGROUND_CHANGEBRACELET", "BACKGROUND_SETUPBRACELET"}) {
        const bool change = QString::fromLatin1(background).contains(QLatin1String("CHANGE"));
        Screen s{change ? S("bracelet-change") : S("bracelet-setup"),
                 change ? S("bracelet page") : S("bracelet set-up page"),
                 S(background),
                 {},
                 {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("NEXT_BUTTONS", 625, 219));
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("WHATISTHIS_BUTTONS", 112, 431));
        if (change) {
            s.placements.push_back(P("CHANGE_BRACELET_MSG_IMAGE", 190, 112));
        } else {
            s.placements.push_back(P("SETUP_BRACELET_MSG_IMAGE", 190, 112));
            s.placements.push_back(P("SETUP_BRACELET_TEXT_IMAGE", 190, 166));
        }
        AddAvatars(s, 214, 203, 319, 362, 133);
        s.boxes.push_back(B("combo", "message", 255, 379, 259, 17));
        s.boxes.push_back(B("combo", "gift", 255, 418, 259, 17));
        screens.push_back(s);
    }
    {
        Screen s{S("friendship"), S("friendship page"), S("BACKGROUND_MAIN"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("UP_BUTTONS", 626, 245));
        s.placements.push_back(P("DOWN_BUTTONS", 628, 344));
        s.placements.push_back(P("ADDFRIENDS_IMAGE", 105, 131));
        s.placements.push_back(P("FAIRY", 143, 233));
        s.placements.push_back(P("FAIRY_BLUE", 143, 310));
        s.placements.push_back(P("FAIRY_GREEN", 143, 387));
        s.boxes.push_back(B("list", "friendships", 139, 229, 480, 218));
        screens.push_back(s);
    }
    {
        Screen s{S("friendship-empty"), S("friendship page (empty)"), S("BACKGROUND_MAIN"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("ADDFRIENDS_ERROR_IMAGE", 110, 124));
        screens.push_back(s);
    }
    {
        Screen s{S("charms"), S("charm page"), S("BACKGROUND_ADDCHARMS"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("NEXT_BUTTONS", 625, 219));
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("CHARMS_ARROW_LEFT", 146, 368));
        s.placements.push_back(P("CHARMS_ARROW_RIGHT", 559, 368));
        s.placements.push_back(P("ADDCHARMS_IMAGE", 235, 112));
        s.placements.push_back(P("CHARM_1001", 230, 368));
        s.placements.push_back(P("CHARM_1012", 329, 368));
        s.placements.push_back(P("CHARM_1027", 428, 368));
        AddAvatars(s, 193, 158, 298, 317, 133);
        s.boxes.push_back(B("label", "Select the charm you want to give to your Fairy", 233, 323, 300, 34));
        s.boxes.push_back(B("list", "charms", 226, 364, 302, 110));
        screens.push_back(s);
    }
    {
        Screen s{S("charms-empty"), S("charm page (empty)"), S("BACKGROUND_ADDCHARMS"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("ADDCHARMS_ERROR_IMAGE", 74, 113));
        AddAvatars(s, 193, 158, 298, 317, 133);
        screens.push_back(s);
    }
    {
        Screen s{S("collection"), S("charm collection page"), S("BACKGROUND_CHARMS_COLLECTION"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.boxes.push_back(B("browser", "collection web page", 186, 172, 440, 266));
        screens.push_back(s);
    }
    {
        Screen s{S("glint-upload"), S("Glint Points upload"), S("BACKGROUND_ADD_GLINT_POINTS"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("NEXT_BUTTONS", 625, 219));
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("UPLOAD_GLINTS_IMAGE", 274, 123));
        AddAvatars(s, 180, 244, 285, 403, 146);
        s.boxes.push_back(B("label", "You have\n120\nGlint Points.\nChoose a Fairy to get your Glint Points.",
                            211, 162, 330, 76));
        for (int x : {182, 331, 475}) {
            s.boxes.push_back(B("label", "Current Balance\n0 Points", x, 413, 110, 34));
        }
        screens.push_back(s);
    }
    {
        Screen s{S("glint-redeem"), S("Glint Points redeem"), S("BACKGROUND_REDEEM_GLINT_POINTS"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("NEXT_BUTTONS", 625, 219));
        s.placements.push_back(P("BACK_BUTTONS", 21, 219));
        s.placements.push_back(P("REDEEM_GLINTS_IMAGE", 223, 115));
        s.placements.push_back(P("GLINTS_ARROW_LEFT", 97, 397));
        s.placements.push_back(P("GLINTS_ARROW_RIGHT", 611, 397));
        s.placements.push_back(P("BUTTERFLY_1", 183, 390));
        AddAvatars(s, 165, 170, 270, 329, 162);
        for (int x : {162, 324, 485}) {
            s.boxes.push_back(B("label", "250\nGlint Points", x, 337, 110, 28));
        }
        s.boxes.push_back(B("label", "Choose the butterfly you want", 253, 365, 240, 16));
        s.boxes.push_back(B("list", "butterflies", 183, 386, 383, 90));
        screens.push_back(s);
    }
    {
        Screen s{S("tutorial"), S("tutorial page"), S("BACKGROUND_MAIN"), {}, {}};
        AddTitleButtons(s, true);
        s.placements.push_back(P("TUTORIAL_CONTINUE_BUTTONS", 328, 417));
        s.placements.push_back(P("TUTORIAL_BRACELET", 87, 103));
        screens.push_back(s);
    }
    // Popups: the popup mask keeps only their box; the body is flat purple.
    {
        Screen s{S("popup-quickphrase"), S("QuickPhrase popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_QUICKPHRASE", 198, 139);
        s.placements.push_back(P("POPUP_OK_BUTTONS", 329, 368));
        s.boxes.push_back(B("label", "Your gift is a QuickPhrase phrase...", 243, 314, 280, 52));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-notice"), S("notice popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_CONGRATS");
        s.placements.push_back(P("POPUP_OK_BUTTONS", 329, 368));
        s.boxes.push_back(B("label", "You can now register this toy...", 255, 235, 250, 52));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-setup-warning"), S("set-up warning popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_WARNING");
        s.placements.push_back(P("POPUP_OK_BUTTONS", 267, 371));
        s.placements.push_back(P("POPUP_CANCEL_BUTTONS", 396, 398));
        s.boxes.push_back(B("label", "Your bracelet will be assigned...", 262, 257, 260, 100));
        screens.push_back(s);
    }
    for (const char* kind : {"BRACELET", "JEWELRYBOX", "LCDGAME"}) {
        const QString k = S(kind);
        Screen s{
            S("popup-setup-congrats-") + k.toLower(), S("set-up congratulation popup"), QString(), {}, {}};
        const char* header = k == QLatin1String("BRACELET")     ? "POPUP_BRACELET_READY"
                             : k == QLatin1String("JEWELRYBOX") ? "POPUP_JEWELRY_BOX_READY"
                                                                : "POPUP_CONGRATS";
        AddPopupFrame(s, header);
        s.placements.push_back(P("POPUP_DONE_BUTTONS", 298, 364));
        s.placements.push_back(Placement{S("POPUP_") + k + S("_USE"), 206, 240});
        s.boxes.push_back(B("label", "Your toy is ready to be used!", 322, 240, 230, 90));
        if (k != QLatin1String("LCDGAME")) {
            s.boxes.push_back(B("movie", "congratulation movie", 206, 232, 332, 128));
        }
        screens.push_back(s);
    }
    {
        Screen s{S("popup-charm-congrats"), S("charm congratulation popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_CONGRATS", 199, 143);
        s.placements.push_back(P("POPUP_CHARM_1001", 347, 268));
        s.placements.push_back(P("POPUP_DONE_BUTTONS", 232, 356));
        s.placements.push_back(P("POPUP_VIEWCHARMS_BUTTONS", 400, 376));
        s.boxes.push_back(B("label", "You've treated\nFairy", 237, 231, 200, 34));
        s.boxes.push_back(B("label", "to new items...", 277, 311, 270, 44));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-butterfly-congrats"), S("butterfly congratulation popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_CONGRATS");
        s.placements.push_back(P("POPUP_BUTTERFLY_1", 354, 271));
        s.placements.push_back(P("POPUP_DONE_BUTTONS", 222, 354));
        s.placements.push_back(P("POPUP_FLYTO_BUTTONS", 375, 354));
        s.boxes.push_back(
            B("label", "You used\n250 Glint Points\nfor this beautiful butterfly.", 259, 229, 220, 42));
        s.boxes.push_back(B("label", "The butterfly will fly with\nFairy\nfor 7 day(s)", 239, 309, 220, 42));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-points-congrats"), S("points congratulation popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_CONGRATS");
        s.placements.push_back(P("POPUP_BUTTERFLIES", 304, 311));
        s.placements.push_back(P("POPUP_GLINTS_USE_BUTTONS", 329, 368));
        s.boxes.push_back(B("label", "You have given Fairy\nFairy\n120 Glint Points.", 250, 235, 220, 42));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-friendship-congrats"), S("friendship congratulation popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_CONGRATS");
        s.placements.push_back(P("POPUP_FRIENDS", 342, 284));
        s.placements.push_back(P("POPUP_FLYTO_BUTTONS", 302, 357));
        s.boxes.push_back(B("label", "Your friendship will be added...", 192, 235, 340, 42));
        screens.push_back(s);
    }
    for (const char* header : {"POPUP_LETSBEFRIENDS", "POPUP_NEWGIFT"}) {
        const bool gift = QString::fromLatin1(header).contains(QLatin1String("GIFT"));
        Screen s{gift ? S("popup-letter-gift") : S("popup-letter-friend"),
                 S("friendship letter popup"),
                 QString(),
                 {},
                 {}};
        AddPopupFrame(s, header);
        s.placements.push_back(
            P(gift ? "POPUP_ACCEPT_GIFT_BUTTONS" : "POPUP_LETSBE_FRIENDS_BUTTONS", 269, 376));
        s.placements.push_back(P("POPUP_NO_THANKS", 389, 394));
        s.placements.push_back(P("POPUP_GIFTMSG_BACKGROUND", 217, 302));
        s.boxes.push_back(B("label", "Dear Fairy,", 217, 230, 200, 16));
        s.boxes.push_back(B("label", "Here is my gift to you.", 217, 254, 300, 34));
        s.boxes.push_back(B("label", "Fly with you!\nFriend", 217, 347, 120, 28));
        s.boxes.push_back(B("label", "\"gift phrase\"", 258, 302, 240, 34));
        screens.push_back(s);
    }
    for (const char* header : {"POPUP_FRIENSHIPS", "POPUP_BRIGHTWING", "POPUP_SORRY"}) {
        const bool pending = QString::fromLatin1(header) == QLatin1String("POPUP_FRIENSHIPS");
        Screen s{
            S("popup-answer-") + S(header).mid(6).toLower(), S("friendship answer popup"), QString(), {}, {}};
        AddPopupFrame(s, header);
        if (pending) {
            s.placements.push_back(P("POPUP_OK_BUTTONS", 267, 375));
            s.placements.push_back(P("POPUP_CANCEL_FRIEND_BUTTONS", 384, 392));
        } else {
            s.placements.push_back(P("POPUP_OK_BUTTONS", 323, 364));
        }
        s.boxes.push_back(
            B("label", "Dear Fairy,\n\nYour friend\nFriend\nhas not responded yet.", 218, 230, 300, 76));
        s.boxes.push_back(B("label", "Fly safely,\nThe Evenfall Council!", 218, 310, 200, 30));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-points-confirm"), S("points confirmation popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_GLINTS_UPLOAD");
        s.placements.push_back(P("POPUP_OK_BUTTONS", 267, 371));
        s.placements.push_back(P("POPUP_CANCEL_BUTTONS", 391, 384));
        s.boxes.push_back(B("label", "You are going to reward...", 261, 241, 230, 100));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-error"), S("error popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_OOPS");
        s.placements.push_back(P("POPUP_OK_BUTTONS", 329, 368));
        s.boxes.push_back(B("label", "There has been an error...", 255, 235, 270, 52));
        screens.push_back(s);
    }
    {
        Screen s{S("popup-butterfly-warning"), S("butterfly warning popup"), QString(), {}, {}};
        AddPopupFrame(s, "POPUP_WARNING");
        s.placements.push_back(P("POPUP_OK_BUTTONS", 267, 371));
        s.placements.push_back(P("POPUP_CANCEL_BUTTONS", 396, 398));
        s.boxes.push_back(B("label", "We will replace the current butterfly...", 212, 257, 330, 100));
        screens.push_back(s);
    }
    return screens;
}

std::vector<ImageSize> MakeSizes() {
    // height is one frame; the strip is height * frames tall
    return {
        {S("EXIT_BUTTONS"), 23, 23, 3},
        {S("MINIMIZE_BUTTONS"), 23, 23, 3},
        {S("HELP_BUTTONS"), 23, 23, 3},
        {S("MENU_BUTTONS"), 46, 28, 3},
        {S("TOY_BUTTONS"), 64, 30, 3},
        {S("SIGNOUT_BUTTONS"), 72, 28, 3},
        {S("BACK_BUTTONS"), 88, 56, 3},
        {S("NEXT_BUTTONS"), 88, 56, 3},
        {S("SIGNIN_BUTTONS"), 96, 40, 3},
        {S("START_NOW_BUTTONS"), 112, 44, 3},
        {S("FAIRY_BUTTONS"), 56, 64, 3},
        {S("SETUPBRACELET_BUTTONS"), 127, 117, 4},
        {S("CHANGEBRACELET_BUTTONS"), 127, 117, 4},
        {S("SETUPJEWELRYBOX_BUTTONS"), 127, 117, 4},
        {S("SETUPLCDGAME_BUTTONS"), 127, 117, 4},
        {S("UPLOADFRIENDSHIP_BUTTONS"), 110, 117, 4},
        {S("UPLOADCHARM_BUTTONS"), 100, 117, 4},
        {S("UPLOAD_GLINT_POINTS_BUTTONS"), 117, 117, 4},
        {S("REDEEM_GLINT_POINTS_BUTTONS"), 127, 117, 4},
        {S("TELL_ME_MORE_BUTTONS"), 120, 24, 2},
        {S("PRINTLCD_BUTTONS"), 112, 38, 3},
        {S("VIEWGIFTS_BUTTONS"), 112, 38, 3},
        {S("DEVICE_RESET_CANCEL_BUTTONS"), 108, 40, 3},
        {S("DEVICE_RESET_NOW_BUTTONS"), 108, 40, 3},
        {S("WHATISTHIS_BUTTONS"), 136, 24, 2},
        {S("UP_BUTTONS"), 36, 36, 3},
        {S("DOWN_BUTTONS"), 36, 36, 3},
        {S("CHARMS_ARROW_LEFT"), 40, 48, 3},
        {S("CHARMS_ARROW_RIGHT"), 40, 48, 3},
        {S("DEVICE_ARROW_LEFT"), 40, 48, 1},
        {S("DEVICE_ARROW_RIGHT"), 40, 48, 1},
        {S("GLINTS_ARROW_LEFT"), 40, 48, 1},
        {S("GLINTS_ARROW_RIGHT"), 40, 48, 1},
        {S("TUTORIAL_CONTINUE_BUTTONS"), 100, 40, 3},
        {S("POPUP_EXIT_BUTTONS"), 23, 23, 3},
        {S("POPUP_OK_BUTTONS"), 92, 40, 3},
        {S("POPUP_CANCEL_BUTTONS"), 92, 26, 2},
        {S("POPUP_DONE_BUTTONS"), 140, 44, 3},
        {S("POPUP_VIEWCHARMS_BUTTONS"), 140, 44, 3},
        {S("POPUP_FLYTO_BUTTONS"), 146, 44, 3},
        {S("POPUP_GLINTS_USE_BUTTONS"), 150, 44, 3},
        {S("POPUP_LETSBE_FRIENDS_BUTTONS"), 114, 44, 3},
        {S("POPUP_ACCEPT_GIFT_BUTTONS"), 114, 44, 3},
        {S("POPUP_NO_THANKS"), 100, 28, 2},
        {S("POPUP_CANCEL_FRIEND_BUTTONS"), 130, 28, 2},
        {S("WELCOME_IMAGE"), 224, 44, 1},
        {S("DEVICEMGR_TEXT_IMAGE"), 448, 64, 1},
        {S("DEVICEMGR_ERROR_IMAGE"), 448, 64, 1},
        {S("WELCOME_WHAT_TODO_IMAGE"), 554, 100, 1},
        {S("ADDFRIENDS_IMAGE"), 520, 88, 1},
        {S("ADDFRIENDS_ERROR_IMAGE"), 520, 200, 1},
        {S("ADDCHARMS_IMAGE"), 284, 40, 1},
        {S("ADDCHARMS_ERROR_IMAGE"), 600, 40, 1},
        {S("UPLOAD_GLINTS_IMAGE"), 200, 36, 1},
        {S("REDEEM_GLINTS_IMAGE"), 304, 48, 1},
        {S("SETUP_BRACELET_MSG_IMAGE"), 370, 50, 1},
        {S("CHANGE_BRACELET_MSG_IMAGE"), 370, 50, 1},
        {S("SETUP_BRACELET_TEXT_IMAGE"), 370, 30, 1},
        {S("DEVICE_BRACELET"), 80, 80, 1},
        {S("DEVICE_LCDGAME"), 80, 80, 1},
        {S("DEVICE_JEWELRYBOX"), 80, 80, 1},
        {S("ACTION_ADD_FRIENDS"), 80, 80, 1},
        {S("ACTION_REDEEM_POINTS"), 80, 80, 1},
        {S("FAIRY"), 48, 48, 1},
        {S("FAIRY_BLUE"), 48, 48, 1},
        {S("FAIRY_GREEN"), 48, 48, 1},
        {S("FAIRY_YELLOW"), 48, 48, 1},
        {S("FAIRY_RED"), 48, 48, 1},
        {S("TUTORIAL_BRACELET"), 582, 312, 1},
        {S("TUTORIAL_JEWELRY_BOX"), 582, 312, 1},
        {S("TUTORIAL_LCD_GAME"), 582, 312, 1},
        {S("POPUP_QUICKPHRASE"), 320, 83, 1},
        {S("POPUP_CONGRATS"), 320, 83, 1},
        {S("POPUP_WARNING"), 320, 83, 1},
        {S("POPUP_OOPS"), 320, 83, 1},
        {S("POPUP_LETSBEFRIENDS"), 320, 83, 1},
        {S("POPUP_NEWGIFT"), 320, 83, 1},
        {S("POPUP_FRIENSHIPS"), 320, 83, 1},
        {S("POPUP_BRIGHTWING"), 320, 83, 1},
        {S("POPUP_SORRY"), 320, 83, 1},
        {S("POPUP_GLINTS_UPLOAD"), 320, 83, 1},
        {S("POPUP_BRACELET_READY"), 320, 83, 1},
        {S("POPUP_JEWELRY_BOX_READY"), 320, 83, 1},
        {S("POPUP_GIFTMSG_BACKGROUND"), 300, 40, 1},
        {S("POPUP_FRIENDS"), 64, 64, 1},
        {S("POPUP_BUTTERFLIES"), 140, 52, 1},
        {S("POPUP_BRACELET_USE"), 110, 90, 1},
        {S("POPUP_JEWELRYBOX_USE"), 110, 90, 1},
        {S("POPUP_LCDGAME_USE"), 110, 90, 1},
    };
}

std::vector<ImageSize>& SizeTable() {
    static std::vector<ImageSize> sizes = [] {
        std::vector<ImageSize> all = MakeSizes();
        for (int id = 1001; id <= 1040; ++id) {
            all.push_back({S("CHARM_") + QString::number(id), 89, 51, 1});
            all.push_back({S("POPUP_CHARM_") + QString::number(id), 56, 42, 1});
        }
        for (int id = 1; id <= 8; ++id) {
            all.push_back({S("BUTTERFLY_") + QString::number(id), 368, 56, 1});
            all.push_back({S("POPUP_BUTTERFLY_") + QString::number(id), 64, 36, 1});
        }
        return all;
    }();
    return sizes;
}

} // namespace

const std::vector<ImageSize>& ImageSizes() {
    return SizeTable();
}

const ImageSize& SizeOf(const QString& name) {
    for (const ImageSize& size : SizeTable()) {
        if (size.name == name) {
            return size;
        }
    }
    throw std::out_of_range("no size for " + name.toStdString());
}

const std::vector<Screen>& Screens() {
    static const std::vector<Screen> screens = MakeScreens();
    return screens;
}

QRect PlacedRect(const Placement& placement) {
    const ImageSize& size = SizeOf(placement.name);
    return QRect(placement.x, placement.y, size.width, size.height);
}

std::vector<QRect> ControlRectsOn(const QString& background) {
    std::vector<QRect> rects;
    for (const Screen& screen : Screens()) {
        if (screen.background != background) {
            continue;
        }
        for (const Placement& placement : screen.placements) {
            rects.push_back(PlacedRect(placement));
        }
        for (const Box& box : screen.boxes) {
            rects.push_back(box.rect);
        }
    }
    return rects;
}

const Placement* HomeOf(const QString& name, const Screen** screen) {
    for (const Screen& candidate : Screens()) {
        for (const Placement& placement : candidate.placements) {
            if (placement.name == name) {
                if (screen) {
                    *screen = &candidate;
                }
                return &placement;
            }
        }
    }
    return nullptr;
}

QString WhereUsed(const QString& name) {
    QStringList titles;
    for (const Screen& screen : Screens()) {
        for (const Placement& placement : screen.placements) {
            // "devices (no toy)" and "devices" are one screen in two states
            const QString title = screen.title.section(QStringLiteral(" ("), 0, 0);
            if (placement.name == name && !titles.contains(title)) {
                titles.append(title);
            }
        }
    }
    return titles.join(QStringLiteral(", "));
}

QRect PopupBox() {
    return QRect(186, 132, 564 - 186, 428 - 132);
}

} // namespace Art
