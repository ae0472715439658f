#include "cimv2/provider/ProviderContext.h"

#include <ctime>

namespace cimv2 {

int64_t SystemClock() { return static_cast<int64_t>(std::time(nullptr)); }

const MachineFacts& ProviderContext::Facts() const {
    if (!FFacts) FFacts = std::make_shared<const MachineFacts>(root);
    return *FFacts;
}

ProviderContext ProviderContext::ForQuery(SourceNotes* queryNotes) const {
    ProviderContext copy = *this;
    copy.FFacts.reset();
    copy.notes = queryNotes;
    return copy;
}

}  // namespace cimv2
