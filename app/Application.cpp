#include "app/Application.h"

namespace mapfeed {

Application::Application(Services& services_, WindowHost& host_)
    : services(services_), host(host_), mapfeed(*this, host_) {}

Application::~Application() = default;

void Application::start() {
    mapfeed.Form_Load();
    host.created(mapfeed);
}

Window* Application::window(const std::string& name) {
    for (Window* w : windows())
        if (w->name() == name) return w;
    return nullptr;
}

std::vector<Window*> Application::windows() { return {&mapfeed}; }

bool Application::knowsWindow(const std::string& name) const { return name == "mapfeed"; }

Control* Application::prototypeControl(const std::string&, const std::string&) { return nullptr; }

void Application::closeThroughFrame(Window& window) {
    if (&window == &mapfeed) {
        mapfeed.CloseCmd_Click();
        return;
    }
}

}  // namespace mapfeed
