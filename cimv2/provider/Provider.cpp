#include "cimv2/provider/Provider.h"

#include "cimv2/core/WbemError.h"

namespace cimv2 {

void CheckNamespace(std::string_view nameSpace) {
    std::string ns = Lower(nameSpace);
    for (char& c : ns)
        if (c == '/') c = '\\';
    if (ns != "root\\cimv2" && ns != "\\root\\cimv2")
        throw WbemError(wbem::InvalidNamespace, "Invalid namespace \"" + std::string(nameSpace) + "\"");
}

static const ClassEntry& RequireClass(std::string_view name) {
    const ClassEntry* entry = FindClass(name);
    if (!entry) throw WbemError(wbem::InvalidClass, "Invalid class \"" + std::string(name) + "\"");
    return *entry;
}

QueryResult ApplyQuery(const BoundQuery& query, std::vector<Instance> instances) {
    QueryResult result;
    result.schema = &query.Schema();
    result.selected = query.Selected();
    const auto& props = query.Schema().Properties();
    std::vector<bool> keep(props.size(), query.SelectsAll());
    for (int index : query.Selected()) keep[static_cast<size_t>(index)] = true;
    for (size_t n = 0; n < props.size(); ++n)
        if (props[n].IsKey()) keep[n] = true;
    for (auto& inst : instances) {
        if (!query.Matches(inst)) continue;
        if (!query.SelectsAll())
            for (size_t n = 0; n < props.size(); ++n)
                if (!keep[n]) inst.values[n] = Value::Null();
        result.instances.push_back(std::move(inst));
    }
    return result;
}

QueryResult Provider::ExecQuery(std::string_view wql) const {
    WqlQuery parsed = ParseWql(wql);
    const ClassEntry& entry = RequireClass(parsed.className);
    BoundQuery bound(parsed, entry.schema());
    SourceNotes notes(entry.schema().Name());
    QueryResult result = ApplyQuery(bound, entry.enumerate(FContext.ForQuery(&notes)));
    result.notes = notes.Take();
    return result;
}

ParamList Provider::ExecMethod(std::string_view className, const Instance& keys, std::string_view method,
                               const ParamList& in) const {
    const ClassEntry& entry = RequireClass(className);
    const ClassSchema& schema = entry.schema();
    const MethodDef* def = schema.FindMethod(method);
    if (!def || !entry.invoke) throw WbemError(wbem::InvalidMethod, "Invalid method \"" + std::string(method) + "\"");
    for (const auto& [name, value] : in) {
        bool known = false;
        for (const auto& p : def->in) known = known || EqualsNoCase(p.name, name);
        if (!known) throw WbemError(wbem::InvalidParameter, "Invalid parameter \"" + name + "\"");
    }
    const auto& props = schema.Properties();
    const ProviderContext context = FContext.ForQuery();
    for (const auto& inst : entry.enumerate(context)) {
        bool same = true;
        for (size_t n = 0; n < props.size() && same; ++n)
            if (props[n].IsKey()) same = inst.values[n] == keys.values[n];
        if (same) return entry.invoke(context, inst, keys, *def, in);
    }
    throw WbemError(wbem::NotFound, "Not found");
}

}  // namespace cimv2
