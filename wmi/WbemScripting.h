#pragma once
// The WMI scripting objects the program calls: locator, services, object
// set and its enumerator, objects with their properties and methods.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cimv2/core/WbemError.h"
#include "wmi/EOleException.h"
#include "wmi/OleVariant.h"
#include "wmi/WbemBackend.h"

namespace wmi {

constexpr int32_t wbemFlagReturnImmediately = 16;
constexpr int32_t wbemFlagForwardOnly = 32;
constexpr uint32_t S_OK_ = 0;
constexpr uint32_t S_FALSE_ = 1;

class SWbemObject;
class SWbemServices;
using SWbemObjectPtr = std::shared_ptr<SWbemObject>;
using SWbemServicesPtr = std::shared_ptr<SWbemServices>;

class SWbemProperty {
public:
    SWbemProperty(std::string name, cimv2::CimType type, bool array, OleVariant value)
        : FName(std::move(name)), FType(type), FArray(array), FValue(std::move(value)) {}
    const std::string& Name() const { return FName; }
    int32_t CIMType() const { return static_cast<int32_t>(FType); }
    bool IsArray() const { return FArray; }
    const OleVariant& Value() const { return FValue; }
    void SetValue(OleVariant value) { FValue = std::move(value); }

private:
    std::string FName;
    cimv2::CimType FType;
    bool FArray;
    OleVariant FValue;
};

class SWbemPropertySet {
public:
    // Throws EOleException(NotFound) when absent.
    SWbemProperty& Item(const std::string& name, int32_t flags = 0);
    SWbemProperty* Find(const std::string& name);
    SWbemProperty& Add(const std::string& name, int32_t cimType, bool isArray = false, int32_t flags = 0);
    size_t Count() const { return FItems.size(); }
    std::vector<SWbemProperty>& Items() { return FItems; }
    const std::vector<SWbemProperty>& Items() const { return FItems; }

private:
    std::vector<SWbemProperty> FItems;
};

class SWbemMethod {
public:
    SWbemMethod(std::string name, SWbemObjectPtr in, SWbemObjectPtr out)
        : FName(std::move(name)), FIn(std::move(in)), FOut(std::move(out)) {}
    const std::string& Name() const { return FName; }
    // Class objects describing the parameters, or null when there are none.
    SWbemObjectPtr InParameters() const { return FIn; }
    SWbemObjectPtr OutParameters() const { return FOut; }

private:
    std::string FName;
    SWbemObjectPtr FIn, FOut;
};

class SWbemMethodSet {
public:
    explicit SWbemMethodSet(const cimv2::ClassSchema* schema) : FSchema(schema) {}
    // Throws EOleException(InvalidMethod) for a name the class lacks.
    SWbemMethod Item(const std::string& name, int32_t flags = 0) const;
    size_t Count() const { return FSchema ? FSchema->Methods().size() : 0; }

private:
    const cimv2::ClassSchema* FSchema;
};

class SWbemObject : public std::enable_shared_from_this<SWbemObject> {
public:
    // An instance of a provider class, bound to the backend it came from.
    SWbemObject(cimv2::Instance instance, std::shared_ptr<WbemBackend> backend);
    // A parameter object (class or instance) with a free property list.
    explicit SWbemObject(std::string className);

    // Late-bound property read: null when the property has no value;
    // EPropertyNotFound for a name the class lacks.
    OleVariant Get(const std::string& name) const;
    std::string GetObjectText_(int32_t flags = 0) const;
    const std::string& ClassName() const { return FClassName; }

    SWbemPropertySet& Properties_() { return FProperties; }
    const SWbemPropertySet& Properties_() const { return FProperties; }
    SWbemMethodSet Methods_() const { return SWbemMethodSet(FInstance ? FInstance->schema : nullptr); }
    // A new empty instance of a parameter class.
    SWbemObjectPtr SpawnInstance_(int32_t flags = 0) const;
    // Runs a method on this instance; the result is the out-parameter object.
    SWbemObjectPtr ExecMethod_(const std::string& method, const SWbemObjectPtr& inParameters, int32_t flags = 0,
                               const void* context = nullptr);

private:
    std::string FClassName;
    std::shared_ptr<cimv2::Instance> FInstance;  // null for parameter objects
    std::shared_ptr<WbemBackend> FBackend;
    SWbemPropertySet FProperties;
};

class IEnumVARIANT {
public:
    explicit IEnumVARIANT(std::shared_ptr<std::vector<SWbemObjectPtr>> items) : FItems(std::move(items)) {}
    // Fetches up to count elements into out; S_OK_ when all were fetched,
    // S_FALSE_ when the set ran out first.
    uint32_t Next(uint32_t count, OleVariant* out, uint32_t* fetched);

private:
    std::shared_ptr<std::vector<SWbemObjectPtr>> FItems;
    size_t FPos = 0;
};

class SWbemObjectSet {
public:
    SWbemObjectSet(std::vector<SWbemObjectPtr> items, bool forwardOnly);
    // A forward-only set can be walked once; a second enumerator is an error.
    std::unique_ptr<IEnumVARIANT> _NewEnum();
    int32_t Count() const;

private:
    std::shared_ptr<std::vector<SWbemObjectPtr>> FItems;
    bool FForwardOnly;
    bool FWalked = false;
};
using SWbemObjectSetPtr = std::shared_ptr<SWbemObjectSet>;

class SWbemServices {
public:
    explicit SWbemServices(std::shared_ptr<WbemBackend> backend) : FBackend(std::move(backend)) {}
    SWbemObjectSetPtr ExecQuery(const std::string& query, const std::string& language = "WQL", int32_t flags = 16,
                                const void* context = nullptr);

private:
    std::shared_ptr<WbemBackend> FBackend;
};

class SWbemLocator {
public:
    SWbemServicesPtr ConnectServer(const std::string& server = "", const std::string& nameSpace = "",
                                   const std::string& user = "", const std::string& password = "",
                                   const std::string& locale = "", const std::string& authority = "",
                                   int32_t securityFlags = 0, const void* namedValues = nullptr);
};

// Whether a server text names this computer.
bool IsLocalServer(const std::string& server);

// What the local computer's services read: the live machine by default,
// a captured tree for tests and the query tool's --root.
void SetLocalContext(cimv2::ProviderContext context);
const cimv2::ProviderContext& LocalContext();

// Opens a backend for a remote server; until one is installed, remote
// servers cannot be reached.
using RemoteConnector = std::function<std::shared_ptr<WbemBackend>(const std::string& server)>;
void SetRemoteConnector(RemoteConnector connector);
// The backend ConnectServer uses for a server text; throws EOleException.
std::shared_ptr<WbemBackend> OpenBackend(const std::string& server);

// Runs f, turning provider failures into automation errors.
template <typename F>
auto WithAutomationErrors(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const cimv2::WbemError& e) {
        throw EOleException(e.what(), e.Code());
    }
}

}  // namespace wmi
