#include "cimv2/sources/CupsPrintServer.h"

#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "cimv2/core/WbemError.h"
#include "cimv2/sources/CupsLibrary.h"

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

IppValue ValueOf(ipp_attribute_t* attr, int index) {
    const CupsApi& cups = LoadedCups();
    switch (cups.ippGetValueTag(attr)) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            return IppValue::Integer(cups.ippGetInteger(attr, index));
        case IPP_TAG_BOOLEAN:
            return IppValue::Boolean(cups.ippGetBoolean(attr, index) != 0);
        case IPP_TAG_RANGE: {
            int upper = 0;
            const int lower = cups.ippGetRange(attr, index, &upper);
            return IppValue::Range(lower, upper);
        }
        case IPP_TAG_RESOLUTION: {
            int y = 0;
            ipp_res_t units = IPP_RES_PER_INCH;
            const int x = cups.ippGetResolution(attr, index, &y, &units);
            return IppValue::Resolution(x, y, units == IPP_RES_PER_CM);
        }
        case IPP_TAG_TEXT:
        case IPP_TAG_NAME:
        case IPP_TAG_TEXTLANG:
        case IPP_TAG_NAMELANG:
        case IPP_TAG_KEYWORD:
        case IPP_TAG_URI:
        case IPP_TAG_URISCHEME:
        case IPP_TAG_CHARSET:
        case IPP_TAG_LANGUAGE:
        case IPP_TAG_MIMETYPE:
            if (const char* text = cups.ippGetString(attr, index, nullptr)) return IppValue::Text(text);
            return {};
        default:
            return {};
    }
}

