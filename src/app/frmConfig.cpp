#include "app/frmConfig.h"

#include "about/frmAbout.h"
#include "app/application.h"
#include "app/window_ids.h"
#include "group/frmGroup.h"
#include "slots/settings_layout.h"

namespace td {

namespace {

// Mouse messages the tray icon reports.
constexpr unsigned kLeftButtonUp = 0x202;
constexpr unsigned kLeftDoubleClick = 0x203;
constexpr unsigned kRightButtonUp = 0x205;

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

frmConfig::frmConfig(Application& app) : Form(L"frmConfig", ids::kConfigTitle, 9000, 4935), app_(app) {
    buildControls();
    buildMenus();
}

void frmConfig::buildControls() {
    Frame1 = &add<ui::Frame>(ids::kConfigFrame, L"Frame1", ui::Rect{45, -15, 8910, 4455});
    for (int n = 1; n <= kSlotCount; ++n) {
        const SlotLayout& at = kSlotLayout[n];
        Label1[n] = &add<ui::Label>(
            ids::kCaptionLabelBase + n, L"Label1",
            ui::Rect{at.captionLeft - kLabelWidth - kLabelGap, at.captionTop + kLabelTopOffset,
                     kLabelWidth, kLabelHeight},
            Frame1, L"Caption:");
        Caption[n] = &add<ui::TextBox>(
            ids::kCaptionBase + n, L"Caption" + settings::decimalText(n),
            ui::Rect{at.captionLeft, at.captionTop, kCaptionWidth, kCaptionHeight}, Frame1);
        Caption[n]->setMaxLength(n == 9 ? kCaption9MaxLength : kCaptionMaxLength);
        Caption[n]->setText(L"App " + settings::decimalText(n));
        App[n] = &add<ui::TextBox>(ids::kAppBase + n, L"App" + settings::decimalText(n),
                                   ui::Rect{at.appLeft, at.appTop, kAppWidth, kAppHeight}, Frame1);
        cmdApp[n] = &add<ui::Button>(
            ids::kBrowseBase + n, L"cmdApp" + settings::decimalText(n),
            ui::Rect{at.browseLeft, at.browseTop, kBrowseWidth, kBrowseHeight}, Frame1, L"&Browse");

        App[n]->Change = [this, n] { App_Change(n); };
        Caption[n]->Change = [this, n] { Caption_Change(n); };
        cmdApp[n]->Click = [this, n] { cmdApp_Click(n); };
    }
    Command11 = &add<ui::Button>(ids::kOk, L"Command11",
                                 ui::Rect{kOkLeft, kButtonTop, kButtonWidth, kButtonHeight},
                                 nullptr, L"OK");
    Command11->setTooltip(L"Save changes and minimize");
    Command12 = &add<ui::Button>(ids::kCancel, L"Command12",
                                 ui::Rect{kCancelLeft, kButtonTop, kButtonWidth, kButtonHeight},
                                 nullptr, L"Cancel");
    Command12->setTooltip(L"Discard changes and minimize");
    cmdExit = &add<ui::Button>(ids::kExit, L"cmdExit",
                               ui::Rect{kExitLeft, kButtonTop, kButtonWidth, kButtonHeight},
                               nullptr, L"Exit");
    cmdExit->setTooltip(L"Save and Exit");
    Line1 = &add<ui::Line>(ids::kLine, L"Line1", ui::Rect{7770, 4545, 0, 330});

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
    mnuFile = &addMenuItem(nullptr, ids::kMenuFile, L"mnuFile", L"&Launch");
    for (int n = 1; n <= kSlotCount; ++n) {
        mnu[n] = &addMenuItem(mnuFile, ids::kMenuSlotBase + n, L"mnu" + settings::decimalText(n),
                              L"App " + settings::decimalText(n));
        mnu[n]->Click = [this, n] { mnu_Click(n); };
    }
    mnuGroupL = &addMenuItem(mnuFile, ids::kMenuGroupLaunch, L"mnuGroupL", L"&Group Launch");
    asdf = &addMenuItem(mnuFile, ids::kMenuSeparator1, L"asdf", L"-");
    mnuConfigure = &addMenuItem(mnuFile, ids::kMenuConfigure, L"mnuConfigure", L"Configure");
    mnuHide = &addMenuItem(mnuFile, ids::kMenuHide, L"mnuHide", L"&Hide");
    aklsd = &addMenuItem(mnuFile, ids::kMenuSeparator2, L"aklsd", L"-");
    mnuExit = &addMenuItem(mnuFile, ids::kMenuExit, L"mnuExit", L"E&xit");

    mnuOption = &addMenuItem(nullptr, ids::kMenuOptions, L"mnuOption", L"&Options");
    mnuGroup = &addMenuItem(mnuOption, ids::kMenuGroup, L"mnuGroup", L"&Group Launch");
    mnuStartup = &addMenuItem(mnuOption, ids::kMenuStartup, L"mnuStartup", L"&Minimize on Startup");

    mnuHelp = &addMenuItem(nullptr, ids::kMenuHelp, L"mnuHelp", L"&Help");
    mnuAbout = &addMenuItem(mnuHelp, ids::kMenuAbout, L"mnuAbout", L"&About");

    mnuFile->Click = [this] { mnuFile_Click(); };
    mnuGroupL->Click = [this] { mnuGroupL_Click(); };
    mnuConfigure->Click = [this] { mnuConfigure_Click(); };
    mnuHide->Click = [this] { mnuHide_Click(); };
    mnuExit->Click = [this] { mnuExit_Click(); };
    mnuGroup->Click = [this] { mnuGroup_Click(); };
    mnuStartup->Click = [this] { mnuStartup_Click(); };
    mnuAbout->Click = [this] { mnuAbout_Click(); };
}

void frmConfig::Form_Load() {
    // 1-2. The start-up option, and the start state that follows from it.
    readStartupOption();
    if (mnuStartup->checked()) {
        setWindowState(ui::kMinimized);
        showPair(false);
    } else {
        setWindowState(ui::kNormal);
        showPair(true);
    }
    // 3-4. Paths and captions; each actual change runs the box's change rule.
    readSlotTexts();
    // 5-7. The derived state of every slot, also of those whose text did not change.
    applyDerivedSlotState();
    for (int n = 1; n <= kSlotCount; ++n) mnu[n]->setVisible(!App[n]->text().empty());
    // 8. The group switch; the first use of the group window loads it, hidden.
    mnuGroupL->setVisible(app_.group.get()->chkGroupE->value() == 1);
    // 9. The tray icon, last.
    addTrayIcon();
}

void frmConfig::applyDerivedSlotState() {
    for (int n = 1; n <= kSlotCount; ++n) Caption[n]->setEnabled(!App[n]->text().empty());
    for (int n = 1; n <= kSlotCount; ++n) mnu[n]->setCaption(Caption[n]->text());
}

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
    mnuHide->setVisible(false);
    mnuConfigure->setVisible(true);
}

void frmConfig::mnuConfigure_Click() {
    mnuHide->setVisible(true);
    mnuConfigure->setVisible(false);
    setWindowState(ui::kNormal);
    app_.services.windows.setForeground(*this);
    show();
}

void frmConfig::mnuStartup_Click() { mnuStartup->setChecked(!mnuStartup->checked()); }

void frmConfig::mnuExit_Click() { unload(ui::UnloadMode::Code); }

void frmConfig::cmdExit_Click() { mnuExit_Click(); }

void frmConfig::Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    (void)cancel;
    // Leaving always saves, confirmed or not. At log-off or shutdown nobody can answer a
    // message, and the process ends as soon as this returns, so a failure goes unreported.
    const auto failures = saveSlotSettings();
    if (!failures.empty() && unloadMode != static_cast<std::int16_t>(ui::UnloadMode::EndSession))
        reportSaveFailures(failures, true);
    if (auto about = app_.about.peek()) about->unload(ui::UnloadMode::Code);
    if (auto group = app_.group.peek()) group->unload(ui::UnloadMode::Code);
}

