#pragma once
// A library loaded with dlopen, declared in the program the way systemd and
// util-linux declare theirs: an ELF note in the section ".note.dlopen" in
// the FDO "ELF dlopen metadata" format, from which packaging tools learn the
// dependency that linking would have shown. `readelf --notes` lists it.
#include <cstddef>
#include <cstdint>

namespace cimv2 {

inline constexpr uint32_t kDlopenNoteType = 0x407c0c0a;

// An ELF note: its header, the owner "FDO" and a NUL-terminated JSON array,
// each padded to four bytes.
template <size_t JsonSize>
struct alignas(4) DlopenNote {
    uint32_t ownerSize;
    uint32_t jsonSize;
    uint32_t type;
    char owner[4];
    char json[JsonSize];
};

}  // namespace cimv2

// The priority is "recommended": without the library the program runs and
// lacks only what the library is loaded for.
#define SYSQUILL_DLOPEN_NOTE_JSON(feature, description, soname)    \
    "[{\"feature\":\"" feature "\",\"description\":\"" description \
    "\",\"priority\":\"recommended\",\"soname\":[\"" soname "\"]}]"

// AddressSanitizer would pad the note with a red zone; GCC leaves objects
// in sections of their own alone, clang has to be told.
#ifdef __clang__
#define SYSQUILL_DLOPEN_NOTE_UNPADDED [[clang::no_sanitize("address")]]
#else
#define SYSQUILL_DLOPEN_NOTE_UNPADDED
#endif

#define SYSQUILL_DLOPEN_NOTE_NAME(line) SYSQUILL_DLOPEN_NOTE_NAME_AT(line)
#define SYSQUILL_DLOPEN_NOTE_NAME_AT(line) sysquillDlopenNote##line

// One note, at namespace scope, for the library `soname` (a string literal,
// as feature and description are). The object's own alignment keeps the
// compiler from aligning it as a large array, which would leave gaps
// between the notes of the section.
#define SYSQUILL_DLOPEN_NOTE(feature, description, soname)           \
    SYSQUILL_DLOPEN_NOTE_OBJECT(SYSQUILL_DLOPEN_NOTE_NAME(__LINE__), \
                                SYSQUILL_DLOPEN_NOTE_JSON(feature, description, soname))
#define SYSQUILL_DLOPEN_NOTE_OBJECT(name, json)                                        \
    [[gnu::used, gnu::section(".note.dlopen")]] SYSQUILL_DLOPEN_NOTE_UNPADDED alignas( \
        4) static const ::cimv2::DlopenNote<sizeof(json)>                              \
        name = {sizeof "FDO", sizeof(json), ::cimv2::kDlopenNoteType, "FDO", json}
