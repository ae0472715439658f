// Win32_Printer: one instance per queue the print server offers (local,
// shared and remote ones it knows), from the server's IPP attributes
// (PrintServer.h; CUPS through libcups on the live machine, none on a
// captured tree). Name, DeviceID and Caption are the queue name; DriverName
// printer-make-and-model; PortName device-uri without its password; Comment
// printer-info; Location printer-location; Default the queue libcups sends
// jobs to by default; Local/Network the printer-type remote bit, ServerName
// the remote queue's host; Shared printer-is-shared (ShareName the queue
// name it is shared under); Published whether the server advertises it
// (printer-dns-sd-name); the states from printer-state and
// printer-state-reasons (PrintStates.h); JobCountSinceLastReset
// queued-job-count; resolutions printer-resolution-default in dpi;
// PrinterPaperNames media-supported and PaperSizesSupported their CIM
// codes; Capabilities and CapabilityDescriptions the printer-type
// capability bits; copies, number-up, priority, pages per minute, MIME
// types, character sets, languages and job sheets from their IPP
// attributes. A CUPS queue always spools (Queued, SpoolEnabled true,
// Direct false); RawOnly is a local queue without a driver; WorkOffline is
// a stopped queue that still accepts jobs.
// Nothing the server does not say is filled (Hidden, EnableBIDI, install
// and reset times, ...).
#include <cmath>
#include <string>
#include <string_view>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/WbemError.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PrintStates.h"

