#pragma once
// A scripted service for page tests: named hosts answer from small test
// schemas, other hosts fail the way an unreachable computer does.
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cimv2/core/Schema.h"
#include "cimv2/core/WbemError.h"
#include "wmi/WbemScripting.h"

namespace fakewbem {

using Object = std::vector<std::pair<std::string, cimv2::Value>>;

class FakeBackend : public wmi::WbemBackend {
public:
    // Adds (or replaces) a class with its objects.
    void AddClass(cimv2::ClassSchema schema, std::vector<Object> objects) {
        auto owned = std::make_unique<cimv2::ClassSchema>(std::move(schema));
        const std::string key = cimv2::Lower(owned->Name());
        FObjects[key] = std::move(objects);
        FSchemas[key] = std::move(owned);
    }

    cimv2::QueryResult ExecQuery(const std::string& wql) override {
        queries.push_back(wql);
        const std::string prefix = "SELECT * FROM ";
        if (wql.rfind(prefix, 0) != 0) throw cimv2::WbemError(cimv2::wbem::InvalidQuery, "Invalid query");
        const std::string key = cimv2::Lower(wql.substr(prefix.size()));
        auto found = FSchemas.find(key);
        if (found == FSchemas.end()) throw cimv2::WbemError(cimv2::wbem::InvalidClass, "Invalid class");
        cimv2::QueryResult result;
        result.schema = found->second.get();
        for (size_t n = 0; n < result.schema->Properties().size(); ++n) result.selected.push_back(static_cast<int>(n));
        for (const Object& object : FObjects[key]) {
            cimv2::Instance instance(*result.schema);
            for (const auto& [name, value] : object) instance.Set(name, value);
            result.instances.push_back(std::move(instance));
        }
        return result;
    }

    cimv2::ParamList ExecMethod(const std::string&, const cimv2::Instance&, const std::string&,
                                const cimv2::ParamList&) override {
        throw cimv2::WbemError(cimv2::wbem::InvalidMethod, "Invalid method");
    }

    std::vector<std::string> queries;

private:
    std::map<std::string, std::unique_ptr<cimv2::ClassSchema>> FSchemas;
    std::map<std::string, std::vector<Object>> FObjects;
};

// While alive, host "fakehost" reaches backend and every other remote host
// is unreachable (0x800706BA, as ssh's failure to connect is reported).
class FakeHosts {
public:
    static constexpr const char* kHost = "fakehost";
    static constexpr const char* kUnreachableText = "The RPC server is unavailable. ";

    FakeHosts() : backend(std::make_shared<FakeBackend>()) {
        std::shared_ptr<FakeBackend> b = backend;
        wmi::SetRemoteConnector([b](const std::string& server) -> std::shared_ptr<wmi::WbemBackend> {
            if (server == kHost) return b;
            throw cimv2::WbemError(cimv2::wbem::RpcServerUnavailable, kUnreachableText);
        });
    }
    ~FakeHosts() { wmi::SetRemoteConnector(nullptr); }
    FakeHosts(const FakeHosts&) = delete;
    FakeHosts& operator=(const FakeHosts&) = delete;

    std::shared_ptr<FakeBackend> backend;
};

// The properties the hardware pages read, with the types WMI gives them.
inline cimv2::ClassSchema BaseBoardSchema() {
    using cimv2::CimType;
    return cimv2::ClassSchema("Win32_BaseBoard", {{"Tag", CimType::String, cimv2::kKey},
                                                  {"Caption", CimType::String},
                                                  {"Description", CimType::String},
                                                  {"Name", CimType::String},
                                                  {"Manufacturer", CimType::String},
                                                  {"Product", CimType::String},
                                                  {"Version", CimType::String},
                                                  {"SerialNumber", CimType::String},
                                                  {"HostingBoard", CimType::Boolean},
                                                  {"RequiresDaughterBoard", CimType::Boolean},
                                                  {"Removable", CimType::Boolean},
                                                  {"Replaceable", CimType::Boolean},
                                                  {"HotSwappable", CimType::Boolean},
                                                  {"PoweredOn", CimType::Boolean},
                                                  {"Status", CimType::String}});
}

inline cimv2::ClassSchema BusSchema() {
    using cimv2::CimType;
    return cimv2::ClassSchema("Win32_Bus", {{"DeviceID", CimType::String, cimv2::kKey},
                                            {"Caption", CimType::String},
                                            {"Description", CimType::String},
                                            {"BusNum", CimType::UInt32},
                                            {"BusType", CimType::UInt32}});
}

inline cimv2::ClassSchema PnPEntitySchema() {
    using cimv2::CimType;
    return cimv2::ClassSchema("Win32_PnPEntity", {{"DeviceID", CimType::String, cimv2::kKey},
                                                  {"Name", CimType::String},
                                                  {"Caption", CimType::String},
                                                  {"Description", CimType::String},
                                                  {"Manufacturer", CimType::String},
                                                  {"PNPClass", CimType::String},
                                                  {"Present", CimType::Boolean},
                                                  {"ConfigManagerUserConfig", CimType::Boolean},
                                                  {"ConfigManagerErrorCode", CimType::UInt32},
                                                  {"Status", CimType::String}});
}

inline Object BusObject(const std::string& id, const std::string& caption, const std::string& description,
                        uint32_t number) {
    return {{"DeviceID", cimv2::Value::Text(id)},
            {"Caption", cimv2::Value::Text(caption)},
            {"Description", cimv2::Value::Text(description)},
            {"BusNum", cimv2::Value::UInt(number)},
            {"BusType", cimv2::Value::UInt(5)}};
}

}  // namespace fakewbem
