#pragma once
// The print server as CUPS answers it, through libcups: one CUPS-Get-Printers
// and one Get-Jobs request (one more for each 500 jobs of a longer history),
// each asking only for the attributes the printer classes read. The server is the one libcups is configured for
// (CUPS_SERVER, client.conf, this computer's scheduler) or one named by the caller.
#include <string>
#include <string_view>

#include "cimv2/sources/PrintServer.h"

namespace cimv2 {

// Whether a server name and port are what libcups falls back to when
// nothing names a server: this computer's own scheduler, on its domain
// socket or on localhost's IPP port. A failure to reach that server means
// no print server runs here; any other server was configured on purpose.
bool IsLocalDefaultServer(std::string_view server, int port);

class CupsPrintServer : public PrintServer {
public:
    // The server libcups is configured for (CUPS_SERVER, client.conf, or
    // this computer's scheduler).
    CupsPrintServer() = default;
    // A named server: a domain socket path or host[:port]. absentMeansNone
    // says whether a server that cannot be reached counts as no server
    // (true) or as a failure (false).
    CupsPrintServer(std::string server, bool absentMeansNone)
        : FServer(std::move(server)), FAbsentMeansNone(absentMeansNone) {}

    std::optional<PrinterList> Printers() override;
    std::optional<std::vector<IppAttributes>> Jobs() override;

private:
    std::string FServer;  // empty: the configured one
    bool FAbsentMeansNone = false;
};

}  // namespace cimv2
