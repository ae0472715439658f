#include "cimv2/core/SourceNotes.h"

#include <cerrno>

namespace cimv2 {

std::string NoteText(const SourceNote& note) {
    switch (note.cause) {
        case NoteCause::NeedsPrivilege:
            return note.className + ": some values are null: reading " + note.sources + " needs more privilege";
        case NoteCause::NoSource:
            return note.className + ": some values are null: this machine has no " + note.sources;
        case NoteCause::NotAnswering:
            return note.className + ": some values are null: no answer in time from " + note.sources;
        case NoteCause::Incomplete:
            return note.className + ": some data is missing: " + note.sources;
    }
    return note.className + ": some values are null: " + note.sources;
}

bool IsDeniedError(int error) { return error == EACCES || error == EPERM; }

void SourceNotes::Add(NoteCause cause, std::string_view source) {
    std::lock_guard<std::mutex> guard(FLock);
    for (SourceNote& note : FNotes) {
        if (note.cause != cause) continue;
        // Whole names only: "/proc/PID/io" is not inside "/proc/PID/iox".
        const std::string listed = ", " + note.sources + ", ";
        if (listed.find(", " + std::string(source) + ", ") == std::string::npos)
            note.sources += ", " + std::string(source);
        return;
    }
    FNotes.push_back({FClassName, cause, std::string(source)});
}

void SourceNotes::AddIfDenied(int error, std::string_view source) {
    if (IsDeniedError(error)) Add(NoteCause::NeedsPrivilege, source);
}

std::vector<SourceNote> SourceNotes::Take() {
    std::vector<SourceNote> taken;
    std::lock_guard<std::mutex> guard(FLock);
    taken.swap(FNotes);
    return taken;
}

}  // namespace cimv2
