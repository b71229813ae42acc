#include "slots/launch_slots.h"

#include "slots/settings_layout.h"

namespace td {

namespace {

constexpr wchar_t kBrowseFilter[] = L"Executables (*.exe)|*.exe|All Files (*.*)|*.*|";

}  // namespace

bool LaunchSlots::held(int slot) const {
    return settings_.held(settings::appKey(slot));
}

bool LaunchSlots::keepHeld(ui::TextBox& box, const settings::Key& key) {
    if (!settings_.held(key)) return false;
    const std::wstring text = settings_.read(key, L"");
    if (box.text() == text) return false;
    box.setText(text);  // runs the change rule again, with the policy's text
    return true;
}

void LaunchSlots::App_Change(int slot) {
    if (keepHeld(*slots_.App[slot], settings::appKey(slot))) return;
    slots_.Caption[slot]->setEnabled(!slots_.App[slot]->text().empty());
    slots_.mnu[slot]->setVisible(!slots_.App[slot]->text().empty());
    slots_.mnu[slot]->setIconSource(slots_.App[slot]->text());
}

void LaunchSlots::Caption_Change(int slot) {
    if (keepHeld(*slots_.Caption[slot], settings::captionKey(slot))) return;
    slots_.mnu[slot]->setCaption(slots_.Caption[slot]->text());
}

void LaunchSlots::cmdApp_Click(int slot) {
    if (held(slot)) return;
    // The dialog's only option: no read-only check box. Nothing else is asked of it, so it
    // does not insist that a typed file or folder exists.
    Dialog1.flags = kOpenHideReadOnly;
    Dialog1.filter = kBrowseFilter;
    Dialog1.filterIndex = 1;
    // It offers the file name last chosen by any slot. A cancel or a failure changes nothing
    // and shows nothing.
    if (!services_.openDialog.showOpen(window_, Dialog1)) return;
    slots_.App[slot]->setText(Dialog1.fileName);
}

void LaunchSlots::App_Drop(int slot, const std::wstring& commandLine) {
    slots_.App[slot]->setText(commandLine);
}

void LaunchSlots::mnuFile_Click() {
    for (int n = 1; n <= kSlotCount; ++n) slots_.mnu[n]->setEnabled(!slots_.App[n]->text().empty());
}

void LaunchSlots::mnu_Click(int slot) {
    // The path box's current text, confirmed or not, exactly as typed.
    if (services_.starter.StartProgram(slots_.App[slot]->text(), kShowNormal)) return;
    services_.messages.show(&window_, L"File ''" + slots_.App[slot]->text() + L"'' not found.",
                            L"Tillerdocker", kExclamationOk);
    // A plain show: the window state and the Configure/Hide pair stay as they were.
    window_.show();
    window_.setFocus(*slots_.App[slot]);
}

bool LaunchSlots::readStartupOption() {
    // A text that is neither a truth word nor a number can only come from outside the
    // program; it reads as "off" rather than ending the load without an icon or a window.
    const bool option =
        settings::toTruthValue(settings_.read(settings::startupKey(), L"0")).value_or(false);
    // Written back as "True" or "False": unchanged, whatever form of truth was stored.
    settings_.hold(settings::startupKey(), settings::truthText(option));
    return option;
}

void LaunchSlots::readSlotTexts() {
    // Each actual change runs the box's change rule.
    for (int n = 1; n <= kSlotCount; ++n)
        slots_.App[n]->setText(settings_.read(settings::appKey(n), L""));
    for (int n = 1; n <= kSlotCount; ++n)
        slots_.Caption[n]->setText(settings_.read(settings::captionKey(n), L""));
}

void LaunchSlots::readSlot(int slot) {
    slots_.App[slot]->setText(settings_.read(settings::appKey(slot), L""));
    slots_.Caption[slot]->setText(settings_.read(settings::captionKey(slot), L""));
}

bool LaunchSlots::lockHeldSlots() {
    bool any = false;
    for (int n = 1; n <= kSlotCount; ++n) {
        const bool locked = held(n);
        any |= locked;
        for (ui::TextBox* box : {slots_.App[n], slots_.Caption[n]}) {
            box->setReadOnly(locked);
            settings::showHeld(*box, locked);
        }
        slots_.cmdApp[n]->setEnabled(!locked);
    }
    return any;
}

void LaunchSlots::applyDerivedState() {
    for (int n = 1; n <= kSlotCount; ++n)
        slots_.Caption[n]->setEnabled(!slots_.App[n]->text().empty());
    for (int n = 1; n <= kSlotCount; ++n) slots_.mnu[n]->setCaption(slots_.Caption[n]->text());
}

bool LaunchSlots::saveSettings(bool startupOption, SaveMoment moment) {
    settings::SaveFailures failures;
    settings_.write(settings::startupKey(), settings::truthText(startupOption), failures);
    for (int n = 1; n <= kSlotCount; ++n)
        settings_.write(settings::appKey(n), slots_.App[n]->text(), failures);
    for (int n = 1; n <= kSlotCount; ++n)
        settings_.write(settings::captionKey(n), slots_.Caption[n]->text(), failures);
    if (failures.empty()) return true;
    // At log-off or shutdown nobody can answer a message, and the process ends as soon as the
    // closing returns, so a failure then goes unreported.
    if (moment == SaveMoment::EndOfSession) return false;
    const std::wstring outcome =
        moment == SaveMoment::Closing
            ? std::wstring(L"Those changes are lost; ") + kProductName + L" will now close."
            : L"Your changes are still in the window. Press OK to try again.";
    services_.messages.show(
        &window_,
        settings::report(failures, std::wstring(kProductName) + L" could not save these settings:",
                         outcome),
        kProductName, kExclamationOk);
    return false;
}

}  // namespace td
