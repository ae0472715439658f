#include "remote/Agent.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "cimv2/core/SafeText.h"
#include "cimv2/core/WbemError.h"

namespace remote {

namespace {

constexpr size_t kFlushBytes = 64u << 10;
constexpr const char* kSoftware = "sysquill-agent 1";

class Channel {
public:
    Channel(int inFd, int outFd, size_t maxFrame) : FIn(inFd), FOut(outFd), FParser(maxFrame) {}

    // The next request, or nothing at the end of the input.
    std::optional<Frame> Read() {
        for (;;) {
            if (auto frame = FParser.Next()) return frame;
            char buffer[64 << 10];
            ssize_t got = ::read(FIn, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                if (FParser.Buffered() > 0) throw cimv2::WbemError(kTransportFailure, "The request was cut off");
                return std::nullopt;
            }
            FParser.Feed(buffer, static_cast<size_t>(got));
        }
    }

    void Send(FrameType type, std::string_view payload) {
        AppendFrame(FPending, type, payload);
        if (FPending.size() >= kFlushBytes) Flush();
    }

    // False once the reader has gone away.
    bool Flush() {
        size_t done = 0;
        while (done < FPending.size()) {
            ssize_t put = ::write(FOut, FPending.data() + done, FPending.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                FBroken = true;
                break;
            }
            done += static_cast<size_t>(put);
        }
        FPending.clear();
        return !FBroken;
    }

