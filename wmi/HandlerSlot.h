#pragma once
// One installable handler shared by every thread: the window or a test puts
// its handler in, the layers below take a copy to call outside the lock.
#include <mutex>
#include <utility>

namespace wmi {

template <typename Handler>
class HandlerSlot {
public:
    // Installs handler and returns the one it replaces.
    Handler Exchange(Handler handler) {
        std::lock_guard<std::mutex> lock(FLock);
        std::swap(FHandler, handler);
        return handler;
    }
    Handler Get() const {
        std::lock_guard<std::mutex> lock(FLock);
        return FHandler;
    }

private:
    mutable std::mutex FLock;
    Handler FHandler;
};

}  // namespace wmi
