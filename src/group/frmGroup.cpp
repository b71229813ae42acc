#include "group/frmGroup.h"

#include "app/application.h"
#include "app/frmConfig.h"
#include "platform/text.h"
#include "shared/window_ids.h"
#include "slots/settings_layout.h"

namespace td {

namespace {

struct BoxLayout {
    int left, top, width;
};

// Inside the frame, in twips; every box is 195 high.
constexpr std::array<BoxLayout, kSlotCount + 1> kBoxLayout{{
    {},
    {195, 450, 2265},
    {195, 750, 2310},
    {195, 1065, 2325},
    {195, 1395, 2340},
    {195, 1710, 2325},
    {2595, 450, 2025},
    {2595, 750, 2055},
    {2595, 1065, 2085},
    {2595, 1395, 2085},
    {2595, 1710, 2085},
}};
constexpr int kBoxHeight = 195;

}  // namespace

frmGroup::frmGroup(Application& app) : Form(L"frmGroup", ids::kGroupTitle, 4830, 3330), app_(app) {
    setHasIcon(false);
    Label1 = &add<ui::Label>(ids::kGroupHeading, ui::Rect{60, 60, 4725, 375}, nullptr,
                             L"Group Launch", ui::LabelStyle::Heading);
    Frame1 = &add<ui::Frame>(ids::kGroupFrame, ui::Rect{45, 435, 4725, 2400});
    chkGroupE =
        &add<ui::CheckBox>(ids::kGroupSwitch, ui::Rect{210, 450, 975, 210}, nullptr, L"Enabled?");
    for (int n = 1; n <= kSlotCount; ++n) {
        const BoxLayout& at = kBoxLayout[n];
        chkApp[n] = &add<ui::CheckBox>(ids::kGroupBoxBase + n,
                                       ui::Rect{at.left, at.top, at.width, kBoxHeight}, Frame1,
                                       L"App " + decimalText(n));
    }
    Label9 = &add<ui::Label>(ids::kGroupNotice, ui::Rect{60, 2085, 4620, 255}, Frame1,
                             kOwnershipNotice, ui::LabelStyle::Centered);
    Command2 = &add<ui::Button>(ids::kGroupOkay, ui::Rect{2475, 2925, 1110, 360}, nullptr, L"Okay");
    Command1 =
        &add<ui::Button>(ids::kGroupCancel, ui::Rect{3690, 2925, 1110, 360}, nullptr, L"Cancel");
    lblPolicy = &add<ui::Label>(ids::kGroupPolicyNotice, ui::Rect{60, 3000, 2355, 255}, nullptr,
                                settings::kSetByOrganization);
    lblPolicy->setVisible(false);

    chkGroupE->Click = [this] { chkGroupE_Click(); };
    Command2->Click = [this] { Command2_Click(); };
    Command1->Click = [this] { Command1_Click(); };

    setTabOrder({chkApp[1], chkApp[6], chkApp[2], chkApp[7], chkApp[3], chkApp[8], Command2,
                 Command1, chkApp[4], chkApp[9], chkApp[5], chkApp[10], chkGroupE});
}

void frmGroup::readBox(ui::CheckBox& box, const settings::Key& key) {
    if (auto value = settings::toInteger16(app_.settings.read(key, L"0"))) box.setValue(*value);
    // Written back as the box's state: unchanged, whatever form of the number was stored.
    app_.settings.hold(key, decimalText(box.value()));
}

void frmGroup::enableBoxes() {
    const bool held = app_.settings.held(settings::groupSwitchKey());
    for (int n = 1; n <= kSlotCount; ++n) chkApp[n]->setEnabled(!held && chkGroupE->value() == 1);
    chkGroupE->setEnabled(!held);
    settings::showHeld(*chkGroupE, held);
    for (int n = 1; n <= kSlotCount; ++n) settings::showHeld(*chkApp[n], held);
    lblPolicy->setVisible(held);
}

void frmGroup::Form_Load() {
    readBox(*chkGroupE, settings::groupSwitchKey());
    auto config = app_.config.get();
    config->mnuGroupL->setVisible(chkGroupE->value() == 1);
    for (int n = 1; n <= kSlotCount; ++n) readBox(*chkApp[n], settings::groupKey(n));
    enableBoxes();
    // The captions as the main window shows them now; they stay until this window closes.
    for (int n = 1; n <= kSlotCount; ++n) chkApp[n]->setCaption(config->Caption[n]->text());
}

void frmGroup::chkGroupE_Click() {
    enableBoxes();
}

void frmGroup::Policy_Changed() {
    readBox(*chkGroupE, settings::groupSwitchKey());
    for (int n = 1; n <= kSlotCount; ++n) readBox(*chkApp[n], settings::groupKey(n));
    enableBoxes();
    app_.config.get()->mnuGroupL->setVisible(chkGroupE->value() == 1);
}

void frmGroup::Command2_Click() {
    settings::SaveFailures failures;
    app_.settings.write(settings::groupSwitchKey(), decimalText(chkGroupE->value()), failures);
    for (int n = 1; n <= kSlotCount; ++n)
        app_.settings.write(settings::groupKey(n), decimalText(chkApp[n]->value()), failures);
    if (!failures.empty()) {
        // Closing now would look like a save; the choices stay on screen instead.
        app_.services.messages.show(
            this,
            settings::report(failures,
                             std::wstring(kProductName) + L" could not save the group selection:",
                             L"Your choices are still in the window. Press Okay to try again."),
            kProductName, kExclamationOk);
        return;
    }
    unload(ui::UnloadMode::Code);
}

void frmGroup::Command1_Click() {
    // Restored before closing, so that the closing sets the menu from the stored switch.
    readBox(*chkGroupE, settings::groupSwitchKey());
    for (int n = 1; n <= kSlotCount; ++n) readBox(*chkApp[n], settings::groupKey(n));
    unload(ui::UnloadMode::Code);
}

void frmGroup::Form_QueryUnload(std::int16_t& cancel, std::int16_t unloadMode) {
    (void)cancel;
    (void)unloadMode;
    app_.config.get()->mnuGroupL->setVisible(chkGroupE->value() == 1);
    if (app_.group.peek().get() == this) app_.group.reset();
}

}  // namespace td