namespace cimv2 {

namespace {

// printer-type bits (CUPS's cups_ptype_t).
constexpr uint32_t kTypeRemote = 0x0002;

// Capability bits of printer-type and their CIM_Printer.Capabilities codes.
struct Capability {
    uint32_t bit;
    uint16_t code;
    const char* description;
};
constexpr Capability kCapabilities[] = {
    {0x0008, 2, "Color Printing"}, {0x0010, 3, "Duplex Printing"}, {0x0040, 4, "Copies"},
    {0x0080, 5, "Collation"},      {0x0020, 6, "Stapling"},        {0x0100, 8, "Punch"},
    {0x0200, 9, "Cover"},          {0x0400, 10, "Bind"},           {0x0004, 11, "Black and White Printing"},
};

// Windows' PRINTER_ATTRIBUTE_* bits, which Attributes gathers.
constexpr uint32_t kAttrQueued = 0x1, kAttrDefault = 0x4, kAttrShared = 0x8, kAttrNetwork = 0x10, kAttrLocal = 0x40,
                   kAttrWorkOffline = 0x400, kAttrPublished = 0x2000;

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_PrinterSchema() {
    static const ClassSchema schema("Win32_Printer", CIM_Printer(), {
        {"Attributes", CimType::UInt32},
        {"AveragePagesPerMinute", CimType::UInt32},
        {"Comment", CimType::String},
        {"Default", CimType::Boolean},
        {"DefaultPriority", CimType::UInt32},
        {"Direct", CimType::Boolean},
        {"DoCompleteFirst", CimType::Boolean},
        {"DriverName", CimType::String},
        {"EnableBIDI", CimType::Boolean},
        {"EnableDevQueryPrint", CimType::Boolean},
        {"ExtendedDetectedErrorState", CimType::UInt16},
        {"ExtendedPrinterStatus", CimType::UInt16},
        {"Hidden", CimType::Boolean},
        {"KeepPrintedJobs", CimType::Boolean},
        {"Local", CimType::Boolean},
        {"Location", CimType::String},
        {"Network", CimType::Boolean},
        {"Parameters", CimType::String},
        {"PortName", CimType::String},
        {"PrinterPaperNames", CimType::String, kArray},
        {"PrinterState", CimType::UInt32},
        {"PrintJobDataType", CimType::String},
        {"PrintProcessor", CimType::String},
        {"Priority", CimType::UInt32},
        {"Published", CimType::Boolean},
        {"Queued", CimType::Boolean},
        {"RawOnly", CimType::Boolean},
        {"SeparatorFile", CimType::String},
        {"ServerName", CimType::String},
        {"Shared", CimType::Boolean},
        {"ShareName", CimType::String},
        {"SpoolEnabled", CimType::Boolean},
        {"StartTime", CimType::DateTime},
        {"UntilTime", CimType::DateTime},
        {"WorkOffline", CimType::Boolean},
    });
    return schema;
}
// clang-format on

Instance PrinterInstance(const ProviderContext& context, const IppAttributes& printer,
                         const std::optional<std::string>& defaultPrinter) {
    Instance inst(Win32_PrinterSchema());
    SetIdentity(inst, context);
    const auto name = printer.Text("printer-name");
    if (name) {
        inst.SetText("Name", *name);
        inst.SetText("DeviceID", *name);
        inst.SetText("Caption", *name);
    }
    SetIf(inst, "DriverName", printer.Text("printer-make-and-model"));
    if (auto uri = printer.Text("device-uri")) inst.SetText("PortName", UriWithoutPassword(*uri));
    SetIf(inst, "Location", printer.Text("printer-location"));
    SetIf(inst, "Comment", printer.Text("printer-info"));

    uint32_t attributes = kAttrQueued;
    bool attributesKnown = name.has_value();
    if (name) {
        const bool isDefault = defaultPrinter && *defaultPrinter == *name;
        inst.SetBool("Default", isDefault);
        if (isDefault) attributes |= kAttrDefault;
    }
    // Every CUPS queue spools its jobs before the printer sees them.
    inst.SetBool("Queued", true);
    inst.SetBool("SpoolEnabled", true);
    inst.SetBool("Direct", false);

    const auto type = printer.Integer("printer-type");
    if (type) {
        const bool remote = (*type & kTypeRemote) != 0;
        inst.SetBool("Local", !remote);
        inst.SetBool("Network", remote);
        attributes |= remote ? kAttrNetwork : kAttrLocal;
        if (remote)
            if (auto uri = printer.Text("device-uri")) SetIf(inst, "ServerName", UriHost(*uri));
        // cupsd names a queue without a driver, which passes jobs through
        // untouched, "Local Raw Printer".
        if (!remote)
            if (auto model = printer.Text("printer-make-and-model"))
                inst.SetBool("RawOnly", *model == "Local Raw Printer");
        std::vector<uint16_t> codes;
        std::vector<std::string> descriptions;
        for (const auto& capability : kCapabilities) {
            if (!(*type & capability.bit)) continue;
            codes.push_back(capability.code);
            descriptions.push_back(capability.description);
        }
        inst.Set("Capabilities", UIntArray(codes));
        inst.Set("CapabilityDescriptions", TextArray(descriptions));
    } else {
        attributesKnown = false;
    }
    if (auto shared = printer.Boolean("printer-is-shared")) {
        inst.SetBool("Shared", *shared);
        if (*shared && name) inst.SetText("ShareName", *name);
        if (*shared) attributes |= kAttrShared;
    } else {
        attributesKnown = false;
    }
    // The server registers an advertised queue under a DNS-SD name.
    const bool published = printer.Text("printer-dns-sd-name").has_value();
    inst.SetBool("Published", published);
    if (published) attributes |= kAttrPublished;

    const auto state = printer.Integer("printer-state");
    const auto reasons = printer.Texts("printer-state-reasons");
    const PrinterCondition condition =
        MapPrinterCondition(state ? std::optional<int>(static_cast<int>(*state)) : std::nullopt, reasons);
    SetIfUInt(inst, "PrinterStatus", condition.printerStatus);
    SetIfUInt(inst, "ExtendedPrinterStatus", condition.extendedPrinterStatus);
    SetIfUInt(inst, "PrinterState", condition.printerState);
    SetIfUInt(inst, "DetectedErrorState", condition.detectedErrorState);
    SetIfUInt(inst, "ExtendedDetectedErrorState", condition.extendedDetectedErrorState);
    SetIfUInt(inst, "Availability", condition.availability);
    SetIfUInt(inst, "StatusInfo", condition.statusInfo);
    SetIf(inst, "Status", condition.status);
    std::vector<std::string> information;
    for (const auto& reason : reasons)
        if (reason != "none") information.push_back(reason);
    if (printer.Find("printer-state-reasons")) inst.Set("ErrorInformation", TextArray(information));
    if (condition.inError) SetIf(inst, "ErrorDescription", printer.Text("printer-state-message"));
    const auto accepting = printer.Boolean("printer-is-accepting-jobs");
    if (state && accepting) {
        const bool offline = *state == ipp::kPrinterStopped && *accepting;
        inst.SetBool("WorkOffline", offline);
        if (offline) attributes |= kAttrWorkOffline;
    } else {
        attributesKnown = false;
    }
    if (attributesKnown) inst.Set("Attributes", Value::UInt(attributes));

    if (auto count = printer.Integer("queued-job-count"); count && *count >= 0)
        inst.Set("JobCountSinceLastReset", Value::UInt(static_cast<uint64_t>(*count)));
    if (const IppValue* res = printer.First("printer-resolution-default", IppValue::Kind::Resolution)) {
        auto dpi = [&](int64_t v) {
            return static_cast<uint64_t>(res->dotsPerCm ? std::round(static_cast<double>(v) * 2.54) : v);
        };
        if (res->number > 0) inst.Set("HorizontalResolution", Value::UInt(dpi(res->number)));
        if (res->upper > 0) inst.Set("VerticalResolution", Value::UInt(dpi(res->upper)));
    }
    if (printer.Find("media-supported")) {
        std::vector<std::string> names = printer.Texts("media-supported");
        std::vector<uint16_t> codes;
        for (const auto& n : names) codes.push_back(PaperSizeCode(n));
        inst.Set("PrinterPaperNames", TextArray(names));
        inst.Set("PaperSizesSupported", UIntArray(codes));
    }
    if (printer.Find("media-type-supported"))
        inst.Set("PaperTypesAvailable", TextArray(printer.Texts("media-type-supported")));
    SetIf(inst, "DefaultPaperType", printer.Text("media-type-default"));
    auto positive = [](std::optional<int64_t> v) { return v && *v >= 0 ? v : std::nullopt; };
    SetIfUInt(inst, "DefaultCopies", positive(printer.Integer("copies-default")));
    if (const IppValue* copies = printer.First("copies-supported", IppValue::Kind::Range); copies && copies->upper > 0)
        inst.Set("MaxCopies", Value::UInt(static_cast<uint64_t>(copies->upper)));
    SetIfUInt(inst, "DefaultNumberUp", positive(printer.Integer("number-up-default")));
    if (const auto* up = printer.Find("number-up-supported")) {
        int64_t most = -1;
        for (const auto& v : *up) {
            if (v.kind == IppValue::Kind::Integer) most = std::max(most, v.number);
            if (v.kind == IppValue::Kind::Range) most = std::max(most, v.upper);
        }
        if (most >= 0) inst.Set("MaxNumberUp", Value::UInt(static_cast<uint64_t>(most)));
    }
    SetIfUInt(inst, "DefaultPriority", positive(printer.Integer("job-priority-default")));
    SetIfUInt(inst, "AveragePagesPerMinute", positive(printer.Integer("pages-per-minute")));
    if (printer.Find("document-format-supported"))
        inst.Set("MimeTypesSupported", TextArray(printer.Texts("document-format-supported")));
    SetIf(inst, "DefaultMimeType", printer.Text("document-format-default"));
    if (printer.Find("charset-supported")) inst.Set("CharSetsSupported", TextArray(printer.Texts("charset-supported")));
    SetIf(inst, "CurrentCharSet", printer.Text("charset-configured"));
    if (printer.Find("generated-natural-language-supported"))
        inst.Set("NaturalLanguagesSupported", TextArray(printer.Texts("generated-natural-language-supported")));
    SetIf(inst, "CurrentNaturalLanguage", printer.Text("natural-language-configured"));
    if (printer.Find("job-sheets-supported"))
        inst.Set("AvailableJobSheets", TextArray(printer.Texts("job-sheets-supported")));
    // The banner printed before each job; "none" is no separator page.
    if (auto sheet = printer.Text("job-sheets-default"); sheet && *sheet != "none")
        inst.SetText("SeparatorFile", *sheet);
    return inst;
}

std::vector<Instance> EnumerateWin32_Printer(const ProviderContext& context) {
    if (!context.printing) return {};
    auto list = context.printing->Printers();
    if (!list) return {};
    std::vector<Instance> instances;
    instances.reserve(list->printers.size());
    for (const auto& printer : list->printers)
        instances.push_back(PrinterInstance(context, printer, list->defaultPrinter));
    return instances;
}

}  // namespace cimv2
