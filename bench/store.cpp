#include "store.h"

#include "drive/process.h"
#include "drive/settings.h"

namespace bench {

void prepareStore(Store store, const std::wstring& target) {
    drive::clearSettings();
    if (store == Store::Empty) return;
    drive::setSetting(L"Startup", L"True");
    for (int n = 1; n <= 10; ++n) {
        const std::wstring number = std::to_wstring(n);
        std::wstring line = target;
        if (store == Store::Menu)
            line = n == 10 ? kUnreachableProgram : drive::quoted(target) + L" " + number;
        drive::setSetting(L"App" + number, line);
        drive::setSetting(L"Caption" + number, L"Target " + number);
    }
    drive::setSetting(L"chkGroupE", L"1");
    for (int n = 1; n <= 10; ++n)
        drive::setSetting(L"chkGApp" + std::to_wstring(n), n == 1 ? L"1" : L"0");
    if (store == Store::Menu) drive::setSetting(L"Hotkey", std::to_wstring(kMenuHotKey));
}

}  // namespace bench