void frmConfig::Form_Unload(std::int16_t& cancel) {
    (void)cancel;
    app_.services.tray.remove(*this, trayIconData_);
    trayIconPresent_ = false;
}

std::vector<SaveFailure> frmConfig::saveSlotSettings() {
    settings::Saver saver(app_.services.store);
    saver.write(settings::kStartupKey, settings::truthText(mnuStartup->checked()));
    for (int n = 1; n <= kSlotCount; ++n) saver.write(settings::appKey(n), App[n]->text());
    for (int n = 1; n <= kSlotCount; ++n) saver.write(settings::captionKey(n), Caption[n]->text());
    return saver.failures();
}

void frmConfig::reportSaveFailures(const std::vector<SaveFailure>& failures, bool closing) {
    auto describe = [](const std::wstring& key) -> std::wstring {
        if (key == settings::kStartupKey) return L"the \"Minimize on Startup\" option";
        if (key.rfind(L"Caption", 0) == 0) return L"the caption of slot " + key.substr(7);
        return L"the program of slot " + key.substr(3);
    };
    std::wstring text = L"Tillerdock could not save these settings:\n";
    for (const auto& f : failures) text += L"\n" + describe(f.key) + L": " + f.reason;
    text += closing ? L"\n\nThose changes are lost; Tillerdock will now close."
                    : L"\n\nYour changes are still in the window. Press OK to try again.";
    app_.services.messages.show(this, text, L"Tillerdock", kExclamationOk);
}

