#include "gui/common/view_host.h"

#include <map>

namespace {
ViewHost* g_host = nullptr;

std::map<ChildWindow, ChildFactory>& Factories() {
    static std::map<ChildWindow, ChildFactory> factories;
    return factories;
}
}  // namespace

ViewHost* ViewHost::Instance() { return g_host; }
void ViewHost::SetInstance(ViewHost* host) { g_host = host; }

void RegisterChildFactory(ChildWindow kind, ChildFactory factory) {
    Factories()[kind] = std::move(factory);
}

void UnregisterChildFactory(ChildWindow kind) { Factories().erase(kind); }

bool HasChildFactory(ChildWindow kind) { return Factories().count(kind) != 0; }

QWidget* OpenChildWindow(ChildWindow kind, const ChildRequest& request) {
    const auto it = Factories().find(kind);
    return it == Factories().end() ? nullptr : it->second(request);
}
