#include "cimv2/sources/PrintStates.h"

#include <cstdio>
#include <ctime>

namespace cimv2 {

namespace {

// The base condition of each printer-state: PrinterStatus,
// ExtendedPrinterStatus, PrinterState, Availability, StatusInfo.
struct StateRow {
    int state;
    bool paused;  // stopped with the "paused" reason (cupsdisable), else by a fault
    uint16_t printerStatus, extendedPrinterStatus;
    uint32_t printerState;
    uint16_t availability, statusInfo;
};
constexpr StateRow kStates[] = {
    // idle: 3 Idle, 3 Idle, 0 idle, 3 Running or Full Power, 3 Enabled
    {ipp::kPrinterIdle, false, 3, 3, 0, 3, 3},
    // processing: 4 Printing, 4 Printing, 11 Printing
    {ipp::kPrinterProcessing, false, 4, 4, 11, 3, 3},
    // stopped by hand: 6 Stopped printing, 8 Paused, 1 Paused, 9 Off Duty, 4 Disabled
    {ipp::kPrinterStopped, true, 6, 8, 1, 9, 4},
    // stopped by a fault: 1 Other, 9 Error, 2 Error, 3 Running or Full Power, 4 Disabled
    {ipp::kPrinterStopped, false, 1, 9, 2, 3, 4},
};

// What a reason keyword says: PrinterState, DetectedErrorState,
// ExtendedDetectedErrorState (0 where WMI has no code for it).
struct ReasonRow {
    const char* keyword;
    uint32_t printerState;
    uint16_t detected, extendedDetected;
};
constexpr ReasonRow kReasons[] = {
    {"media-empty", 5, 4, 4},           // Paper Out, No Paper, No Paper
    {"media-needed", 5, 4, 4},          //
    {"media-low", 0, 3, 3},             // -, Low Paper, Low Paper
    {"media-jam", 4, 8, 8},             // Paper Jam, Jammed, Jammed
    {"toner-low", 18, 5, 5},            // Toner Low, Low Toner, Low Toner
    {"marker-supply-low", 18, 5, 5},    //
    {"toner-empty", 19, 6, 6},          // No Toner, No Toner, No Toner
    {"marker-supply-empty", 19, 6, 6},  //
    {"door-open", 23, 7, 7},            // Door Open, Door Open, Door Open
    {"cover-open", 23, 7, 7},           //
    {"interlock-open", 23, 7, 7},       //
    {"output-area-full", 12, 11, 10},   // Output Bin Full, Output Bin Full, Output Bin Full
    {"offline", 8, 9, 0},               // Offline, Offline, -
    {"spool-area-full", 22, 0, 14},     // Out of Memory, -, Out of Memory
    {"shutdown", 13, 0, 0},             // Not Available
    {"other", 2, 1, 1},                 // Error, Other, Other
};

const ReasonRow* FindReason(std::string_view keyword) {
    for (const auto& row : kReasons)
        if (keyword == row.keyword) return &row;
    return nullptr;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() > end.size() && text.substr(text.size() - end.size()) == end;
}

// Job-state to StatusMask bits: 1 Paused, 2 Error, 16 Printing, 128 Printed, 256 Deleted.
struct JobRow {
    int state;
    uint32_t mask;
    const char* status;
};
constexpr JobRow kJobs[] = {
    {ipp::kJobPending, 0, "OK"},     {ipp::kJobHeld, 1, "OK"},       {ipp::kJobProcessing, 16, "OK"},
    {ipp::kJobStopped, 17, "OK"},    {ipp::kJobCanceled, 256, "OK"}, {ipp::kJobAborted, 2, "Error"},
    {ipp::kJobCompleted, 128, "OK"},
};
struct MaskWord {
    uint32_t bit;
    const char* word;
};
constexpr MaskWord kMaskWords[] = {{1, "Paused"}, {2, "Error"}, {16, "Printing"}, {128, "Printed"}, {256, "Deleted"}};

// PWG media size names (their class and size part) and CIM paper size codes.
struct PaperSize {
    const char* prefix;
    uint16_t code;
};
constexpr PaperSize kPaperSizes[] = {
    {"na_letter_", 7}, {"na_legal_", 8}, {"na_number-10_", 11}, {"na_number-9_", 15}, {"iso_a0_", 18}, {"iso_a1_", 19},
    {"iso_a2_", 20},   {"iso_a3_", 21},  {"iso_a4_", 22},       {"iso_a5_", 23},      {"iso_a6_", 24}, {"iso_a7_", 25},
    {"iso_a8_", 26},   {"iso_a9_", 27},  {"iso_a10_", 28},      {"iso_b0_", 29},      {"iso_b1_", 30}, {"iso_b2_", 31},
    {"iso_b3_", 32},   {"iso_b4_", 33},  {"iso_b5_", 34},       {"iso_b6_", 35},      {"iso_b7_", 36}, {"iso_b8_", 37},
    {"iso_b9_", 38},   {"iso_b10_", 39}, {"iso_c0_", 40},       {"iso_c1_", 41},      {"iso_c2_", 42}, {"iso_c3_", 43},
    {"iso_c4_", 44},   {"iso_c5_", 45},  {"iso_c6_", 46},       {"iso_c7_", 47},      {"iso_c8_", 48},
};
constexpr uint16_t kOtherPaper = 1;

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

std::string UriWithoutPassword(std::string_view uri) {
    const size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos) return std::string(uri);
    const size_t authority = scheme + 3;
    const size_t end = uri.find_first_of("/?#", authority);
    const std::string_view host = uri.substr(authority, end == std::string_view::npos ? end : end - authority);
    const size_t at = host.rfind('@');
    if (at == std::string_view::npos) return std::string(uri);
    const size_t colon = host.find(':');
    if (colon == std::string_view::npos || colon > at) return std::string(uri);
    return std::string(uri.substr(0, authority + colon)) + std::string(uri.substr(authority + at));
}

std::optional<std::string> UriHost(std::string_view uri) {
    const size_t scheme = uri.find("://");
    if (scheme == std::string_view::npos) return std::nullopt;
    std::string_view host = uri.substr(scheme + 3);
    host = host.substr(0, host.find_first_of("/?#"));
    if (const size_t at = host.rfind('@'); at != std::string_view::npos) host = host.substr(at + 1);
    if (StartsWith(host, "[")) {
        host = host.substr(1, host.find(']') == std::string_view::npos ? host.size() : host.find(']') - 1);
    } else {
        host = host.substr(0, host.find(':'));
    }
    if (host.empty()) return std::nullopt;
    return std::string(host);
}

uint16_t PaperSizeCode(std::string_view media) {
    for (const auto& size : kPaperSizes)
        if (StartsWith(media, size.prefix)) return size.code;
    return kOtherPaper;
}

std::string_view ReasonKeyword(std::string_view reason, int& severity) {
    severity = 2;
    for (auto [suffix, level] : {std::pair{"-report", 0}, {"-warning", 1}, {"-error", 2}})
        if (EndsWith(reason, suffix)) {
            severity = level;
            return reason.substr(0, reason.size() - std::string_view(suffix).size());
        }
    return reason;
}

PrinterCondition MapPrinterCondition(std::optional<int> state, const std::vector<std::string>& reasons) {
    PrinterCondition c;
    bool paused = false;
    // The reason that speaks loudest: the first of the highest severity that
    // WMI has a code for; an error WMI has no code for reads as "other".
    const ReasonRow* worst = nullptr;
    int worstSeverity = -1;
    int highest = -1;
    bool offline = false;
    for (const auto& reason : reasons) {
        int severity = 0;
        const std::string_view keyword = ReasonKeyword(reason, severity);
        if (keyword == "none") continue;
        if (keyword == "paused") {
            paused = true;
            continue;
        }
        if (keyword == "offline") offline = true;
        const ReasonRow* row = FindReason(keyword);
        if (!row && severity == 2) row = FindReason("other");
        if (severity > highest) highest = severity;
        if (row && severity > worstSeverity) {
            worst = row;
            worstSeverity = severity;
        }
    }
    if (state) {
        for (const auto& row : kStates) {
            if (row.state != *state || (row.state == ipp::kPrinterStopped && row.paused != paused)) continue;
            c.printerStatus = row.printerStatus;
            c.extendedPrinterStatus = row.extendedPrinterStatus;
            c.printerState = row.printerState;
            c.availability = row.availability;
            c.statusInfo = row.statusInfo;
            c.detectedErrorState = 2;  // No Error
            c.extendedDetectedErrorState = 2;
            c.status = "OK";
            c.inError = *state == ipp::kPrinterStopped && !paused;
        }
        if (c.inError) c.status = "Error";
    }
    if (worst) {
        if (worst->printerState) c.printerState = worst->printerState;
        if (worst->detected) c.detectedErrorState = worst->detected;
        if (worst->extendedDetected) c.extendedDetectedErrorState = worst->extendedDetected;
    }
    if (highest == 2) {
        c.inError = true;
        c.status = "Error";
        if (c.printerStatus && *c.printerStatus != 6) c.printerStatus = 1;  // Other
        c.extendedPrinterStatus = 9;                                        // Error
    } else if (highest == 1 && c.status == "OK") {
        c.status = "Degraded";
    }
    if (offline) {
        c.printerStatus = 7;  // Offline
        c.extendedPrinterStatus = 7;
        c.availability = 8;  // Off Line
    }
    return c;
}

std::optional<JobCondition> MapJobCondition(int state) {
    for (const auto& row : kJobs) {
        if (row.state != state) continue;
        JobCondition c;
        c.statusMask = row.mask;
        c.status = row.status;
        for (const auto& word : kMaskWords) {
            if (!(row.mask & word.bit)) continue;
            c.jobStatus = c.jobStatus ? *c.jobStatus + ", " + word.word : std::string(word.word);
        }
        return c;
    }
    return std::nullopt;
}

std::string CimInterval(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    char text[80];
    std::snprintf(text, sizeof text, "%08lld%02lld%02lld%02lld.000000:000", static_cast<long long>(seconds / 86400),
                  static_cast<long long>(seconds / 3600 % 24), static_cast<long long>(seconds / 60 % 60),
                  static_cast<long long>(seconds % 60));
    return text;
}

std::optional<std::string> CimTimeOfDay(std::string_view text) {
    auto two = [&](size_t at) -> int {
        if (at + 2 > text.size() || text[at] < '0' || text[at] > '9' || text[at + 1] < '0' || text[at + 1] > '9')
            return -1;
        return (text[at] - '0') * 10 + (text[at + 1] - '0');
    };
    if (text.size() != 5 && text.size() != 8) return std::nullopt;
    const int hour = two(0), minute = two(3), second = text.size() == 8 ? two(6) : 0;
    if (text[2] != ':' || (text.size() == 8 && text[5] != ':')) return std::nullopt;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return std::nullopt;
    char out[48];
    std::snprintf(out, sizeof out, "********%02d%02d%02d.000000+000", hour, minute, second);
    return std::string(out);
}

}  // namespace cimv2
