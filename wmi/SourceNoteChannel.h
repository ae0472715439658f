#pragma once
// Where a query's source notes go (values null for lack of rights or of a
// source): the window's status bar, the query tool's standard error. A
// channel of its own beside the notices: a note never stops the user with
// a message box. Without a handler the notes are dropped.
#include <functional>
#include <vector>

#include "cimv2/core/SourceNotes.h"

namespace wmi {

using SourceNoteHandler = std::function<void(const std::vector<cimv2::SourceNote>& notes)>;

// Returns the handler that was installed before.
SourceNoteHandler SetSourceNoteHandler(SourceNoteHandler handler);
// Hands the notes of one query to the handler; nothing when there are none.
void ReportSourceNotes(const std::vector<cimv2::SourceNote>& notes);

}  // namespace wmi
