#include "wmi/SourceNoteChannel.h"

#include "wmi/HandlerSlot.h"

namespace wmi {

namespace {

HandlerSlot<SourceNoteHandler>& Slot() {
    static HandlerSlot<SourceNoteHandler> slot;
    return slot;
}

}  // namespace

SourceNoteHandler SetSourceNoteHandler(SourceNoteHandler handler) { return Slot().Exchange(std::move(handler)); }

void ReportSourceNotes(const std::vector<cimv2::SourceNote>& notes) {
    if (notes.empty()) return;
    if (SourceNoteHandler handler = Slot().Get()) handler(notes);
}

}  // namespace wmi
