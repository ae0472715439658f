#pragma once
// The query tool's lines for source notes: each class and cause once a run,
// however many queries or page rows met it.
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/Output.h"
#include "cimv2/core/SourceNotes.h"

namespace cli {

class NoteLines {
public:
    explicit NoteLines(Output& err) : FErr(err) {}
    void Print(const std::vector<cimv2::SourceNote>& notes);

private:
    Output& FErr;
    std::set<std::pair<std::string, cimv2::NoteCause>> FSaid;
};

}  // namespace cli