// The objects of one group (printers, jobs) of a response, in order.
std::vector<IppAttributes> Objects(ipp_t* response, ipp_tag_t group) {
    const CupsApi& cups = LoadedCups();
    std::vector<IppAttributes> objects;
    IppAttributes current;
    bool any = false;
    for (ipp_attribute_t* attr = cups.ippFirstAttribute(response); attr; attr = cups.ippNextAttribute(response)) {
        const char* name = cups.ippGetName(attr);
        if (cups.ippGetGroupTag(attr) != group || !name) {
            if (any) objects.push_back(std::move(current));
            current = IppAttributes();
            any = false;
            continue;
        }
        any = true;
        // "no-value" and other out-of-band values leave the attribute absent.
        if (cups.ippGetValueTag(attr) == IPP_TAG_NOVALUE || cups.ippGetValueTag(attr) == IPP_TAG_UNKNOWN) continue;
        for (int i = 0, n = cups.ippGetCount(attr); i < n; ++i) current.Add(name, ValueOf(attr, i));
    }
    if (any) objects.push_back(std::move(current));
    return objects;
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

// The body of a response, read from the connection in large blocks for
// ippReadIO, which asks for a few bytes at a time and takes fewer than it
// asked for as the end of the message.
struct BodyReader {
    http_t* http;
    std::vector<char> block = std::vector<char>(65536);
    size_t at = 0, end = 0;
};

ssize_t ReadBody(void* context, ipp_uchar_t* buffer, size_t size) {
    auto* body = static_cast<BodyReader*>(context);
    size_t copied = 0;
    while (copied < size) {
        if (body->at == body->end) {
            const ssize_t n = LoadedCups().httpRead2(body->http, body->block.data(), body->block.size());
            if (n < 0) return -1;
            if (n == 0) break;
            body->at = 0;
            body->end = static_cast<size_t>(n);
        }
        const size_t n = std::min(size - copied, body->end - body->at);
        std::memcpy(buffer + copied, body->block.data() + body->at, n);
        body->at += n;
        copied += n;
    }
    return static_cast<ssize_t>(copied);
}

// What the server answered a request: its response (null when there is
// none) and its status.
struct Answer {
    Response response;
    ipp_status_t status = IPP_STATUS_ERROR_INTERNAL;
    std::string message;
};

// libcups reads a response from the connection one field at a time, a
// system call for every few bytes: 500 jobs took some 40,000 reads, most of
// a Get-Jobs request's time. Here ippReadIO parses the body from blocks of
// 64 KiB, and parses one block while the server sends the next. Anything
// but a whole "200 OK" answer (a connection that broke, authentication, an
// encryption upgrade) is left to cupsDoRequest, which retries,
// authenticates and reports as ever.
Answer Exchange(http_t* http, ipp_t* request) {
    const CupsApi& cups = LoadedCups();
    std::unique_ptr<ipp_t, IppDelete> owned(request);
    http_status_t status = cups.cupsSendRequest(http, request, "/", cups.ippLength(request));
    if (status == HTTP_STATUS_CONTINUE || status == HTTP_STATUS_OK) {
        do status = cups.httpUpdate(http);
        while (status == HTTP_STATUS_CONTINUE);
    }
    if (status == HTTP_STATUS_OK) {
        Response response(cups.ippNew());
        BodyReader body{http};
        for (ipp_state_t state = IPP_STATE_IDLE; response && state != IPP_STATE_DATA;)
            if ((state = cups.ippReadIO(&body, ReadBody, 1, nullptr, response.get())) == IPP_STATE_ERROR)
                response.reset();
        if (response) {
            if (cups.httpGetState(http) != HTTP_STATE_WAITING) cups.httpFlush(http);
            Answer answer;
            answer.status = cups.ippGetStatusCode(response.get());
            ipp_attribute_t* text = cups.ippFindAttribute(response.get(), "status-message", IPP_TAG_TEXT);
            const char* message = text ? cups.ippGetString(text, 0, nullptr) : nullptr;
            answer.message = message ? message : cups.ippErrorString(answer.status);
            answer.response = std::move(response);
            return answer;
        }
    }
    if (cups.httpGetState(http) != HTTP_STATE_WAITING) cups.httpFlush(http);
    Answer answer;
    answer.response.reset(cups.cupsDoRequest(http, owned.release(), "/"));
    answer.status = cups.cupsLastError();
    answer.message = cups.cupsLastErrorString();
    return answer;
}

// One conversation with the server: the configured one or a named one.
class Session {
public:
    Session(const std::string& server, bool absentMeansNone) {
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

    // Nothing when no server runs here; throws for a server that fails.
    std::optional<Response> Ask(ipp_op_t operation, const char* requested[], int count, const char* which = nullptr) {
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
        Answer answer = Exchange(FHttp.get(), request);
        if (answer.response && answer.status <= IPP_STATUS_OK_EVENTS_COMPLETE) return std::move(answer.response);
        // CUPS answers "not found" when it has no queue or no job at all.
        if (answer.status == IPP_STATUS_ERROR_NOT_FOUND) return Response();
        if (answer.status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE && FAbsentMeansNone) return std::nullopt;
        throw WbemError(wbem::ProviderFailure, answer.message);
    }

    http_t* Http() const { return FHttp.get(); }

private:
    std::unique_ptr<http_t, HttpClose> FHttp;
    bool FAbsentMeansNone = false;
    bool FUnreachable = false;
    std::string FMessage;
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
    Session session(FServer, FAbsentMeansNone);
    auto response =
        session.Ask(IPP_OP_CUPS_GET_PRINTERS, const_cast<const char**>(kPrinterAttributes), Count(kPrinterAttributes));
    if (!response) return std::nullopt;
    PrinterList list;
    if (*response) list.printers = Objects(response->get(), IPP_TAG_PRINTER);
    if (cups_dest_t* dest = cups.cupsGetNamedDest(session.Http(), nullptr, nullptr)) {
        list.defaultPrinter = dest->name;
        cups.cupsFreeDests(1, dest);
    }
    return list;
}

std::optional<std::vector<IppAttributes>> CupsPrintServer::Jobs() {
    Session session(FServer, FAbsentMeansNone);
    auto response =
        session.Ask(IPP_OP_GET_JOBS, const_cast<const char**>(kJobAttributes), Count(kJobAttributes), "all");
    if (!response) return std::nullopt;
    if (!*response) return std::vector<IppAttributes>();
    return Objects(response->get(), IPP_TAG_JOB);
}

}  // namespace cimv2
