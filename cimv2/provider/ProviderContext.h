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

class GroupDirectory;
class ServiceSource;  // cimv2/sources/SystemdUnits.h

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
    // Null: NSS for the live machine (root "/"), the root's /etc/group for a
    // captured tree.
    const GroupDirectory* groups = nullptr;
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
    // Read from the root on first use and kept for the rest of the query.
    const MachineFacts& Facts() const;
    // A copy that reads the facts anew and notes into queryNotes: one per query.
    ProviderContext ForQuery(SourceNotes* queryNotes = nullptr) const;

private:
    mutable std::shared_ptr<const MachineFacts> FFacts;
};

}  // namespace cimv2
