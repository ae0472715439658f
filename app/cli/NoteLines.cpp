#include "app/cli/NoteLines.h"

#include "cimv2/core/SafeText.h"
#include "cimv2/core/Schema.h"

namespace cli {

void NoteLines::Print(const std::vector<cimv2::SourceNote>& notes) {
    for (const cimv2::SourceNote& note : notes)
        if (FSaid.emplace(cimv2::Lower(note.className), note.cause).second)
            FErr << "sysquill-query: " << cimv2::EscapeControls(cimv2::NoteText(note)) << '\n';
}

}  // namespace cli
