#include "app/application.h"

#include "about/frmAbout.h"
#include "app/frmConfig.h"
#include "group/frmGroup.h"

namespace td {

Application::Application(Services s) : services(s), config(*this), group(*this), about(*this) {}

Application::~Application() = default;

void Application::start() { config.get()->show(); }

}  // namespace td
