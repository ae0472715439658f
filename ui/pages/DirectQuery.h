#pragma once
// The direct-query pages: one WQL query, one row table, five value rules.
#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "ui/pages/PageCatalogue.h"
#include "ui/pages/PageList.h"
#include "wmi/OleVariant.h"

namespace ui {

// A value that a rule cannot convert.
class EVariantError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value's text form, trimmed of characters <= 32 at both ends, read as
// a signed 64-bit decimal (optional sign) or hexadecimal after "$", "x" or
// "0x"; 0 when it is no such number or out of range.
int64_t VariantToInt(const wmi::OleVariant& value);
// Text under a rule; EVariantError when the rule cannot convert the value.
std::string ApplyValueRule(const wmi::OleVariant& value, ValueRule rule);

// Empties list, queries "SELECT * FROM " + wmiClass on root\CIMV2 of host
// and writes the table once per object. A value that its rule cannot convert
// is written as empty text; an automation error (EOleException) ends the fill
// and leaves the rows written so far.
void RunDirectQuery(PageList& list, const std::string& host, const std::string& wmiClass,
                    std::span<const RowEntry> rows);

// The message box text of a guarded page: "EOleException %s %x".
std::string FormatOleExceptionText(const std::string& description, uint32_t code);

// Fills list as the page's catalogue line says (its direct query, its
// component or its routine); errors are thrown. No fill: nothing happens.
void FillPage(const PageInfo& page, PageList& list, const std::string& host);

// Runs a page's fill as the dispatch does. Guarded pages answer the text of
// the message box to show for an automation error and drop other errors;
// other pages let every error escape. No routine: nothing happens.
std::optional<std::string> RunPageFill(const PageInfo& page, PageList& list, const std::string& host);

}  // namespace ui
