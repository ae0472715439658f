#include "wmi/SourceNoteChannel.h"

#include <mutex>

namespace wmi {

namespace {

std::mutex gHandlerLock;

SourceNoteHandler& HandlerStore() {
    static SourceNoteHandler handler;
    return handler;
}

}  // namespace

SourceNoteHandler SetSourceNoteHandler(SourceNoteHandler handler) {
    std::lock_guard<std::mutex> lock(gHandlerLock);
    SourceNoteHandler previous = std::move(HandlerStore());
    HandlerStore() = std::move(handler);
    return previous;
}

void ReportSourceNotes(const std::vector<cimv2::SourceNote>& notes) {
    if (notes.empty()) return;
    SourceNoteHandler handler;
    {
        std::lock_guard<std::mutex> lock(gHandlerLock);
        handler = HandlerStore();
    }
    if (handler) handler(notes);
}

}  // namespace wmi
