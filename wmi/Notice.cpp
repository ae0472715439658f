#include "wmi/Notice.h"

#include <cstdio>

#include "wmi/HandlerSlot.h"

namespace wmi {

namespace {

HandlerSlot<NoticeHandler>& Slot() {
    static HandlerSlot<NoticeHandler> slot;
    return slot;
}

}  // namespace

NoticeHandler SetNoticeHandler(NoticeHandler handler) { return Slot().Exchange(std::move(handler)); }

void ShowNotice(NoticeKind kind, const std::string& text) {
    if (NoticeHandler handler = Slot().Get()) {
        handler(kind, text);
        return;
    }
    static const char* const kPrefix[] = {"", "Warning: ", "Error: "};
    // Through stdio: a std::ostream here would set up the C++ locale in every
    // program that links the scripting layer, at start.
    std::fprintf(stderr, "%s%s\n", kPrefix[static_cast<int>(kind)], text.c_str());
}

}  // namespace wmi
