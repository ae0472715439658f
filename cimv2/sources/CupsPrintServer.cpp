#include "cimv2/sources/CupsPrintServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <vector>

#include "cimv2/core/WbemError.h"
#include "cimv2/sources/CupsLibrary.h"
#include "cimv2/sources/IppMessage.h"

namespace cimv2 {

namespace {

// What the printer classes read, and nothing else: asking for "all" would
// bring every queue's media database along.
constexpr const char* kPrinterAttributes[] = {
    "printer-name",
    "printer-info",
    "printer-location",
    "printer-make-and-model",
    "device-uri",
    "printer-state",
    "printer-state-reasons",
    "printer-state-message",
    "printer-type",
    "printer-is-shared",
    "printer-is-accepting-jobs",
    "printer-dns-sd-name",
    "queued-job-count",
    "media-supported",
    "media-type-supported",
    "media-type-default",
    "printer-resolution-default",
    "copies-default",
    "copies-supported",
    "number-up-default",
    "number-up-supported",
    "job-priority-default",
    "pages-per-minute",
    "document-format-supported",
    "document-format-default",
    "charset-configured",
    "charset-supported",
    "natural-language-configured",
    "generated-natural-language-supported",
    "job-sheets-supported",
    "job-sheets-default",
};

constexpr const char* kJobAttributes[] = {
    "job-id",
    "job-printer-uri",
    "job-name",
    "job-originating-user-name",
    "job-originating-host-name",
    "job-state",
    "job-k-octets",
    "job-impressions",
    "job-impressions-completed",
    "time-at-creation",
    "time-at-processing",
    "time-at-completed",
    "job-priority",
    "job-hold-until",
    "document-format-supplied",
};

// libcups, or a provider failure saying why it cannot be loaded.
const CupsApi& LoadedCups() {
    if (const CupsApi* api = Cups()) return *api;
    throw WbemError(wbem::ProviderFailure, "The CUPS library is unusable: " + CupsApiLibrary().Error());
}

struct HttpClose {
    void operator()(http_t* http) const { Cups()->httpClose(http); }
};
struct IppDelete {
    void operator()(ipp_t* ipp) const { Cups()->ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, IppDelete>;

// Why a server cannot be reached: libcups reports a failed connect with a
// stale errno ("Bad file descriptor", "Host is down"), so the addresses it
// resolves are tried once more here for the system's own error.
std::string ConnectError(const std::string& host, int port) {
    const CupsApi& cups = LoadedCups();
    http_addrlist_t* list = cups.httpAddrGetList(host.c_str(), AF_UNSPEC, std::to_string(port).c_str());
    if (!list) return "Unable to look up the print server " + host;
    int error = ECONNREFUSED;
    for (http_addrlist_t* a = list; a; a = a->next) {
        const int fd = socket(cups.httpAddrFamily(&a->addr), SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            error = errno;
            continue;
        }
        const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&a->addr), cups.httpAddrLength(&a->addr)) == 0;
        error = connected ? 0 : errno;
        close(fd);
        if (connected) break;
    }
    cups.httpAddrFreeList(list);
    return "Unable to connect to the print server " + host + ": " +
           (error ? std::strerror(error) : "it closed the connection");
}

// What the server answered a request: its status, its message and the
// objects of the group asked for.
struct Answer {
    int status = IPP_STATUS_ERROR_INTERNAL;
    std::string message;
    std::vector<IppAttributes> objects;
    std::optional<int64_t> limit;
};

Answer AnswerOf(std::optional<IppResponse> read, const std::string& error) {
    if (!read) return {IPP_STATUS_ERROR_INTERNAL, "The print server's answer is unreadable: " + error, {}, {}};
    const int status = read->status;
    std::string message = read->message.empty() ? LoadedCups().ippErrorString(static_cast<ipp_status_t>(status))
                                                : std::move(read->message);
    return {status, std::move(message), std::move(read->objects), read->limit};
}

// libcups reads a response from the connection one field at a time, a
// system call for every few bytes, and
// keeps each name and text in its string pool. Here the body is read in
// blocks of 64 KiB and each block read (IppMessage.h) while the server
// sends the next. Anything but a "200 OK" (a connection that broke,
// authentication, an encryption upgrade) is left to cupsDoRequest, which
// retries, authenticates and reports as ever; its response is written out
// again for the same reader. A "200 OK" whose body cannot be read is an
// error as it stands: libcups would read an endless body without end, and
// say of a cut one only what errno last held.
Answer Exchange(http_t* http, ipp_t* request, uint8_t group, size_t limit) {
    const CupsApi& cups = LoadedCups();
    std::unique_ptr<ipp_t, IppDelete> owned(request);
    http_status_t status = cups.cupsSendRequest(http, request, "/", cups.ippLength(request));
    if (status == HTTP_STATUS_CONTINUE || status == HTTP_STATUS_OK) {
        do status = cups.httpUpdate(http);
        while (status == HTTP_STATUS_CONTINUE);
    }
    std::string error;
    if (status == HTTP_STATUS_OK) {
        auto fromServer = [&](char* buffer, size_t size) { return cups.httpRead2(http, buffer, size); };
        auto read = ReadIppResponse(fromServer, group, error, limit);
        // What is left of a body read to its end is flushed; one read only
        // in part is not waited for: the connection closes with the session.
        if (read && cups.httpGetState(http) != HTTP_STATE_WAITING) cups.httpFlush(http);
        return AnswerOf(std::move(read), error);
    }
    if (cups.httpGetState(http) != HTTP_STATE_WAITING) cups.httpFlush(http);
    Response response(cups.cupsDoRequest(http, owned.release(), "/"));
    if (!response) return {cups.cupsLastError(), cups.cupsLastErrorString(), {}, {}};
    std::string bytes;
    auto toBytes = [](void* context, ipp_uchar_t* data, size_t size) -> ssize_t {
        static_cast<std::string*>(context)->append(reinterpret_cast<const char*>(data), size);
        return static_cast<ssize_t>(size);
    };
    cups.ippSetState(response.get(), IPP_STATE_IDLE);
    for (ipp_state_t state = IPP_STATE_IDLE; state != IPP_STATE_DATA;)
        if ((state = cups.ippWriteIO(&bytes, toBytes, 1, nullptr, response.get())) == IPP_STATE_ERROR)
            return {IPP_STATUS_ERROR_INTERNAL,
                    "The print server's answer is unreadable: libcups cannot write it out",
                    {},
                    {}};
    size_t at = 0;
    auto fromMemory = [&](char* buffer, size_t size) {
        const size_t n = std::min(size, bytes.size() - at);
        std::memcpy(buffer, bytes.data() + at, n);
        at += n;
        return static_cast<ssize_t>(n);
    };
    return AnswerOf(ReadIppResponse(fromMemory, group, error, limit), error);
}

// One conversation with the server: the configured one or a named one.
class Session {
public:
    Session(const std::string& server, bool absentMeansNone, size_t answerLimit) : FAnswerLimit(answerLimit) {
        const CupsApi& cups = LoadedCups();
        std::string host = server.empty() ? cups.cupsServer() : server;
        int port = cups.ippPort();
        FAbsentMeansNone = server.empty() ? IsLocalDefaultServer(host, port) : absentMeansNone;
        const size_t colon = host.rfind(':');
        if (!server.empty() && host.front() != '/' && colon != std::string::npos &&
            host.find(']', colon) == std::string::npos) {
            port = std::atoi(host.c_str() + colon + 1);
            host = host.substr(0, colon);
        }
        FHttp.reset(
            cups.httpConnect2(host.c_str(), port, nullptr, AF_UNSPEC, cups.cupsEncryption(), 1, 30000, nullptr));
        if (!FHttp) {
            FUnreachable = true;
            FMessage = ConnectError(host, port);
        }
    }