void frmConfig::readStartupOption() {
    const std::wstring startup = settings::read(app_.services.store, settings::kStartupKey, L"0");
    // A text that is neither a truth word nor a number can only come from outside the
    // program; it reads as "off" rather than ending the load without an icon or a window.
    mnuStartup->setChecked(settings::toTruthValue(startup).value_or(false));
}

void frmConfig::readSlotTexts() {
    auto& store = app_.services.store;
    for (int n = 1; n <= kSlotCount; ++n)
        App[n]->setText(settings::read(store, settings::appKey(n), L""));
    for (int n = 1; n <= kSlotCount; ++n)
        Caption[n]->setText(settings::read(store, settings::captionKey(n), L""));
}

// ---- Tray icon ----

void frmConfig::addTrayIcon() {
    trayIconData_ = TrayIconData{ids::kTrayIconId, L"Tillerdock"};
    trayIconPresent_ = app_.services.tray.add(*this, trayIconData_);
    if (!trayIconPresent_) retryTrayIcon(0);
}

// A shell that refuses the icon at logon is usually still starting: try again a few times
// over the first minute. Should the icon never come, a hidden window would be out of the
// user's reach, so it is shown instead.
void frmConfig::retryTrayIcon(std::size_t attempt) {
    if (attempt == kTrayRetrySeconds.size()) {
        if (!trayIconPresent_ && !unloaded() && mnuConfigure->visible()) mnuConfigure_Click();
        return;
    }
    const int previous = attempt == 0 ? 0 : kTrayRetrySeconds[attempt - 1];
    const auto delay = std::chrono::seconds(kTrayRetrySeconds[attempt] - previous);
    std::weak_ptr<ui::Form> weak = weak_from_this();
    app_.services.windows.runAfter(delay, [this, weak, attempt] {
        if (weak.expired() || unloaded() || trayIconPresent_) return;
        trayIconPresent_ = app_.services.tray.add(*this, trayIconData_);
        retryTrayIcon(attempt + 1);
    });
}

void frmConfig::TaskbarCreated() {
    if (unloaded()) return;
    // A restarted shell has lost every icon; a shell that announces itself late accepts the
    // one it refused. Should the old icon still be there, it is replaced.
    bool added = app_.services.tray.add(*this, trayIconData_);
    if (!added) {
        app_.services.tray.remove(*this, trayIconData_);
        added = app_.services.tray.add(*this, trayIconData_);
    }
    trayIconPresent_ = added;
}

void frmConfig::TrayIcon_Notify(unsigned mouseMessage) {
    switch (mouseMessage) {
        case kLeftButtonUp:
            break;
        case kLeftDoubleClick:
            if (mnuConfigure->visible()) {
                setWindowState(ui::kNormal);
                app_.services.windows.setForeground(*this);
                show();
                mnuConfigure->setVisible(false);
                mnuHide->setVisible(true);
            } else {
                setWindowState(ui::kMinimized);
                mnuConfigure->setVisible(true);
                mnuHide->setVisible(false);
            }
            break;
        case kRightButtonUp:
            app_.services.windows.setForeground(*this);
            app_.services.windows.popupMenu(*this, *mnuFile,
                                            mnuConfigure->visible() ? mnuConfigure : mnuHide);
            break;
        default:
            break;
    }
}

// ---- The other windows ----

void frmConfig::mnuGroup_Click() { app_.services.windows.showModal(*app_.group.get(), *this); }

void frmConfig::mnuAbout_Click() { app_.services.windows.showModal(*app_.about.get(), *this); }

void frmConfig::mnuGroupL_Click() { LaunchGroup(app_); }

}  // namespace td
