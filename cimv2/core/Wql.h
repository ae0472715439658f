#pragma once
// The WQL subset: SELECT * or a property list FROM one class, with an
// optional WHERE of AND, OR, NOT, parentheses, comparisons, LIKE and
// IS [NOT] NULL. Names compare without letter case.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cimv2/core/Schema.h"

namespace cimv2 {

struct WqlExpr;

struct WqlQuery {
    std::string className;
    std::vector<std::string> properties;   // empty: SELECT *
    std::shared_ptr<const WqlExpr> where;  // null: no WHERE
};

// Syntax only; throws WbemError(InvalidQuery) with the position of the fault.
WqlQuery ParseWql(std::string_view text);

// A query bound to its class: property names resolved to indexes.
class BoundQuery {
public:
    // Throws WbemError(InvalidQuery) for a property the class lacks.
    BoundQuery(const WqlQuery& query, const ClassSchema& schema);

    const ClassSchema& Schema() const { return *FSchema; }
    // Property indexes of the select list (all of them for SELECT *).
    const std::vector<int>& Selected() const { return FSelected; }
    bool SelectsAll() const { return FSelectsAll; }
    bool Matches(const Instance& instance) const;

private:
    const ClassSchema* FSchema;
    std::vector<int> FSelected;
    bool FSelectsAll;
    std::shared_ptr<const WqlExpr> FWhere;
};

// WQL LIKE: % any run, _ one character, [set] and [^set]; no letter case.
bool WqlLike(std::string_view text, std::string_view pattern);

// The one way a value is written into a query: a double-quoted WQL string
// literal with backslash and double quote escaped.
std::string QuoteWqlString(std::string_view value);

}  // namespace cimv2
