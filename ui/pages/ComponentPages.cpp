#include "ui/pages/ComponentPages.h"

#include <cstdio>
#include <stdexcept>

#include "ui/pages/DateFormat.h"

namespace ui {

namespace {

// printf writes the decimal point of the user's numeric locale (LC_NUMERIC).
std::string FormatRealNumber(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

}  // namespace

std::string FormatRecordValue(const components::TWMIProperties& record, const RecordRow& row) {
    using T = wmi::OleVariant::Type;
    if (row.format == RecordFormat::Fixed) return row.property;
    const wmi::OleVariant value = record.PropertyValue(row.property);
    switch (row.format) {
        case RecordFormat::Text:
        case RecordFormat::Decoded:
            if (value.GetType() == T::Text) return value.AsText();
            break;
        case RecordFormat::YesNo:
            if (value.GetType() == T::Bool) return value.AsBool() ? "True" : "False";
            break;
        case RecordFormat::Number:
            if (value.GetType() == T::Int) return std::to_string(value.AsInt());
            break;
        case RecordFormat::Real:
            if (value.GetType() == T::Real) return FormatRealNumber(value.AsReal());
            break;
        case RecordFormat::Date:
        case RecordFormat::DateTime:
            if (value.GetType() != T::Real) break;
            // 0 is a date the object never gave, not 30 December 1899.
            if (value.AsReal() == 0) return {};
            return row.format == RecordFormat::Date ? FormatShortDate(value.AsReal()) : FormatDateTime(value.AsReal());
        case RecordFormat::Fixed:
            break;
    }
    throw std::logic_error(std::string("row \"") + row.label + "\" cannot format property " + row.property);
}

void WriteRecordRows(PageList& list, const components::TWMIProperties& record, std::span<const RecordRow> rows) {
    list.Reserve(list.Count() + rows.size());
    for (const RecordRow& row : rows) list.AddRow(row.label, FormatRecordValue(record, row));
}

}  // namespace ui
