// Window class names, control identifiers and menu command identifiers of Tillerdock's
// windows. Tools that drive the program from outside (automation, the end-to-end tests) rely
// on these values: change them only together with those tools.
#pragma once

#include "shared/product.h"

namespace td::ids {

// Window classes (FindWindowW) and titles.
inline constexpr wchar_t kConfigClass[] = L"Tillerdock.frmConfig";
inline constexpr wchar_t kGroupClass[] = L"Tillerdock.frmGroup";
inline constexpr wchar_t kAboutClass[] = L"Tillerdock.frmAbout";
inline constexpr wchar_t kShortcutClass[] = L"Tillerdock.frmShortcut";
inline constexpr const wchar_t* kConfigTitle = kProductName;
inline constexpr wchar_t kGroupTitle[] = L"Group Launch";
inline constexpr wchar_t kAboutTitle[] = L"About Tillerdock";
inline constexpr wchar_t kShortcutTitle[] = L"Launch Menu Shortcut";

// The tray icon's identifier on the main window.
inline constexpr unsigned kTrayIconId = 1;

// frmConfig controls (GetDlgItem). Slot N (1 to 10) adds N to the base.
inline constexpr int kAppBase = 1100;      // App1 = 1101 ... App10 = 1110
inline constexpr int kCaptionBase = 1200;  // Caption1 = 1201 ...
inline constexpr int kBrowseBase = 1300;   // cmdApp1 = 1301 ...
inline constexpr int kCaptionLabelBase = 1400;
inline constexpr int kConfigFrame = 1001;
inline constexpr int kOk = 1011;      // Command11
inline constexpr int kCancel = 1012;  // Command12
inline constexpr int kExit = 1013;    // cmdExit
inline constexpr int kLine = 1014;
inline constexpr int kConfigPolicyNotice = 1015;  // shown while a policy holds a slot

// frmConfig menu commands (WM_COMMAND). Slot item N is kMenuSlotBase + N.
inline constexpr int kMenuSlotBase = 2000;  // mnu1 = 2001 ... mnu10 = 2010
inline constexpr int kMenuFile = 2000;
inline constexpr int kMenuGroupLaunch = 2011;  // mnuGroupL
inline constexpr int kMenuSeparator1 = 2012;
inline constexpr int kMenuConfigure = 2013;
inline constexpr int kMenuHide = 2014;
inline constexpr int kMenuSeparator2 = 2015;
inline constexpr int kMenuExit = 2016;
inline constexpr int kMenuOptions = 2100;
inline constexpr int kMenuGroup = 2101;    // mnuGroup, opens the group window
inline constexpr int kMenuStartup = 2102;  // mnuStartup
inline constexpr int kMenuShortcut = 2103;  // mnuShortcut, opens the shortcut window
inline constexpr int kMenuHelp = 2200;
inline constexpr int kMenuAbout = 2201;

// frmGroup controls. Box N is kGroupBoxBase + N.
inline constexpr int kGroupBoxBase = 3100;  // chkApp1 = 3101 ...
inline constexpr int kGroupSwitch = 3100;   // chkGroupE
inline constexpr int kGroupCancel = 3001;   // Command1
inline constexpr int kGroupOkay = 3002;     // Command2
inline constexpr int kGroupHeading = 3003;
inline constexpr int kGroupFrame = 3004;
inline constexpr int kGroupNotice = 3005;
inline constexpr int kGroupPolicyNotice = 3006;  // shown while a policy holds the group

// frmAbout controls.
inline constexpr int kAboutClose = 4001;
inline constexpr int kAboutReadMe = 4002;
inline constexpr int kAboutWebLink = 4003;
inline constexpr int kAboutMailLink = 4004;
inline constexpr int kAboutVersionFrame = 4005;
inline constexpr int kAboutVersion = 4006;
inline constexpr int kAboutBuildDate = 4007;
inline constexpr int kAboutSupportFrame = 4008;
inline constexpr int kAboutWebLabel = 4009;
inline constexpr int kAboutMailLabel = 4010;
inline constexpr int kAboutNotice = 4011;

// frmShortcut controls.
inline constexpr int kShortcutText = 5001;  // the explanation
inline constexpr int kShortcutKeys = 5002;  // the hot-key control
inline constexpr int kShortcutInUse = 5003;
inline constexpr int kShortcutOk = 5004;
inline constexpr int kShortcutCancel = 5005;

}  // namespace td::ids