    // The objects of one group of the answer, and in `limit` how many the
    // server gave at most; nothing when no server runs here; throws for a
    // server that fails.
    std::optional<std::vector<IppAttributes>> Ask(ipp_op_t operation, uint8_t group, const char* requested[], int count,
                                                  const char* which = nullptr, int firstJobId = 0,
                                                  std::optional<int64_t>* limit = nullptr) {
        const CupsApi& cups = LoadedCups();
        if (FUnreachable) {
            if (FAbsentMeansNone) return std::nullopt;
            throw WbemError(wbem::ProviderFailure, FMessage);
        }
        ipp_t* request = cups.ippNewRequest(operation);
        cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, "ipp://localhost/");
        cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cups.cupsUser());
        cups.ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", count, nullptr,
                           requested);
        if (which) cups.ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "which-jobs", nullptr, which);
        if (firstJobId > 0) cups.ippAddInteger(request, IPP_TAG_OPERATION, IPP_TAG_INTEGER, "first-job-id", firstJobId);
        Answer answer = Exchange(FHttp.get(), request, group, FAnswerLimit);
        if (limit) *limit = answer.limit;
        if (answer.status <= IPP_STATUS_OK_EVENTS_COMPLETE) return std::move(answer.objects);
        // CUPS answers "not found" when it has no queue or no job at all.
        if (answer.status == IPP_STATUS_ERROR_NOT_FOUND) return std::vector<IppAttributes>();
        if (answer.status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE && FAbsentMeansNone) return std::nullopt;
        throw WbemError(wbem::ProviderFailure, answer.message);
    }

    http_t* Http() const { return FHttp.get(); }

