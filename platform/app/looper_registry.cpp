#include "platform/app/looper_registry.h"

#include <mutex>
#include <unordered_map>

#include "platform/app/looper.h"

namespace {

struct Registry {
    std::mutex lock;
    std::unordered_map<int32, BLooper*> loopers;
    int32 next = 1;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // outlives every static looper
    return *registry;
}

}  // namespace

namespace looper_registry {

int32 Add(BLooper* looper) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.loopers[r.next] = looper;
    return r.next++;
}

void Remove(int32 token) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    r.loopers.erase(token);
}

bool With(int32 token, const std::function<void(BLooper*)>& use) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    auto found = r.loopers.find(token);
    if (found == r.loopers.end()) return false;
    use(found->second);
    return true;
}

BLooper* GuiLooper(int32 token) {
    BLooper* looper = nullptr;
    With(token, [&](BLooper* l) { looper = l->ServedByGui() ? l : nullptr; });
    return looper;
}

void ForEachGuiLooper(const std::function<void(BLooper*)>& use) {
    Registry& r = TheRegistry();
    std::lock_guard guard(r.lock);
    for (auto& [token, looper] : r.loopers)
        if (looper->ServedByGui()) use(looper);
}

}  // namespace looper_registry
