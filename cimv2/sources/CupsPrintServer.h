#pragma once
// The print server as CUPS answers it, through libcups: one CUPS-Get-Printers
// and one Get-Jobs request (one more for each 500 jobs of a longer history),
// each asking only for the attributes the printer classes read. The server is the one libcups is configured for
// (CUPS_SERVER, client.conf, this computer's scheduler) or one named by the caller.
#include <cstddef>
#include <string>
#include <string_view>

#include "cimv2/sources/IppMessage.h"
#include "cimv2/sources/PrintServer.h"

namespace cimv2 {

// Whether a server name and port are what libcups falls back to when
// nothing names a server: this computer's own scheduler, on its domain
// socket or on localhost's IPP port. A failure to reach that server means
// no print server runs here; any other server was configured on purpose.
bool IsLocalDefaultServer(std::string_view server, int port);

// What the server's answers may hold before the reading stops with an error.
struct CupsLimits {
    size_t answerBytes = kIppAnswerLimit;  // one answer (IppMessage.h)
    // Get-Jobs answers of one listing: cupsd gives 500 jobs a page, so a
    // million jobs; a server whose pages never end is stopped.
    int jobPages = 2000;
};

class CupsPrintServer : public PrintServer {
public:
    // The server libcups is configured for (CUPS_SERVER, client.conf, or
    // this computer's scheduler).
    CupsPrintServer() = default;
    // A named server: a domain socket path or host[:port]. absentMeansNone
    // says whether a server that cannot be reached counts as no server
    // (true) or as a failure (false).
    CupsPrintServer(std::string server, bool absentMeansNone, CupsLimits limits = {})
        : FServer(std::move(server)), FAbsentMeansNone(absentMeansNone), FLimits(limits) {}

    std::optional<PrinterList> Printers() override;
    std::optional<std::vector<IppAttributes>> Jobs() override;

private:
    std::string FServer;  // empty: the configured one
    bool FAbsentMeansNone = false;
    CupsLimits FLimits;
};

}  // namespace cimv2
