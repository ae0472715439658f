#pragma once
// The root\cimv2 service: answers WQL from the machine behind a context.
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/core/Wql.h"
#include "cimv2/provider/ClassRegistry.h"
#include "cimv2/provider/ProviderContext.h"

namespace cimv2 {

struct QueryResult {
    const ClassSchema* schema = nullptr;
    std::vector<int> selected;  // property indexes of the select list
    std::vector<Instance> instances;
    // Why values are null: sources this user may not read, or that the
    // machine lacks. Not values: the instances read the same without them.
    std::vector<SourceNote> notes;
};

// Throws WbemError(InvalidNamespace) unless the text names root\cimv2.
void CheckNamespace(std::string_view nameSpace);

class Provider {
public:
    explicit Provider(ProviderContext context) : FContext(std::move(context)) {}

    const ProviderContext& Context() const { return FContext; }

    // Unselected properties other than keys come back null, as in WMI.
    QueryResult ExecQuery(std::string_view wql) const;

    // Runs a method on the instance of className whose keys equal those of
    // keys (an instance of the same class). Returns the out parameters.
    ParamList ExecMethod(std::string_view className, const Instance& keys, std::string_view method,
                         const ParamList& in) const;

private:
    ProviderContext FContext;
};

// Shared by the provider and the remote client: the schema-checked query
// pipeline after the instances are in hand.
QueryResult ApplyQuery(const BoundQuery& query, std::vector<Instance> instances);

}  // namespace cimv2
