// A form window's procedure: the messages of its menus and controls, its state and size,
// its closing, and the look of its link labels.
#include "platform/win32/form_window.h"
#include "platform/win32/user_environment.h"
#include "platform/win32/window_system.h"

namespace td::win32 {

namespace {

// Links are pure blue, but in a high-contrast scheme the scheme's own colour for them.
COLORREF linkColour() {
    HIGHCONTRASTW contrast = {sizeof(contrast)};
    if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return GetSysColor(COLOR_HOTLIGHT);
    return RGB(0, 0, 255);
}

}  // namespace

void FormWindow::onCommand(WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    HWND from = reinterpret_cast<HWND>(lParam);
    if (!from) {
        if (code != 0) return;
        // The dialog keys Enter and Esc arrive as commands 1 and 2, which no item uses: they
        // press the window's default and cancel buttons, where it has them.
        ui::Button* dialogButton = id == IDOK       ? form_.defaultButton()
                                   : id == IDCANCEL ? form_.cancelButton()
                                                    : nullptr;
        if (dialogButton) {
            if (dialogButton->enabled() && dialogButton->Click) dialogButton->Click();
            return;
        }
        // A menu command.
        if (ui::MenuItem* item = form_.findMenuItem(id); item && item->Click) item->Click();
        return;
    }
    if (NativeControl* native = controls_ ? controls_->find(from) : nullptr) native->notify(code);
}

// A file dropped onto a box that takes files: the box takes its command line. A drop on a
// hidden or greyed window, outside its client area, or beside such a box, does nothing.
void FormWindow::onDropFiles(HDROP drop) {
    const std::optional<Drop> first = takeDrop(drop);
    if (!first || !first->inClientArea || !controls_ || !IsWindowVisible(hwnd_) ||
        !IsWindowEnabled(hwnd_))
        return;
    if (ui::TextBox* box = controls_->dropTarget(first->at))
        box->Drop(commandLineOfDropped(first->file));
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const MessageHook& hook : hooks_) {
        LRESULT result = 0;
        if (hook(message, wParam, lParam, result)) return result;
    }
    switch (message) {
        case WM_COMMAND:
            onCommand(wParam, lParam);
            return 0;
        case WM_INITMENUPOPUP:
            // Opening a drop-down menu, from the menu bar or as a pop-up, runs its refresh, and
            // asks for the icons of the programs its items name.
            if (ui::MenuItem* menu =
                    menu_ ? menu_->menuOf(reinterpret_cast<HMENU>(wParam)) : nullptr) {
                menu_->requestIcons(hwnd_, dpi_);
                if (menu->Click) menu->Click();
            }
            return 0;
        case kMenuIconMessage:
            if (menu_) menu_->receiveIcon();
            return 0;
        case WM_ENTERIDLE:
            // A menu is on screen with nothing left to do: its icons are read from now on.
            if (wParam == MSGF_MENU && menu_) menu_->menuIdle();
            break;
        case WM_MEASUREITEM:
            if (menu_ && menu_->measureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case WM_DRAWITEM:
            if (menu_ && menu_->drawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
                return TRUE;
            break;
        case WM_ENTERMENULOOP:
            menuLoop_ = true;
            break;
        case WM_EXITMENULOOP:
            menuLoop_ = false;
            break;
        case WM_MENUCHAR:
            // A character no item's access key takes: a digit chooses its slot's item.
            if (const std::optional<UINT> position =
                    menu_ ? menu_->itemOfDigit(reinterpret_cast<HMENU>(lParam),
                                               static_cast<wchar_t>(LOWORD(wParam)))
                          : std::nullopt)
                return MAKELRESULT(*position, MNC_EXECUTE);
            break;
        case WM_DISPLAYCHANGE:
            forgetWorkAreas();
            break;
        case WM_SETTINGCHANGE:
            if (wParam == SPI_SETWORKAREA) forgetWorkAreas();
            if (isMain_ && lParam &&
                lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"Environment") == 0)
                environmentChanged();
            break;
        case WM_DROPFILES:
            onDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_SIZE:
            if (!applyingState_) {
                if (wParam == SIZE_MINIMIZED)
                    form_.setWindowState(ui::kMinimized);
                else if (wParam == SIZE_RESTORED && IsWindowVisible(hwnd_))
                    form_.setWindowState(ui::kNormal);
            }
            return 0;
        case WM_ACTIVATE:
            // Keep the keyboard focus on the control that had it when the user comes back.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (!HIWORD(wParam)) {
                HWND target = lastFocus_ && IsWindowEnabled(lastFocus_)
                                  ? lastFocus_
                                  : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (target) SetFocus(target);
            }
            return 0;
        case WM_CLOSE:
            form_.unload(ui::UnloadMode::CloseCommand);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            // The process ends as soon as this returns: everything is saved now.
            if (wParam && isMain_) form_.unload(ui::UnloadMode::EndSession);
            return 0;
        case WM_CTLCOLORSTATIC:
            if (isLink(reinterpret_cast<HWND>(lParam))) {
                HDC dc = reinterpret_cast<HDC>(wParam);
                SetTextColor(dc, linkColour());
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            break;
        case WM_SETCURSOR:
            if (isLink(reinterpret_cast<HWND>(wParam)) && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursorW(nullptr, IDC_HAND));
                return TRUE;
            }
            break;
        case WM_DPICHANGED:
            onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_DESTROY:
            // The menu bar is the view's to destroy, once.
            SetMenu(hwnd_, nullptr);
            break;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* view = static_cast<FormWindow*>(create->lpCreateParams);
        view->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(view));
    }
    FormWindow* view = viewOf(hwnd);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (view && view->hwnd_ == hwnd) view->hwnd_ = nullptr;
        view = nullptr;
    }
    if (!view || view->hwnd_ != hwnd) return DefWindowProcW(hwnd, message, wParam, lParam);
    // A handler may close the window and drop the last reference to its form; the form and
    // this view stay alive until the message has been handled.
    std::shared_ptr<ui::Form> keep = view->form_.shared_from_this();
    return view->handle(message, wParam, lParam);
}

}  // namespace td::win32
