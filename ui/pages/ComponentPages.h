#pragma once
// Rows of the component-backed pages: each row reads one property of the
// component's record by name and formats it by the page's rule.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>

#include "components/PropertyRecord.h"
#include "ui/pages/PageList.h"

namespace ui {

enum class RecordFormat {
    Text,      // the text unchanged (a list's text with braces and quotes)
    YesNo,     // "True" or "False"
    Number,    // decimal, minus sign when negative, 64-bit fields whole
    Real,      // general format, up to 15 significant digits, the user's decimal separator
    Date,      // the user's short date; empty text for a date never set (0)
    DateTime,  // the user's short date and long time, the time left out at midnight; empty for 0
    Decoded,   // the record's decoded text of a code
    Fixed,     // the row's property field is the text itself, read from no record
};

struct RecordRow {
    const char* label;
    const char* property;  // a name the record lists (the text itself for Fixed)
    RecordFormat format;
};

// One row's value text; std::logic_error when the record's property does
// not have the kind the format expects (a mistake in a row table).
std::string FormatRecordValue(const components::TWMIProperties& record, const RecordRow& row);

// Appends the rows of the record's current object, in table order.
void WriteRecordRows(PageList& list, const components::TWMIProperties& record, std::span<const RecordRow> rows);

enum class PageObjects { First, Every };

// A component-backed page: empties the list, activates a component on host,
// writes the rows of its record for the first object (or for every object,
// selecting each in turn; none when the class has none), deactivates and asks
// for the first column to fit.
// An activation or fill that fails escapes before the rows of that object
// are written.
template <typename Component>
void FillComponentPage(PageList& list, const std::string& host, std::span<const RecordRow> rows, PageObjects objects) {
    list.Clear();
    Component component;
    component.SetHost(host);
    component.SetActive(true);
    // No object, no block: a cleared record would read as a device that is there.
    const int32_t count =
        objects == PageObjects::Every ? component.ObjectsCount() : std::min(component.ObjectsCount(), 1);
    for (int32_t index = 1; index <= count; ++index) {
        if (objects == PageObjects::Every) component.SetObjectIndex(index);
        WriteRecordRows(list, component.Properties(), rows);
    }
    component.SetActive(false);
    list.RequestFitColumn();
}

}  // namespace ui
