#pragma once
// Every message number of the application, in one place. Screens, popups and
// workers talk to the frame only through these.

#include <cstdint>

namespace UI {

constexpr std::uint32_t WM_USER = 0x0400;

// Tray icon callback (the tray window), and the mouse message a second
// instance sends with it to bring the first one forward.
constexpr std::uint32_t WM_GLM_TRAY_CALLBACK = WM_USER + 1; // 1025
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;          // 518

// Raised by the web service client, passed on by the splash to the frame.
constexpr std::uint32_t WM_GLM_CONNECT_ERROR = WM_USER + 200;  // 1224
constexpr std::uint32_t WM_GLM_RESPONSE_ERROR = WM_USER + 201; // 1225
constexpr std::uint32_t WM_GLM_DEVICE_ERROR = WM_USER + 202;   // 1226
constexpr std::uint32_t WM_GLM_FLASH_UPDATE = WM_USER + 203;   // 1227

// Toy discovery to the devices screen: wParam 1 arrival, 2 removal; the
// message's object is the new toy, owned by the receiver.
constexpr std::uint32_t WM_GLM_DEVICE_CHANGE = WM_USER + 300; // 1324
constexpr std::uintptr_t kDeviceArrival = 1;
constexpr std::uintptr_t kDeviceRemoval = 2;

// Patcher to splash.
constexpr std::uint32_t WM_GLM_PATCH_PROGRESS = WM_USER + 400; // 1424, wParam percent
constexpr std::uint32_t WM_GLM_PATCH_DONE = WM_USER + 401;     // 1425
constexpr std::uint32_t WM_GLM_START_ERROR = WM_USER + 402;    // 1426

// Frame messages.
constexpr std::uint32_t WM_GLM_SHOW_SPLASH = 1521;
constexpr std::uint32_t WM_GLM_SHOW_DEVICES = 1523;
constexpr std::uint32_t WM_GLM_SHOW_DEVICE_RESET = 1524;
constexpr std::uint32_t WM_GLM_SHOW_SIGN_IN = 1525;
constexpr std::uint32_t WM_GLM_SHOW_SIGN_UP = 1526;
constexpr std::uint32_t WM_GLM_SCREEN_DONE = 1527;
constexpr std::uint32_t WM_GLM_SHOW_CHARM_COLLECTION = 1528;
constexpr std::uint32_t WM_GLM_SHOW_BRACELET_SETUP = 1530;
constexpr std::uint32_t WM_GLM_SHOW_QUICKPHRASE_POPUP = 1531;
constexpr std::uint32_t WM_GLM_SHOW_FRIENDSHIP_UPLOAD = 1532;
constexpr std::uint32_t WM_GLM_SHOW_FRIENDSHIP_INVITE = 1533;
constexpr std::uint32_t WM_GLM_SHOW_FRIENDSHIP_CONGRATS = 1534;
constexpr std::uint32_t WM_GLM_SHOW_FRIENDSHIP_INVITE_2 = 1535; // same handling as 1533
constexpr std::uint32_t WM_GLM_SHOW_FRIENDSHIP_STATUS = 1536;
constexpr std::uint32_t WM_GLM_SHOW_CHARM_UPLOAD = 1539;
constexpr std::uint32_t WM_GLM_SHOW_CHARM_CONGRATS = 1541;
constexpr std::uint32_t WM_GLM_SHOW_GLINT_UPLOAD = 1542;
constexpr std::uint32_t WM_GLM_SHOW_GLINT_CONFIRM = 1543;
constexpr std::uint32_t WM_GLM_SHOW_GLINT_UPLOAD_CONGRATS = 1544;
constexpr std::uint32_t WM_GLM_SHOW_GLINT_REDEEM = 1545;
constexpr std::uint32_t WM_GLM_SHOW_GLINT_REDEEM_CONGRATS = 1547;
constexpr std::uint32_t WM_GLM_SHOW_REDEEM_WARNING = 1548;
constexpr std::uint32_t WM_GLM_SHOW_SETUP_CONFIRM = 1549;
constexpr std::uint32_t WM_GLM_SHOW_SETUP_CONGRATS = 1550;
constexpr std::uint32_t WM_GLM_SHOW_TUTORIAL = 1551;
constexpr std::uint32_t WM_GLM_START = 1552;
constexpr std::uint32_t WM_GLM_START_SCREENS = 1553;
constexpr std::uint32_t WM_GLM_OPEN_BRACELET_SETUP = 1554;
constexpr std::uint32_t WM_GLM_OPEN_FRIENDSHIP_UPLOAD = 1555;
constexpr std::uint32_t WM_GLM_OPEN_CHARM_UPLOAD = 1556;
constexpr std::uint32_t WM_GLM_OPEN_GLINT_UPLOAD = 1557;
constexpr std::uint32_t WM_GLM_OPEN_GLINT_REDEEM = 1558;
constexpr std::uint32_t WM_GLM_OPEN_TUTORIAL = 1559;
constexpr std::uint32_t WM_GLM_HIDE_ALL = 1560;
constexpr std::uint32_t WM_GLM_FRIENDSHIP_NEXT = 1579;
constexpr std::uint32_t WM_GLM_CHARM_NEXT = 1580;
constexpr std::uint32_t WM_GLM_GLINT_UPLOAD_NEXT = 1581;
constexpr std::uint32_t WM_GLM_GLINT_REDEEM_NEXT = 1582;
constexpr std::uint32_t WM_GLM_MAIN_MENU_REFRESH = 1583;
constexpr std::uint32_t WM_GLM_SHOW_CONGRATS = 1621;
constexpr std::uint32_t WM_GLM_SHOW_ERROR = 1622;
constexpr std::uint32_t WM_GLM_TRAY_COMMAND = 1625;
// From the set-up screens' movies to their screen: an avatar clicked (lParam
// the Fairy's id), the congratulation movie clicked.
constexpr std::uint32_t WM_GLM_FAIRY_SELECTED = WM_USER + 550; // 1574
constexpr std::uint32_t WM_GLM_SETUP_MOVIE = 1623;

// Tray menu commands (menu 155).
constexpr std::uintptr_t ID_TRAY_SHOW = 32774;
constexpr std::uintptr_t ID_TRAY_HIDE = 32775;
constexpr std::uintptr_t ID_TRAY_EXIT = 32776;

// Standard window messages the frame and its screens still speak.
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_COMMAND = 0x0111;

} // namespace UI
