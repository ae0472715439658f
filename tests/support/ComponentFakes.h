#pragma once
// A scripting-interface backend that serves hand-made instances of any
// schema and records what it was asked. It is reached as a remote host
// ("fake-host"), so components connect to it exactly as to a real computer.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cimv2/core/WbemError.h"
#include "cimv2/core/Wql.h"
#include "cimv2/provider/Provider.h"
#include "cimv2/sources/SystemActions.h"
#include "wmi/Notice.h"
#include "wmi/WbemScripting.h"

namespace compfake {

class FakeBackend : public wmi::WbemBackend {
public:
    struct Call {
        std::string className;
        cimv2::Instance keys;
        std::string method;
        cimv2::ParamList in;
    };

    explicit FakeBackend(const cimv2::ClassSchema& schema) : FSchema(&schema) {}

    std::vector<cimv2::Instance> instances;
    std::vector<std::string> queries;
    std::vector<Call> calls;
    cimv2::ParamList reply = {{"ReturnValue", cimv2::Value::UInt(0)}};

    cimv2::QueryResult ExecQuery(const std::string& wql) override {
        queries.push_back(wql);
        cimv2::WqlQuery query = cimv2::ParseWql(wql);
        if (!cimv2::EqualsNoCase(query.className, FSchema->Name()))
            throw cimv2::WbemError(cimv2::wbem::InvalidClass, "Invalid class \"" + query.className + "\"");
        return cimv2::ApplyQuery(cimv2::BoundQuery(query, *FSchema), instances);
    }

    cimv2::ParamList ExecMethod(const std::string& className, const cimv2::Instance& keys, const std::string& method,
                                const cimv2::ParamList& in) override {
        calls.push_back({className, keys, method, in});
        return reply;
    }

private:
    const cimv2::ClassSchema* FSchema;
};

// Installs a fake as the remote host "fake-host" for the test's lifetime;
// any other remote host is unreachable.
class FakeHost {
public:
    static constexpr const char* kName = "fake-host";

    explicit FakeHost(std::shared_ptr<FakeBackend> backend) : FBackend(std::move(backend)) {
        auto target = FBackend;
        wmi::SetRemoteConnector([target](const std::string& server) -> std::shared_ptr<wmi::WbemBackend> {
            if (server == kName) return target;
            throw cimv2::WbemError(cimv2::wbem::RpcServerUnavailable,
                                   "ssh: Could not resolve hostname " + server + ": Name or service not known");
        });
    }
    ~FakeHost() { wmi::SetRemoteConnector(nullptr); }
    FakeHost(const FakeHost&) = delete;
    FakeHost& operator=(const FakeHost&) = delete;

    FakeBackend& Backend() { return *FBackend; }

private:
    std::shared_ptr<FakeBackend> FBackend;
};

// Records the notices the component layer raises.
class NoticeRecorder {
public:
    NoticeRecorder() {
        FPrevious = wmi::SetNoticeHandler([this](wmi::NoticeKind kind, const std::string& text) {
            kinds.push_back(kind);
            texts.push_back(text);
        });
    }
    ~NoticeRecorder() { wmi::SetNoticeHandler(std::move(FPrevious)); }
    NoticeRecorder(const NoticeRecorder&) = delete;
    NoticeRecorder& operator=(const NoticeRecorder&) = delete;

    std::vector<wmi::NoticeKind> kinds;
    std::vector<std::string> texts;

private:
    wmi::NoticeHandler FPrevious;
};

// Management actions that record instead of changing the machine.
class RecordingActions : public cimv2::SystemActions {
public:
    uint32_t SetStaticHostName(const std::string& name) override {
        hostNames.push_back(name);
        return answer;
    }
    uint32_t Reboot() override {
        ++reboots;
        return answer;
    }
    std::vector<std::string> hostNames;
    int reboots = 0;
    uint32_t answer = 0;
};

}  // namespace compfake
