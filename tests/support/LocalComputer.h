#pragma once
// The machine the scripting interface calls "this computer" for the length
// of a test: the context given (or, without one, whatever the code under
// test sets) stands until the object goes, and then the one before it comes
// back, also when a failed assertion ends the test early.
#include <utility>

#include "cimv2/provider/ProviderContext.h"
#include "wmi/WbemScripting.h"

namespace testsupport {

class LocalComputer {
public:
    LocalComputer() : FSaved(wmi::LocalContext()) {}
    explicit LocalComputer(cimv2::ProviderContext context) : LocalComputer() { Use(std::move(context)); }
    ~LocalComputer() { wmi::SetLocalContext(FSaved); }
    LocalComputer(const LocalComputer&) = delete;
    LocalComputer& operator=(const LocalComputer&) = delete;

    void Use(cimv2::ProviderContext context) { wmi::SetLocalContext(std::move(context)); }
    const cimv2::ProviderContext& Saved() const { return FSaved; }

private:
    cimv2::ProviderContext FSaved;
};

}  // namespace testsupport
