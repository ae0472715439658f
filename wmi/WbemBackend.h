#pragma once
// Where a services object sends its work: the in-process provider for the
// local computer, the SSH transport for another one.
#include <memory>
#include <string>

#include "cimv2/provider/Provider.h"

namespace wmi {

class WbemBackend {
public:
    virtual ~WbemBackend() = default;
    virtual cimv2::QueryResult ExecQuery(const std::string& wql) = 0;
    virtual cimv2::ParamList ExecMethod(const std::string& className, const cimv2::Instance& keys,
                                        const std::string& method, const cimv2::ParamList& in) = 0;
};

class LocalBackend : public WbemBackend {
public:
    explicit LocalBackend(cimv2::ProviderContext context) : FProvider(std::move(context)) {}
    cimv2::QueryResult ExecQuery(const std::string& wql) override { return FProvider.ExecQuery(wql); }
    cimv2::ParamList ExecMethod(const std::string& className, const cimv2::Instance& keys, const std::string& method,
                                const cimv2::ParamList& in) override {
        return FProvider.ExecMethod(className, keys, method, in);
    }

private:
    cimv2::Provider FProvider;
};

}  // namespace wmi
