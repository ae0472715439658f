#pragma once
// Search and CSV export over a page list.
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "ui/pages/PageList.h"

namespace ui {

// The first row after start (wrapping to the top) whose search text,
// Property CR LF Value CR LF, contains text ignoring letter case; a start
// that is not a row of this fill of list starts at the top. Empty text
// matches nothing.
std::optional<size_t> FindItem(const PageList& list, std::string_view text, const RowRef& start);

// Upper case under the user's locale; UTF-8 in and out.
std::string UpperText(std::string_view text);

// A Value cell as a CSV field: empty as "", quoted (quotes doubled) when it
// holds a quote, comma, blank or control character, otherwise bare. Bytes
// that are not UTF-8 become U+FFFD. A value beginning with =, +, -, @, tab
// or CR gets a leading apostrophe, so a spreadsheet shows it as text rather
// than running it as a formula.
std::string CsvField(std::string_view value);
// "Property,Value" CR LF per row; Property is written as it is, Value as
// CsvField writes it. Always valid UTF-8: ill-formed bytes become U+FFFD.
std::string ListToCsv(const PageList& list);

// The export's failure: "Cannot create file "%s". %s".
class EFCreateError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes the list's CSV bytes (UTF-8, no byte-order mark) to a temporary
// file beside fileName and renames it over fileName, so a failed export
// leaves any earlier file whole; the replaced file keeps its permission
// bits (and owner, where the process may). Only a regular file or a new
// name is written: a device, FIFO, socket or directory is refused and left
// as it is. A symbolic link stays and the file it names changes; a file with
// other hard links is written in place (room taken first) so every name
// sees the new text. Throws EFCreateError.
void SaveListToCSV(const PageList& list, const std::string& fileName);
// The same for bytes already formed.
void ReplaceFileContents(const std::string& fileName, std::string_view bytes);

}  // namespace ui
