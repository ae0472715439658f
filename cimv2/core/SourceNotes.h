#pragma once
// Why a query's values are null where another machine has them: a source
// this user may not read, or one this machine does not have. Said once per
// class and cause, so a user who sees empty values knows whether running
// with privilege would fill them.
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace cimv2 {

enum class NoteCause : uint8_t {
    NeedsPrivilege = 1,  // the source is there but this user may not read it
    NoSource = 2,        // this machine has no such source at all
    NotAnswering = 3,    // the source did not answer in time (a network mount whose server is gone)
    Incomplete = 4,      // a source cut at a size limit, or not of its format: what it had past that is missing
};
inline constexpr uint8_t kLastNoteCause = 4;

struct SourceNote {
    std::string className;
    NoteCause cause = NoteCause::NeedsPrivilege;
    // The sources concerned, ", " between them ("/proc/PID/io, /proc/PID/fd");
    // for an incomplete one, with where it stops ("/etc/passwd past 16 MiB").
    std::string sources;
    bool operator==(const SourceNote&) const = default;
};

// One line for the user: "Win32_BIOS: some values are null: ...".
std::string NoteText(const SourceNote& note);

// Whether a read that failed with this errno value lacked the rights.
bool IsDeniedError(int error);

// The notes of one query. The classes of one query may read from several
// threads (Win32_Process does), so adding is locked.
class SourceNotes {
public:
    explicit SourceNotes(std::string className) : FClassName(std::move(className)) {}
    // Each cause is one note; each source is named in it once.
    void Add(NoteCause cause, std::string_view source);
    // Adds a NeedsPrivilege note when error says the rights were lacking.
    void AddIfDenied(int error, std::string_view source);
    std::vector<SourceNote> Take();

private:
    std::mutex FLock;
    std::string FClassName;
    std::vector<SourceNote> FNotes;
};

}  // namespace cimv2
