// Win32_PrintJob: one instance per job the print server keeps (pending,
// held and printing ones, and the completed ones it remembers), from the
// server's IPP job attributes (PrintServer.h). JobId job-id; Name and
// Caption "printer, id" with the queue named by job-printer-uri (its last
// segment, percent escapes resolved); Document
// job-name; Owner job-originating-user-name; HostPrintQueue
// job-originating-host-name, the computer the job came from; Size
// job-k-octets in bytes; TotalPages job-impressions and PagesPrinted
// job-impressions-completed; TimeSubmitted time-at-creation; ElapsedTime
// from time-at-processing to time-at-completed (or to now while it prints);
// StartTime the time of day job-hold-until holds it to; Priority
// job-priority; DataType document-format-supplied; JobStatus, StatusMask and
// Status from job-state (PrintStates.h).
#include <string>
#include <string_view>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SafeText.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/PrintStates.h"
#include "cimv2/sources/TimeZone.h"

namespace cimv2 {

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_PrintJobSchema() {
    static const ClassSchema schema("Win32_PrintJob", CIM_Job(), {
        {"Color", CimType::String},
        {"DataType", CimType::String},
        {"Document", CimType::String},
        {"DriverName", CimType::String},
        {"HostPrintQueue", CimType::String},
        {"JobId", CimType::UInt32},
        {"Name", CimType::String, kKey},
        {"PagesPrinted", CimType::UInt32},
        {"PaperLength", CimType::UInt32},
        {"PaperSize", CimType::String},
        {"PaperWidth", CimType::UInt32},
        {"Parameters", CimType::String},
        {"PrintProcessor", CimType::String},
        {"Size", CimType::UInt32},
        {"SizeHigh", CimType::UInt32},
        {"StatusMask", CimType::UInt32},
        {"TotalPages", CimType::UInt32},
    });
    return schema;
}
// clang-format on

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The queue as the server names it: the URI's last segment with its percent
// escapes resolved. A segment whose escapes are broken, or would give a
// control character or bytes that are not UTF-8, is no queue name the
// server could have made, and stays as written.
std::string QueueName(std::string_view segment) {
    std::string name;
    for (size_t n = 0; n < segment.size(); ++n) {
        if (segment[n] != '%') {
            name += segment[n];
            continue;
        }
        const int high = n + 2 < segment.size() ? HexDigit(segment[n + 1]) : -1;
        const int low = high >= 0 ? HexDigit(segment[n + 2]) : -1;
        const int byte = high * 16 + low;
        if (low < 0 || byte < 0x20 || byte == 0x7F) return std::string(segment);
        name += static_cast<char>(byte);
        n += 2;
    }
    if (ValidUtf8(name) != name) return std::string(segment);
    return name;
}

std::optional<uint64_t> NonNegative(std::optional<int64_t> v) {
    if (!v || *v < 0) return std::nullopt;
    return static_cast<uint64_t>(*v);
}

Instance JobInstance(const ProviderContext& context, const IppAttributes& job) {
    Instance inst(Win32_PrintJobSchema());
    SetIdentity(inst, context);
    const auto id = NonNegative(job.Integer("job-id"));
    SetIfUInt(inst, "JobId", id);
    std::optional<std::string> queue;
    if (auto uri = job.Text("job-printer-uri")) {
        const size_t slash = uri->rfind('/');
        if (slash != std::string::npos && slash + 1 < uri->size()) queue = QueueName(uri->substr(slash + 1));
    }
    if (queue && id) {
        const std::string name = *queue + ", " + std::to_string(*id);
        inst.SetText("Name", name);
        inst.SetText("Caption", name);
        inst.SetText("Description", name);
    }
    SetIf(inst, "Document", job.Text("job-name"));
    SetIf(inst, "Owner", job.Text("job-originating-user-name"));
    SetIf(inst, "HostPrintQueue", job.Text("job-originating-host-name"));
    if (auto kOctets = NonNegative(job.Integer("job-k-octets")); kOctets && *kOctets <= UINT32_MAX / 1024)
        inst.Set("Size", Value::UInt(*kOctets * 1024));
    SetIfUInt(inst, "TotalPages", NonNegative(job.Integer("job-impressions")));
    SetIfUInt(inst, "PagesPrinted", NonNegative(job.Integer("job-impressions-completed")));
    SetIfUInt(inst, "Priority", NonNegative(job.Integer("job-priority")));
    SetIf(inst, "DataType", job.Text("document-format-supplied"));
    // IPP gives times as seconds since the epoch; 0 (or no value) is "not yet".
    auto time = [&](const char* name) -> std::optional<int64_t> {
        auto t = job.Integer(name);
        return t && *t > 0 ? t : std::nullopt;
    };
    if (auto created = time("time-at-creation")) SetIf(inst, "TimeSubmitted", tz::CimDateTime(*created));
    const auto state = job.Integer("job-state");
    if (auto started = time("time-at-processing")) {
        if (auto completed = time("time-at-completed"))
            inst.SetText("ElapsedTime", CimInterval(*completed - *started));
        else if (state == ipp::kJobProcessing)
            inst.SetText("ElapsedTime", CimInterval(context.Now() - *started));
    }
    if (auto until = job.Text("job-hold-until"))
        if (auto timeOfDay = CimTimeOfDay(*until)) inst.SetText("StartTime", *timeOfDay);
    if (state)
        if (auto condition = MapJobCondition(static_cast<int>(*state))) {
            inst.Set("StatusMask", Value::UInt(condition->statusMask));
            SetIf(inst, "JobStatus", condition->jobStatus);
            inst.SetText("Status", condition->status);
        }
    return inst;
}

}  // namespace

std::vector<Instance> EnumerateWin32_PrintJob(const ProviderContext& context) {
    if (!context.printing) return {};
    auto jobs = context.printing->Jobs();
    if (!jobs) return {};
    std::vector<Instance> instances;
    instances.reserve(jobs->size());
    for (const auto& job : *jobs) instances.push_back(JobInstance(context, job));
    return instances;
}

}  // namespace cimv2
