#include "wmi/Notice.h"

#include <cstdio>
#include <mutex>

namespace wmi {

namespace {

std::mutex gNoticeLock;

NoticeHandler& HandlerStore() {
    static NoticeHandler handler;
    return handler;
}

}  // namespace

NoticeHandler SetNoticeHandler(NoticeHandler handler) {
    std::lock_guard<std::mutex> lock(gNoticeLock);
    NoticeHandler previous = std::move(HandlerStore());
    HandlerStore() = std::move(handler);
    return previous;
}

void ShowNotice(NoticeKind kind, const std::string& text) {
    NoticeHandler handler;
    {
        std::lock_guard<std::mutex> lock(gNoticeLock);
        handler = HandlerStore();
    }
    if (handler) {
        handler(kind, text);
        return;
    }
    static const char* const kPrefix[] = {"", "Warning: ", "Error: "};
    // Through stdio: a std::ostream here would set up the C++ locale in every
    // program that links the scripting layer, at start.
    std::fprintf(stderr, "%s%s\n", kPrefix[static_cast<int>(kind)], text.c_str());
}

}  // namespace wmi
