#include "shell/SignalCleanup.h"

#include <mutex>
#include <utility>
#include <vector>

namespace vorlix::shell {

namespace {

    struct Registry {
        std::mutex lock;
        std::vector<std::pair<const void*, std::function<void()>>> actions;
    };

    Registry& registry()
    {
        static Registry instance;
        return instance;
    }

}

void SignalCleanup::add(const void* owner, std::function<void()> action)
{
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    r.actions.emplace_back(owner, std::move(action));
}

bool SignalCleanup::addMade(
    const void* owner, const std::function<bool()>& make, std::function<void()> action)
{
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    if (!make())
        return false;
    r.actions.emplace_back(owner, std::move(action));
    return true;
}

void SignalCleanup::remove(const void* owner)
{
    Registry& r = registry();
    const std::lock_guard guard(r.lock);
    std::erase_if(r.actions, [owner](const auto& entry) { return entry.first == owner; });
}

void SignalCleanup::runAll()
{
    Registry& r = registry();
    // Never unlocked: the signal ends the program, and whatever another thread would make and
    // register from now on would outlive the clean-up.
    r.lock.lock();
    for (auto it = r.actions.rbegin(); it != r.actions.rend(); ++it)
        it->second();
    r.actions.clear();
}

}
