#pragma once
// The far side of the protocol: answers requests read from one descriptor
// on another. sysquill-agent runs it over stdin and stdout.
#include <functional>
#include <string>

#include "cimv2/provider/Provider.h"
#include "remote/Protocol.h"

namespace remote {

struct AgentService {
    std::function<cimv2::QueryResult(const std::string& wql)> query;
    std::function<cimv2::ParamList(const std::string& className, const cimv2::Instance& keys, const std::string& method,
                                   const cimv2::ParamList& in)>
        method;
    SchemaLookup findSchema = RegistrySchema;
    // Method calls are refused with access denied.
    bool readOnly = false;
    // Called (on another thread) when nobody reads the answers any more
    // while a request is worked on; the program ends there. Empty: nobody
    // watches.
    std::function<void()> clientGone;
};

// The service of a provider (which must outlive it).
AgentService ProviderService(const cimv2::Provider& provider, bool readOnly);

// Serves until the input ends (status 0) or the stream breaks (status 1).
int ServeAgent(int inFd, int outFd, const AgentService& service, const Limits& limits = {});

}  // namespace remote
