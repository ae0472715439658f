#include "app/cli/QueryHints.h"

#include <string_view>

#include "app/cli/NearestNames.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/core/Wql.h"
#include "cimv2/core/WqlNames.h"
#include "cimv2/provider/ClassRegistry.h"

namespace cli {

namespace {

// A class name without its schema's prefix ("Win32_"): the part that tells
// classes apart, and the part a slip is measured in.
std::string_view OwnPart(std::string_view name) {
    const size_t underscore = name.find('_');
    return underscore == std::string_view::npos ? name : name.substr(underscore + 1);
}

std::vector<Spelling> ClassSpellings() {
    std::vector<Spelling> spellings;
    for (const cimv2::ClassEntry& entry : cimv2::AllClasses()) {
        const std::string name = entry.name ? entry.name : entry.schema().Name();
        spellings.push_back({std::string(OwnPart(name)), name});
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
            if (std::string hint = DidYouMean(NearestNames(OwnPart(parsed.className), ClassSpellings())); !hint.empty())
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
