#include "app/cli/QueryHints.h"

#include "app/cli/NearestNames.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/core/Wql.h"
#include "cimv2/core/WqlNames.h"
#include "cimv2/provider/ClassRegistry.h"

namespace cli {

namespace {

// Each class by its name and by the name after its schema's prefix, so that
// "BIOS" finds Win32_BIOS.
std::vector<Spelling> ClassSpellings() {
    std::vector<Spelling> spellings;
    for (const cimv2::ClassEntry& entry : cimv2::AllClasses()) {
        const std::string name = entry.name ? entry.name : entry.schema().Name();
        spellings.push_back({name, name});
        if (size_t underscore = name.find('_'); underscore != std::string::npos)
            spellings.push_back({name.substr(underscore + 1), name});
    }
    return spellings;
}

}  // namespace

std::vector<std::string> QueryHints(const std::string& query, uint32_t code) {
    if (code != cimv2::wbem::InvalidClass && code != cimv2::wbem::InvalidQuery) return {};
    cimv2::WqlQuery parsed;
    try {
        parsed = cimv2::ParseWql(query);
    } catch (const std::exception&) {
        // A syntax error: its message says where.
        return {};
    }
    std::vector<std::string> hints;
    const cimv2::ClassEntry* entry = cimv2::FindClass(parsed.className);
    if (!entry) {
        if (code == cimv2::wbem::InvalidClass)
            if (std::string hint = DidYouMean(NearestNames(parsed.className, ClassSpellings())); !hint.empty())
                hints.push_back(hint);
        return hints;
    }
    const cimv2::ClassSchema& schema = entry->schema();
    std::vector<std::string> properties;
    for (const cimv2::PropertyDef& property : schema.Properties()) properties.push_back(property.name);
    for (const std::string& name : cimv2::NamedProperties(parsed)) {
        if (schema.IndexOf(name) >= 0) continue;
        if (std::string hint = DidYouMean(NearestNames(name, properties)); !hint.empty()) hints.push_back(hint);
    }
    return hints;
}

}  // namespace cli
