#include "app/cli/PageFormat.h"

#include "app/cli/JsonText.h"
#include "ui/pages/ListTools.h"

namespace cli {

void WritePage(Output& out, const ui::PageList& list, Format format) {
    if (format == Format::Csv) {
        out << ui::ListToCsv(list);
        return;
    }
    out << '[';
    for (size_t n = 0; n < list.Count(); ++n) {
        const ui::PageRow& row = list.Row(n);
        out << (n ? ",\n " : "\n ") << "{\"Property\": ";
        JsonString(out, row.property);
        out << ", \"Value\": ";
        if (row.hasValue)
            JsonString(out, row.value);
        else
            out << "null";
        out << '}';
    }
    out << (list.Empty() ? "]\n" : "\n]\n");
}

}  // namespace cli
