#include "app/application.h"

#include "about/frmAbout.h"
#include "app/frmConfig.h"
#include "app/frmShortcut.h"
#include "group/frmGroup.h"
#include "shared/product.h"

namespace td {

Application::Application(Services s)
    : services(s), settings(s.store), config(*this), group(*this), about(*this), shortcut(*this) {}

Application::~Application() = default;

bool Application::attachWindow(ui::Form& form) {
    const Status created = services.windows.attach(form);
    if (config.peek().get() == &form) mainWindowCreated_ = created.ok;
    if (created.ok) return true;
    services.messages.show(nullptr,
                           std::wstring(kProductName) + L" could not create its window \"" +
                               form.caption() + L"\".\n\n" + created.reason,
                           kProductName, kExclamationOk);
    return false;
}

bool Application::start() {
    auto main = config.get();
    if (!mainWindowCreated_) return false;
    main->show();
    return true;
}

}  // namespace td
