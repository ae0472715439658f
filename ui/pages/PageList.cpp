#include "ui/pages/PageList.h"

namespace ui {

void PageList::Clear() {
    FRows.clear();
    ++FGeneration;
    FFitRequested = false;
}

size_t PageList::AddRow(std::string property) {
    FRows.push_back(PageRow{std::move(property), {}, false});
    return FRows.size() - 1;
}

void PageList::SetValue(size_t row, std::string value) {
    PageRow& r = FRows.at(row);
    r.value = std::move(value);
    r.hasValue = true;
}

void PageList::AddRow(std::string property, std::string value) {
    FRows.push_back(PageRow{std::move(property), std::move(value), true});
}

std::ptrdiff_t RowRef::PositionIn(const PageList& current) const {
    if (list != &current || generation != current.Generation() || index >= current.Count()) return -1;
    return static_cast<std::ptrdiff_t>(index);
}

RowRef MakeRowRef(const PageList& list, size_t index) { return RowRef{&list, list.Generation(), index}; }

}  // namespace ui
