#include "app/application.h"

#include "about/frmAbout.h"
#include "app/frmConfig.h"
#include "app/frmShortcut.h"
#include "group/frmGroup.h"
#include "shared/product.h"

namespace td {

Application::Application(Services s)
    : services(s),
      settings(s.store, s.policies),
      config(*this),
      group(*this),
      about(*this),
      shortcut(*this) {}

Application::~Application() = default;

bool Application::attachWindow(ui::Form& form) {
    const Status created = services.windows.attach(form);
    if (config.peek().get() == &form) mainWindowCreated_ = created.ok;
    if (!created.ok) tellWindowRefused(form, created.reason);
    return created.ok;
}

void Application::showModal(ui::Form& form) {
    const Status shown = services.windows.showModal(form, *config.get());
    if (!shown.ok) tellWindowRefused(form, shown.reason);
}

void Application::tellWindowRefused(const ui::Form& form, const std::wstring& reason) {
    services.messages.show(nullptr,
                           std::wstring(kProductName) + L" could not create its window \"" +
                               form.caption() + L"\".\n\n" + reason,
                           kProductName, kExclamationOk);
}

bool Application::start() {
    auto main = config.get();
    if (!mainWindowCreated_) return false;
    main->show();
    return true;
}

}  // namespace td
