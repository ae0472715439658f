#include "cimv2/provider/ProviderContext.h"

#include <ctime>

#include "cimv2/sources/Accounts.h"
#include "cimv2/sources/DrmDisplays.h"
#include "cimv2/sources/Groups.h"
#include "cimv2/sources/LiveSources.h"
#include "cimv2/sources/NetLinks.h"

namespace cimv2 {

int64_t SystemClock() { return static_cast<int64_t>(std::time(nullptr)); }

const MachineFacts& ProviderContext::Facts() const {
    if (!FFacts) FFacts = std::make_shared<const MachineFacts>(root);
    return *FFacts;
}

const AccountSource& ProviderContext::Accounts() const {
    if (accounts) return *accounts;
    if (!FRootAccounts) FRootAccounts = AccountsFor(root);
    return *FRootAccounts;
}

const GroupDirectory& ProviderContext::Groups() const {
    if (groups) return *groups;
    if (!FRootGroups) FRootGroups = GroupsFor(root);
    return *FRootGroups;
}

const LiveSources& ProviderContext::Live() const { return live ? *live : LiveSourcesFor(root); }
const drm::ModeSource& ProviderContext::Modes() const { return modes ? *modes : drm::ModeSourceFor(root); }
const net::LinkSource& ProviderContext::Links() const { return links ? *links : net::LinkSourceFor(root); }

ProviderContext ProviderContext::ForQuery(SourceNotes* queryNotes) const {
    ProviderContext copy = *this;
    copy.FFacts.reset();
    copy.FRootAccounts.reset();
    copy.FRootGroups.reset();
    copy.notes = queryNotes;
    return copy;
}

}  // namespace cimv2