private:
    std::unique_ptr<http_t, HttpClose> FHttp;
    bool FAbsentMeansNone = false;
    bool FUnreachable = false;
    std::string FMessage;
    size_t FAnswerLimit;
};

template <size_t N>
int Count(const char* const (&)[N]) {
    return static_cast<int>(N);
}

}  // namespace

bool IsLocalDefaultServer(std::string_view server, int port) {
    if (server == "/run/cups/cups.sock" || server == "/var/run/cups/cups.sock") return true;
    return server == "localhost" && port == IPP_PORT;
}

std::optional<PrinterList> CupsPrintServer::Printers() {
    const CupsApi& cups = LoadedCups();
    Session session(FServer, FAbsentMeansNone, FLimits.answerBytes);
    auto printers = session.Ask(IPP_OP_CUPS_GET_PRINTERS, kIppPrinterGroup,
                                const_cast<const char**>(kPrinterAttributes), Count(kPrinterAttributes));
    if (!printers) return std::nullopt;
    PrinterList list;
    list.printers = std::move(*printers);
    if (cups_dest_t* dest = cups.cupsGetNamedDest(session.Http(), nullptr, nullptr)) {
        list.defaultPrinter = dest->name;
        cups.cupsFreeDests(1, dest);
    }
    return list;
}

std::optional<std::vector<IppAttributes>> CupsPrintServer::Jobs() {
    Session session(FServer, FAbsentMeansNone, FLimits.answerBytes);
    // Asked for attributes it reads from each job's file, cupsd gives at
    // most 500 jobs of its history at a time and says so in "limit"; the
    // rest are asked for from the job after the last one given.
    std::vector<IppAttributes> jobs;
    for (int first = 1, pages = 0;; ++pages) {
        if (pages == FLimits.jobPages)
            throw WbemError(wbem::ProviderFailure, "The print server's list of jobs does not end: it gave " +
                                                       std::to_string(pages) + " pages of it and more");
        std::optional<int64_t> limit;
        auto page = session.Ask(IPP_OP_GET_JOBS, kIppJobGroup, const_cast<const char**>(kJobAttributes),
                                Count(kJobAttributes), "all", first, &limit);
        if (!page) return std::nullopt;
        const auto given = static_cast<int64_t>(page->size());
        // A page that ends before the job asked for gives nothing new.
        const int64_t last = page->empty() ? 0 : page->back().Integer("job-id").value_or(0);
        jobs.insert(jobs.end(), std::make_move_iterator(page->begin()), std::make_move_iterator(page->end()));
        if (!limit || *limit < 1 || given < *limit || last < first || last >= INT32_MAX) return jobs;
        first = static_cast<int>(last + 1);
    }
}

}  // namespace cimv2
