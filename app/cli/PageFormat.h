#pragma once
// A page's rows as the query tool's csv and json formats print them.
#include "app/cli/InstanceFormat.h"
#include "app/cli/Output.h"
#include "ui/pages/PageList.h"

namespace cli {

// Csv: the bytes the window's CSV export writes ("Property,Value", CR LF).
// Json: an array of {"Property": ..., "Value": ...} objects, one per row in
// order, "Value" null for a row with no Value cell. Not for table or mof.
void WritePage(Output& out, const ui::PageList& list, Format format);

}  // namespace cli
