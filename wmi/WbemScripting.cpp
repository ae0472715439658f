#include "wmi/WbemScripting.h"

#include <mutex>

#include "cimv2/core/ObjectText.h"
#include "wmi/SourceNoteChannel.h"

namespace wmi {

using cimv2::wbem::InvalidMethod;
using cimv2::wbem::InvalidOperation;
using cimv2::wbem::InvalidParameter;
using cimv2::wbem::InvalidQueryType;
using cimv2::wbem::NotFound;
using cimv2::wbem::RpcServerUnavailable;

namespace {

std::mutex gConfigLock;
cimv2::ProviderContext& LocalContextStore() {
    static cimv2::ProviderContext context;
    return context;
}
RemoteConnector& RemoteConnectorStore() {
    static RemoteConnector connector;
    return connector;
}

SWbemObjectPtr ParameterClass(const std::string& name, const std::vector<cimv2::ParameterDef>& params) {
    if (params.empty()) return nullptr;
    auto object = std::make_shared<SWbemObject>(name);
    for (const auto& p : params)
        object->Properties_().Add(p.name, static_cast<int32_t>(p.type), (p.flags & cimv2::kArray) != 0);
    return object;
}

}  // namespace

bool IsLocalServer(const std::string& server) {
    return server.empty() || server == "." || cimv2::EqualsNoCase(server, "localhost");
}

void SetLocalContext(cimv2::ProviderContext context) {
    std::lock_guard<std::mutex> lock(gConfigLock);
    LocalContextStore() = std::move(context);
}

const cimv2::ProviderContext& LocalContext() { return LocalContextStore(); }

void SetRemoteConnector(RemoteConnector connector) {
    std::lock_guard<std::mutex> lock(gConfigLock);
    RemoteConnectorStore() = std::move(connector);
}

// ---- properties and methods

SWbemProperty* SWbemPropertySet::Find(const std::string& name) {
    for (auto& p : FItems)
        if (cimv2::EqualsNoCase(p.Name(), name)) return &p;
    return nullptr;
}

SWbemProperty& SWbemPropertySet::Item(const std::string& name, int32_t) {
    if (SWbemProperty* p = Find(name)) return *p;
    throw EOleException("Not found", NotFound);
}

SWbemProperty& SWbemPropertySet::Add(const std::string& name, int32_t cimType, bool isArray, int32_t) {
    if (SWbemProperty* p = Find(name)) return *p;
    FItems.emplace_back(name, static_cast<cimv2::CimType>(cimType), isArray, OleVariant::Null());
    return FItems.back();
}

SWbemMethod SWbemMethodSet::Item(const std::string& name, int32_t) const {
    const cimv2::MethodDef* def = FSchema ? FSchema->FindMethod(name) : nullptr;
    if (!def) throw EOleException("Invalid method \"" + name + "\"", InvalidMethod);
    return SWbemMethod(def->name, ParameterClass("__PARAMETERS", def->in), ParameterClass("__PARAMETERS", def->out));
}

// ---- objects

SWbemObject::SWbemObject(cimv2::Instance instance, std::shared_ptr<WbemBackend> backend)
    : FClassName(instance.schema->Name()),
      FInstance(std::make_shared<cimv2::Instance>(std::move(instance))),
      FBackend(std::move(backend)) {
    const auto& props = FInstance->schema->Properties();
    for (size_t n = 0; n < props.size(); ++n)
        FProperties.Items().emplace_back(props[n].name, props[n].type, props[n].IsArray(),
                                         FromCimValue(FInstance->values[n], props[n].type));
}

SWbemObject::SWbemObject(std::string className) : FClassName(std::move(className)) {}

OleVariant SWbemObject::Get(const std::string& name) const {
    for (const auto& p : FProperties.Items())
        if (cimv2::EqualsNoCase(p.Name(), name)) return p.Value();
    throw EPropertyNotFound(name);
}

std::string SWbemObject::GetObjectText_(int32_t) const {
    if (FInstance) return cimv2::WriteObjectText(*FInstance);
    // Parameter objects: same form, typed by their declared properties.
    std::string out = "instance of " + FClassName + "\n{\n";
    for (const auto& p : FProperties.Items()) {
        auto type = static_cast<cimv2::CimType>(p.CIMType());
        cimv2::Value v;
        try {
            v = ToCimValue(p.Value(), type, p.IsArray());
        } catch (const std::invalid_argument&) {
            v = cimv2::Value::Text(p.Value().IsArray() ? std::string() : p.Value().ToText());
        }
        if (v.IsNull()) continue;
        out += "\t" + p.Name() + " = " + cimv2::WriteMofValue(v, type) + ";\n";
    }
    return out + "};\n";
}

SWbemObjectPtr SWbemObject::SpawnInstance_(int32_t) const {
    auto copy = std::make_shared<SWbemObject>(FClassName);
    for (const auto& p : FProperties.Items()) copy->Properties_().Add(p.Name(), p.CIMType(), p.IsArray());
    return copy;
}

SWbemObjectPtr SWbemObject::ExecMethod_(const std::string& method, const SWbemObjectPtr& inParameters, int32_t,
                                        const void*) {
    if (!FInstance || !FBackend) throw EOleException("Invalid method \"" + method + "\"", InvalidMethod);
    const cimv2::MethodDef* def = FInstance->schema->FindMethod(method);
    if (!def) throw EOleException("Invalid method \"" + method + "\"", InvalidMethod);
    cimv2::ParamList in;
    if (inParameters) {
        for (const auto& p : inParameters->Properties_().Items()) {
            const cimv2::ParameterDef* decl = nullptr;
            for (const auto& d : def->in)
                if (cimv2::EqualsNoCase(d.name, p.Name())) decl = &d;
            if (!decl) throw EOleException("Invalid parameter \"" + p.Name() + "\"", InvalidParameter);
            try {
                in.emplace_back(decl->name, ToCimValue(p.Value(), decl->type, (decl->flags & cimv2::kArray) != 0));
            } catch (const std::invalid_argument& e) {
                throw EOleException(std::string("Invalid parameter: ") + e.what(), InvalidParameter);
            }
        }
    }
    cimv2::ParamList out =
        WithAutomationErrors([&] { return FBackend->ExecMethod(FClassName, *FInstance, def->name, in); });
    auto result = std::make_shared<SWbemObject>("__PARAMETERS");
    for (const auto& d : def->out) {
        auto& prop = result->Properties_().Add(d.name, static_cast<int32_t>(d.type), (d.flags & cimv2::kArray) != 0);
        for (const auto& [name, value] : out)
            if (cimv2::EqualsNoCase(name, d.name)) prop.SetValue(FromCimValue(value, d.type));
    }
    return result;
}

// ---- sets

uint32_t IEnumVARIANT::Next(uint32_t count, OleVariant* out, uint32_t* fetched) {
    uint32_t got = 0;
    while (got < count && FPos < FItems->size()) out[got++] = OleVariant::Object((*FItems)[FPos++]);
    if (fetched) *fetched = got;
    return got == count ? S_OK_ : S_FALSE_;
}

SWbemObjectSet::SWbemObjectSet(std::vector<SWbemObjectPtr> items, bool forwardOnly)
    : FItems(std::make_shared<std::vector<SWbemObjectPtr>>(std::move(items))), FForwardOnly(forwardOnly) {}

std::unique_ptr<IEnumVARIANT> SWbemObjectSet::_NewEnum() {
    if (FForwardOnly && FWalked)
        throw EOleException("A forward-only object set can be enumerated only once", InvalidOperation);
    FWalked = true;
    return std::make_unique<IEnumVARIANT>(FItems);
}

int32_t SWbemObjectSet::Count() const {
    if (FForwardOnly) throw EOleException("A forward-only object set has no count", InvalidOperation);
    return static_cast<int32_t>(FItems->size());
}

// ---- services and locator

SWbemObjectSetPtr SWbemServices::ExecQuery(const std::string& query, const std::string& language, int32_t flags,
                                           const void*) {
    if (!cimv2::EqualsNoCase(language, "WQL"))
        throw EOleException("Invalid query language \"" + language + "\"", InvalidQueryType);
    if ((flags & ~(wbemFlagReturnImmediately | wbemFlagForwardOnly)) != 0)
        throw EOleException("Invalid query flags", InvalidParameter);
    cimv2::QueryResult result = WithAutomationErrors([&] { return FBackend->ExecQuery(query); });
    ReportSourceNotes(result.notes);
    std::vector<SWbemObjectPtr> objects;
    objects.reserve(result.instances.size());
    for (auto& inst : result.instances) objects.push_back(std::make_shared<SWbemObject>(std::move(inst), FBackend));
    return std::make_shared<SWbemObjectSet>(std::move(objects), (flags & wbemFlagForwardOnly) != 0);
}

std::shared_ptr<WbemBackend> OpenBackend(const std::string& server) {
    if (IsLocalServer(server)) {
        cimv2::ProviderContext context;
        {
            std::lock_guard<std::mutex> lock(gConfigLock);
            context = LocalContextStore();
        }
        return std::make_shared<LocalBackend>(std::move(context));
    }
    RemoteConnector connector;
    {
        std::lock_guard<std::mutex> lock(gConfigLock);
        connector = RemoteConnectorStore();
    }
    if (!connector)
        throw EOleException("The RPC server is unavailable: cannot reach \"" + server + "\"", RpcServerUnavailable);
    return WithAutomationErrors([&] { return connector(server); });
}

SWbemServicesPtr SWbemLocator::ConnectServer(const std::string& server, const std::string& nameSpace,
                                             const std::string&, const std::string&, const std::string&,
                                             const std::string&, int32_t, const void*) {
    WithAutomationErrors([&] { cimv2::CheckNamespace(nameSpace.empty() ? "root\\cimv2" : nameSpace); });
    return std::make_shared<SWbemServices>(OpenBackend(server));
}

}  // namespace wmi
