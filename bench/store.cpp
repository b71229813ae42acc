#include "store.h"

#include "drive/settings.h"

namespace bench {

void prepareStore(Store store, const std::wstring& target) {
    drive::clearSettings();
    if (store == Store::Empty) return;
    drive::setSetting(L"Startup", L"True");
    for (int n = 1; n <= 10; ++n) {
        drive::setSetting(L"App" + std::to_wstring(n), target);
        drive::setSetting(L"Caption" + std::to_wstring(n), L"Target " + std::to_wstring(n));
    }
    drive::setSetting(L"chkGroupE", L"1");
    for (int n = 1; n <= 10; ++n)
        drive::setSetting(L"chkGApp" + std::to_wstring(n), n == 1 ? L"1" : L"0");
}

}  // namespace bench
