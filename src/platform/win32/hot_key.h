// The program's system-wide shortcut: registered on the main window, whatever program is in
// the foreground, and its presses turned into calls of the handler.
#pragma once

#include <functional>

#include "platform/services.h"
#include "platform/win32/win32.h"

namespace td::win32 {

class Win32HotKey : public HotKey {
public:
    void listen(ui::Form& owner, std::function<void(const PopupPlace&)> pressed) override;
    bool set(ui::Form& owner, HotKeyCombination combination) override;
    std::wstring describe(HotKeyCombination combination) override;
    std::wstring typedText(HotKeyCombination combination) override;
    void returnFocus() override;

private:
    std::function<void(const PopupPlace&)> pressed_;
    HotKeyCombination inForce_ = 0;
    // The identifier registered: 1 or 2, as a new combination is registered beside the old
    // one before the old one goes; 0 for none.
    int id_ = 0;
    HWND previousForeground_ = nullptr;
    ui::Form* owner_ = nullptr;
};

}  // namespace td::win32
