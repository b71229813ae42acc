#include "app/frmConfig.h"

#include "about/frmAbout.h"
#include "app/application.h"
#include "app/frmShortcut.h"
#include "group/frmGroup.h"
#include "platform/text.h"
#include "shared/window_ids.h"

namespace td {

namespace {

// Positions inside the frame (twips): caption box, path box and Browse button of each slot.
struct SlotLayout {
    int captionLeft, captionTop;
    int appLeft, appTop;
    int browseLeft, browseTop;
};

constexpr std::array<SlotLayout, kSlotCount + 1> kSlotLayout{{
    {},
    {840, 270, 120, 600, 3345, 555},
    {5265, 270, 4560, 600, 7800, 555},
    {825, 1110, 120, 1440, 3360, 1395},
    {5265, 1110, 4605, 1440, 7800, 1395},
    {825, 1965, 120, 2295, 3360, 2235},
    {5265, 1965, 4560, 2295, 7800, 2235},
    {825, 2805, 120, 3135, 3360, 3090},
    {5265, 2805, 4560, 3135, 7800, 3090},
    {825, 3660, 120, 3990, 3360, 3945},
    {5265, 3660, 4560, 3990, 7800, 3945},
}};

constexpr int kCaptionWidth = 1965, kCaptionHeight = 285;
constexpr int kAppWidth = 3135, kAppHeight = 285;
constexpr int kBrowseWidth = 975, kBrowseHeight = 375;
// The "Caption:" label sits left of its caption box, level with its text.
constexpr int kLabelGap = 30, kLabelWidth = 690, kLabelTopOffset = 45, kLabelHeight = 195;
constexpr int kButtonTop = 4530, kButtonWidth = 1065, kButtonHeight = 345;
constexpr int kOkLeft = 5385, kCancelLeft = 6585, kExitLeft = 7905;

constexpr std::size_t kCaptionMaxLength = 22;
constexpr std::size_t kCaption9MaxLength = 30;

// Focus order of the slot families: slots 10, 8, 6, 4, 2, 9, 7, 5, 3, 1.
constexpr std::array<int, kSlotCount> kCaptionTabSlots{10, 8, 6, 4, 2, 9, 7, 5, 3, 1};

}  // namespace

frmConfig::frmConfig(Application& app)
    : Form(L"frmConfig", ids::kConfigTitle, 9000, 4935),
      slots(*this, *this, app.services, app.settings),
      launchShortcut(*this, app.services, app.settings),
      app_(app) {
    buildControls();
    buildMenus();
}

void frmConfig::buildControls() {
    Frame1 = &add<ui::Frame>(ids::kConfigFrame, ui::Rect{45, -15, 8910, 4455});
    for (int n = 1; n <= kSlotCount; ++n) {
        const SlotLayout& at = kSlotLayout[n];
        Label1[n] =
            &add<ui::Label>(ids::kCaptionLabelBase + n,
                            ui::Rect{at.captionLeft - kLabelWidth - kLabelGap,
                                     at.captionTop + kLabelTopOffset, kLabelWidth, kLabelHeight},
                            Frame1, L"Caption:");
        Caption[n] = &add<ui::TextBox>(
            ids::kCaptionBase + n,
            ui::Rect{at.captionLeft, at.captionTop, kCaptionWidth, kCaptionHeight}, Frame1);
        Caption[n]->setMaxLength(n == 9 ? kCaption9MaxLength : kCaptionMaxLength);
        Caption[n]->setText(L"App " + decimalText(n));
        App[n] = &add<ui::TextBox>(ids::kAppBase + n,
                                   ui::Rect{at.appLeft, at.appTop, kAppWidth, kAppHeight}, Frame1);
        cmdApp[n] = &add<ui::Button>(
            ids::kBrowseBase + n,
            ui::Rect{at.browseLeft, at.browseTop, kBrowseWidth, kBrowseHeight}, Frame1, L"&Browse");

        // The path boxes have no label, and the caption boxes share one text: each is named
        // for screen readers by what it holds.
        App[n]->setAccessibleName(L"Slot " + decimalText(n) + L" command line");
        Caption[n]->setAccessibleName(L"Slot " + decimalText(n) + L" caption");
        cmdApp[n]->setAccessibleName(L"Browse for the program of slot " + decimalText(n));
        App[n]->Change = [this, n] { slots.App_Change(n); };
        App[n]->Drop = [this, n](const std::wstring& line) { slots.App_Drop(n, line); };
        Caption[n]->Change = [this, n] { slots.Caption_Change(n); };
        cmdApp[n]->Click = [this, n] { slots.cmdApp_Click(n); };
    }
    auto button = [this](int id, int left, const wchar_t* caption, const wchar_t* tooltip) {
        auto& b = add<ui::Button>(id, ui::Rect{left, kButtonTop, kButtonWidth, kButtonHeight},
                                  nullptr, caption);
        b.setTooltip(tooltip);
        return &b;
    };
    Command11 = button(ids::kOk, kOkLeft, L"OK", L"Save changes and minimize");
    Command12 = button(ids::kCancel, kCancelLeft, L"Cancel", L"Discard changes and minimize");
    cmdExit = button(ids::kExit, kExitLeft, L"Exit", L"Save and Exit");
    Line1 = &add<ui::Line>(ids::kLine, ui::Rect{7770, 4545, 0, 330});
    lblPolicy = &add<ui::Label>(ids::kConfigPolicyNotice, ui::Rect{120, 4575, 5130, 255}, nullptr,
                                settings::kSetByOrganization);
    lblPolicy->setVisible(false);

    Command11->Click = [this] { Command11_Click(); };
    Command12->Click = [this] { Command12_Click(); };
    cmdExit->Click = [this] { cmdExit_Click(); };

    std::vector<ui::Control*> order{Command11, Command12, cmdExit};
    for (int n : kCaptionTabSlots) order.push_back(Caption[n]);
    for (int n : kCaptionTabSlots) order.push_back(cmdApp[n]);
    for (int n = kSlotCount; n >= 1; --n) order.push_back(App[n]);
    setTabOrder(order);
}

void frmConfig::buildMenus() {
    using Kind = ui::MenuItem::Kind;
    mnuFile = &addMenuItem(nullptr, ids::kMenuFile, L"&Launch");
    for (int n = 1; n <= kSlotCount; ++n) {
        mnu[n] = &addMenuItem(mnuFile, ids::kMenuSlotBase + n, L"App " + decimalText(n));
        mnu[n]->Click = [this, n] { slots.mnu_Click(n); };
        // While the menu is open, 1 to 9 choose slots 1 to 9 and 0 slot 10.
        mnu[n]->setDigit(static_cast<wchar_t>(L'0' + n % 10));
    }
    mnuGroupL = &addMenuItem(mnuFile, ids::kMenuGroupLaunch, L"&Group Launch");
    asdf = &addMenuItem(mnuFile, ids::kMenuSeparator1, L"", Kind::Separator);
    mnuConfigure = &addMenuItem(mnuFile, ids::kMenuConfigure, L"Configure");
    mnuHide = &addMenuItem(mnuFile, ids::kMenuHide, L"&Hide");
    aklsd = &addMenuItem(mnuFile, ids::kMenuSeparator2, L"", Kind::Separator);
    mnuExit = &addMenuItem(mnuFile, ids::kMenuExit, L"E&xit");

    mnuOption = &addMenuItem(nullptr, ids::kMenuOptions, L"&Options");
    mnuGroup = &addMenuItem(mnuOption, ids::kMenuGroup, L"&Group Launch");
    mnuStartup = &addMenuItem(mnuOption, ids::kMenuStartup, L"&Minimize on Startup");
    mnuShortcut = &addMenuItem(mnuOption, ids::kMenuShortcut, L"Launch Menu &Shortcut...");

    mnuHelp = &addMenuItem(nullptr, ids::kMenuHelp, L"&Help");
    mnuAbout = &addMenuItem(mnuHelp, ids::kMenuAbout, L"&About");

    mnuFile->Click = [this] { slots.mnuFile_Click(); };
    mnuGroupL->Click = [this] { mnuGroupL_Click(); };
    mnuConfigure->Click = [this] { mnuConfigure_Click(); };
    mnuHide->Click = [this] { mnuHide_Click(); };
    mnuExit->Click = [this] { mnuExit_Click(); };
    mnuGroup->Click = [this] { mnuGroup_Click(); };
    mnuStartup->Click = [this] { mnuStartup_Click(); };
    mnuAbout->Click = [this] { mnuAbout_Click(); };
    mnuShortcut->Click = [this] { mnuShortcut_Click(); };
}

void frmConfig::Form_Load() {
    // What policy holds takes the place of the user's own settings from the first read on.
    app_.services.policies.listen(*this, [this] { Policy_Changed(); });
    app_.settings.readPolicy();
    // The start-up option, and the start state that follows from it.
    mnuStartup->setChecked(slots.readStartupOption());
    if (mnuStartup->checked()) {
        setWindowState(ui::kMinimized);
        showPair(false);
    } else {
        setWindowState(ui::kNormal);
        showPair(true);
    }
    // Paths and captions; each actual change runs the box's change rule. Then the derived
    // state of every slot, also of those whose text did not change.
    slots.readSlotTexts();
    slots.applyDerivedState();
    for (int n = 1; n <= kSlotCount; ++n) mnu[n]->setVisible(!App[n]->text().empty());
    lockHeldSettings();
    // The group switch; the first use of the group window loads it, hidden.
    mnuGroupL->setVisible(app_.group.get()->chkGroupE->value() == 1);
    // The tray icon, last of what the window shows; then the shortcut, which needs the window
    // and no icon.
    addTrayIcon();
    app_.services.hotKey.listen(*this, [this](const PopupPlace& place) { HotKey_Pressed(place); });
    launchShortcut.load();
}

// The one record of whether the window is hidden: which of "Configure" and "Hide" is offered.
void frmConfig::showPair(bool windowShown) {
    mnuHide->setVisible(windowShown);
    mnuConfigure->setVisible(!windowShown);
}

void frmConfig::Form_Resize() {
    if (windowState() == ui::kMinimized) {
        hide();
        showPair(false);
    } else {
        showPair(true);
    }
}

void frmConfig::mnuHide_Click() {
    setWindowState(ui::kMinimized);
    showPair(false);
}

void frmConfig::mnuConfigure_Click() {
    showPair(true);
    setWindowState(ui::kNormal);
    app_.services.windows.setForeground(*this);
    show();
}

void frmConfig::mnuStartup_Click() {
    if (app_.settings.held(settings::startupKey())) return;
    mnuStartup->setChecked(!mnuStartup->checked());
}

void frmConfig::mnuExit_Click() {
    unload(ui::UnloadMode::Code);
}

void frmConfig::cmdExit_Click() {
    mnuExit_Click();
}

void frmConfig::Command11_Click() {
    // Should a write fail, hiding the window would look like a save: the edits stay on
    // screen instead.
    if (!slots.saveSettings(mnuStartup->checked(), SaveMoment::Confirmed)) return;
    showPair(false);
    hide();
}

void frmConfig::Command12_Click() {
    mnuStartup->setChecked(slots.readStartupOption());
    slots.readSlotTexts();
    slots.applyDerivedState();
    showPair(false);
    hide();
}

void frmConfig::Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    (void)cancel;
    // Leaving always saves, confirmed or not.
    const bool endOfSession = unloadMode == static_cast<std::int16_t>(ui::UnloadMode::EndSession);
    slots.saveSettings(mnuStartup->checked(),
                       endOfSession ? SaveMoment::EndOfSession : SaveMoment::Closing);
    if (auto about = app_.about.peek()) about->unload(ui::UnloadMode::Code);
    if (auto shortcut = app_.shortcut.peek()) shortcut->unload(ui::UnloadMode::Code);
    if (auto group = app_.group.peek()) group->unload(ui::UnloadMode::Code);
}

void frmConfig::Form_Unload(std::int16_t& cancel) {
    (void)cancel;
    app_.services.tray.remove(*this, trayIconData_);
    trayIconPresent_ = false;
    launchShortcut.release();
}

// ---- The other windows ----

void frmConfig::mnuGroup_Click() {
    app_.showModal(*app_.group.get());
}

void frmConfig::mnuAbout_Click() {
    app_.showModal(*app_.about.get());
}

void frmConfig::mnuShortcut_Click() {
    app_.showModal(*app_.shortcut.get());
}

void frmConfig::mnuGroupL_Click() {
    LaunchGroup(app_);
}

}  // namespace td
