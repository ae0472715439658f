#pragma once
// A page's two-column list (Property, Value) as the fill routines write it.
// The window shows it through the list model; the query tool prints it.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

struct PageRow {
    std::string property;
    std::string value;
    // A row whose value failed to convert keeps its label and has no Value cell.
    bool hasValue = false;
};

class PageList {
public:
    explicit PageList(std::string headerLabel = {}) : FHeaderLabel(std::move(headerLabel)) {}

    const std::string& HeaderLabel() const { return FHeaderLabel; }
    void SetHeaderLabel(std::string label) { FHeaderLabel = std::move(label); }

    // Empties the list; a row remembered from before no longer belongs to it.
    void Clear();
    // Room for at least this many rows. Fills call it once per object, so it
    // grows by doubling: an exact reserve each time would copy every row
    // written so far again for each object.
    void Reserve(size_t rows) {
        if (rows > FRows.capacity()) FRows.reserve(std::max(rows, 2 * FRows.capacity()));
    }
    // Appends a row with the label and no Value cell yet; returns its position.
    size_t AddRow(std::string property);
    void SetValue(size_t row, std::string value);
    // Label and value in one step, for fills that cannot fail half-way.
    void AddRow(std::string property, std::string value);

    size_t Count() const { return FRows.size(); }
    bool Empty() const { return FRows.empty(); }
    const PageRow& Row(size_t n) const { return FRows[n]; }
    const std::vector<PageRow>& Rows() const { return FRows; }
    // The first row of every object carries the page's header label exactly.
    bool IsHeaderRow(size_t n) const { return n < FRows.size() && FRows[n].property == FHeaderLabel; }

    // Bumped by every Clear, so a search can tell a stale row from a live one.
    uint64_t Generation() const { return FGeneration; }

    // Set by a fill that ran to its end: the Property column fits its widest entry.
    void RequestFitColumn() { FFitRequested = true; }
    bool TakeFitRequest() {
        bool requested = FFitRequested;
        FFitRequested = false;
        return requested;
    }

private:
    std::string FHeaderLabel;
    std::vector<PageRow> FRows;
    uint64_t FGeneration = 0;
    bool FFitRequested = false;
};

// A row of a particular fill of a particular list (the search's FFound).
struct RowRef {
    const PageList* list = nullptr;
    uint64_t generation = 0;
    size_t index = 0;

    bool IsNone() const { return list == nullptr; }
    // The row's position, or -1 when it no longer belongs to list.
    std::ptrdiff_t PositionIn(const PageList& current) const;
};

RowRef MakeRowRef(const PageList& list, size_t index);

}  // namespace ui