    bool Broken() const { return FBroken; }

private:
    int FIn, FOut;
    FrameParser FParser;
    std::string FPending;
    bool FBroken = false;
};

// The whole text, control characters escaped: a NUL in it (from a query,
// say) neither cuts it short here nor on the client.
void SendError(Channel& channel, uint32_t code, std::string_view message) {
    channel.Send(FrameType::Error, ErrorPayload(code, cimv2::EscapeControls(message)));
}

// Watches the client's end while a request is worked on: a client that has
// gone (ssh closed the channel) wants no answer, and a query may take long.
// Its reading end is what tells: a client may well have closed its input
// after its last request and still wait for the answer.
class ClientWatch {
public:
    ClientWatch(int outFd, const std::function<void()>& gone) {
        if (!gone || ::pipe2(FStop, O_CLOEXEC) != 0) return;
        FThread = std::thread([outFd, gone, stop = FStop[0]] {
            // No reader left: POLLERR on a pipe, POLLHUP on a socket.
            pollfd fds[2] = {{outFd, 0, 0}, {stop, POLLIN, 0}};
            while (::poll(fds, 2, -1) < 0 && errno == EINTR) {
            }
            if (fds[1].revents == 0 && (fds[0].revents & (POLLHUP | POLLERR)) != 0) gone();
        });
    }
    ~ClientWatch() {
        if (!FThread.joinable()) return;
        (void)!::write(FStop[1], "", 1);
        FThread.join();
        ::close(FStop[0]);
        ::close(FStop[1]);
    }
    ClientWatch(const ClientWatch&) = delete;
    ClientWatch& operator=(const ClientWatch&) = delete;

private:
    int FStop[2] = {-1, -1};
    std::thread FThread;
};

void AnswerQuery(Channel& channel, const AgentService& service, const Frame& frame, uint16_t clientVersion,
                 const Limits& limits) {
    cimv2::QueryResult result = service.query(DecodeQuery(frame));
    // The select list and the keys: the client nulls the rest anyway.
    const std::vector<int> columns = AnswerColumns(result);
    channel.Send(FrameType::Header, HeaderPayload(*result.schema, columns));
    cimv2::SourceNotes cut(result.schema->Name());
    for (auto& inst : result.instances) {
        // A client that has gone reads no more.
        if (channel.Broken()) return;
        // One huge value (4 MB of arguments) is cut, not the whole answer lost.
        for (const std::string& name : FitRecord(inst, columns, limits.maxFrameBytes))
            cut.Add(cimv2::NoteCause::Incomplete, name + " cut to fit the answer");
        channel.Send(FrameType::Record, RecordPayload(inst, columns));
    }
    // An older client would take a note it does not know for a broken answer.
    const uint8_t lastCause = LastNoteCause(clientVersion);
    std::vector<cimv2::SourceNote> notes = std::move(result.notes);
    for (auto& note : cut.Take()) notes.push_back(std::move(note));
    for (const auto& note : notes)
        if (static_cast<uint8_t>(note.cause) <= lastCause) channel.Send(FrameType::Note, NotePayload(note));
    channel.Send(FrameType::End, EndPayload(static_cast<uint32_t>(result.instances.size())));
}

void AnswerMethod(Channel& channel, const AgentService& service, const Frame& frame) {
    MethodRequest request = DecodeMethod(frame);
    if (service.readOnly)
        throw cimv2::WbemError(cimv2::wbem::AccessDenied,
                               "Access denied: the agent on this computer is read-only and runs no methods");
    const cimv2::ClassSchema* schema = service.findSchema(request.className);
    if (!schema) throw cimv2::WbemError(cimv2::wbem::InvalidClass, "Invalid class \"" + request.className + "\"");
    cimv2::Instance keys(*schema);
    for (auto& [name, value] : request.keys) {
        int index = schema->IndexOf(name);
        if (index < 0 || !schema->Properties()[static_cast<size_t>(index)].IsKey())
            throw cimv2::WbemError(cimv2::wbem::InvalidParameter, "\"" + name + "\" is not a key of " + schema->Name());
        const cimv2::PropertyDef& def = schema->Properties()[static_cast<size_t>(index)];
        if (!cimv2::ValueFits(value, def.type, def.IsArray()))
            throw cimv2::WbemError(cimv2::wbem::InvalidParameter, "Key " + name + " does not fit its type");
        keys.values[static_cast<size_t>(index)] = std::move(value);
    }
    cimv2::ParamList out = service.method(schema->Name(), keys, request.method, request.in);
    channel.Send(FrameType::OutParams, OutParamsPayload(out));
}

}  // namespace

AgentService ProviderService(const cimv2::Provider& provider, bool readOnly) {
    AgentService service;
    service.query = [&provider](const std::string& wql) { return provider.ExecQuery(wql); };
    service.method = [&provider](const std::string& className, const cimv2::Instance& keys, const std::string& method,
                                 const cimv2::ParamList& in) {
        return provider.ExecMethod(className, keys, method, in);
    };
    service.readOnly = readOnly;
    return service;
}

int ServeAgent(int inFd, int outFd, const AgentService& service, const Limits& limits) {
    Channel channel(inFd, outFd, limits.maxFrameBytes);
    try {
        auto first = channel.Read();
        if (!first) return 0;
        Hello hello;
        try {
            hello = DecodeHello(*first);
        } catch (const cimv2::WbemError&) {
            SendError(channel, kTransportFailure, "The request did not start with the sysquill hello");
            channel.Flush();
            return 1;
        }
        // A newer client is answered in this agent's version, which it
        // speaks too; only a client older than any version known is refused.
        hello.version = std::min(hello.version, kProtocolVersion);
        if (!SpeaksProtocol(hello.version)) {
            SendError(channel, kTransportFailure,
                      "This sysquill-agent speaks protocol version " + std::to_string(kProtocolVersion) +
                          ", the client " + std::to_string(hello.version) + "; install matching versions");
            channel.Flush();
            return 1;
        }
        channel.Send(FrameType::Hello, HelloPayload(kSoftware, hello.version));
        if (!channel.Flush()) return 1;
        while (auto frame = channel.Read()) {
            if (frame->type != FrameType::Query && frame->type != FrameType::Method) {
                SendError(channel, kTransportFailure, "Unexpected request frame");
                channel.Flush();
                return 1;
            }
            try {
                ClientWatch watch(outFd, service.clientGone);
                if (frame->type == FrameType::Query)
                    AnswerQuery(channel, service, *frame, hello.version, limits);
                else
                    AnswerMethod(channel, service, *frame);
            } catch (const cimv2::WbemError& e) {
                SendError(channel, e.Code(), e.Message());
            } catch (const std::exception& e) {
                SendError(channel, cimv2::wbem::ProviderFailure, e.what());
            }
            if (!channel.Flush()) return 1;
        }
        return 0;
    } catch (const cimv2::WbemError& e) {
        // A request that cannot be read leaves the stream out of step: say so and stop.
        SendError(channel, e.Code(), e.Message());
        channel.Flush();
        return 1;
    }
}

}  // namespace remote
