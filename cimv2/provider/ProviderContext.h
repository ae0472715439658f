#pragma once
// What a class needs to reach the machine: the file root, the seams to
// sources that are not files, the clock, and the facts every class shares,
// read once per query.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "cimv2/core/SourceNotes.h"
#include "cimv2/sources/MachineFacts.h"
#include "cimv2/sources/PrintServer.h"
#include "cimv2/sources/SystemActions.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2 {

class AccountSource;   // cimv2/sources/Accounts.h
class GroupDirectory;  // cimv2/sources/Groups.h
class LiveSources;     // cimv2/sources/LiveSources.h
class ServiceSource;   // cimv2/sources/SystemdUnits.h
namespace drm {
class ModeSource;  // cimv2/sources/DrmDisplays.h
}
namespace net {
class LinkSource;  // cimv2/sources/NetLinks.h
}

// Seconds since the Unix epoch.
using Clock = std::function<int64_t()>;
int64_t SystemClock();

class ProviderContext {
public:
    ProviderContext() = default;
    ProviderContext(SystemRoot systemRoot, SystemActions* systemActions = nullptr, Clock now = {})
        : root(std::move(systemRoot)), actions(systemActions), clock(std::move(now)) {}

    SystemRoot root;
    SystemActions* actions = nullptr;  // null: management methods are refused
    Clock clock;                       // empty: the system clock
    // The sources that are not files. Each left null is the live machine's
    // own for the root "/" and what a captured tree holds (often nothing)
    // for any other root; tests put theirs here.
    //   accounts: NSS, or the root's /etc/passwd
    //   groups:   NSS, or the root's /etc/group
    //   live:     statvfs, blkid tags, routes and partition tables, or none
    //   modes:    the mode a display shows through libdrm, or sysfs
    //   links:    the network drivers' settings through ethtool, or none
    const AccountSource* accounts = nullptr;
    const GroupDirectory* groups = nullptr;
    const LiveSources* live = nullptr;
    const drm::ModeSource* modes = nullptr;
    const net::LinkSource* links = nullptr;
    // The service manager; null: services come from the unit files under the root.
    const ServiceSource* services = nullptr;
    PrintServer* printing = nullptr;  // null: no print server (a captured tree has none)
    // Where the ID databases (pci.ids, usb.ids, pnp.ids) are read when the
    // root holds none: this computer's own copies for a captured tree. None:
    // the root's alone.
    std::optional<SystemRoot> idFallback;
    // Where the query's classes say why values are null; null: nobody asks.
    SourceNotes* notes = nullptr;

    int64_t Now() const { return clock ? clock() : SystemClock(); }
    void Note(NoteCause cause, std::string_view source) const {
        if (notes) notes->Add(cause, source);
    }
    void NoteIfDenied(int error, std::string_view source) const {
        if (notes) notes->AddIfDenied(error, source);
    }
    // The sources above, or the root's own when one is null. A tree's
    // accounts and groups are read on first use and kept for the query.
    const AccountSource& Accounts() const;
    const GroupDirectory& Groups() const;
    const LiveSources& Live() const;
    const drm::ModeSource& Modes() const;
    const net::LinkSource& Links() const;

    // Read from the root on first use and kept for the rest of the query.
    const MachineFacts& Facts() const;
    // A copy that reads the facts anew and notes into queryNotes: one per query.
    ProviderContext ForQuery(SourceNotes* queryNotes = nullptr) const;

private:
    mutable std::shared_ptr<const MachineFacts> FFacts;
    mutable std::shared_ptr<const AccountSource> FRootAccounts;
    mutable std::shared_ptr<const GroupDirectory> FRootGroups;
};

}  // namespace cimv2
