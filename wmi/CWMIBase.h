#pragma once
// The base of the WMI class components: connects to a host, runs one query
// per activation, keeps every object's text and reads property values out
// of the current object's text on demand.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "wmi/OleVariant.h"
#include "wmi/WbemScripting.h"

namespace wmi {

using TArrString = std::vector<std::string>;
using TArrInteger = std::vector<int32_t>;
using TArrVariant = std::vector<OleVariant>;
using TArrByte = std::vector<uint8_t>;

// The base's own failures (index errors, a connect that failed without a
// message of its own).
class EWMIBaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

extern const char* const kErrNotConnected;
extern const char* const kErrNotActive;
extern const char* const kErrIndexOutOfBounds;
extern const char* const kWarnNotActive;

// CIM type codes of method parameters.
constexpr int32_t kCimSInt32 = 3;
constexpr int32_t kCimString = 8;
constexpr int32_t kCimObject = 13;
constexpr int32_t kCimUInt32 = 19;

class TWMIBase {
public:
    TWMIBase();
    virtual ~TWMIBase();
    TWMIBase(const TWMIBase&) = delete;
    TWMIBase& operator=(const TWMIBase&) = delete;

    const std::string& Host() const { return FHost; }
    void SetHost(std::string host) { FHost = std::move(host); }
    bool Active() const { return FActive; }
    virtual void SetActive(bool value);
    int32_t ObjectIndex() const { return FObjectIndex; }
    void SetObjectIndex(int32_t value);
    int32_t ObjectsCount() const { return FObjectsCount; }
    // Stores the number and nothing else, as the published property does.
    void SetObjectsCount(int32_t value) { FObjectsCount = value; }
    const TArrString& AllProperties() const { return FAllProperties; }
    // The current object's "Caption"; empty text without one.
    std::string ComponentCaption();
    void SetComponentCaption(std::string caption) { FComponentCaption = std::move(caption); }
    const std::string& MSDNHelp() const { return FMSDNHelp; }
    void SetMSDNHelp(std::string address) { FMSDNHelp = std::move(address); }
    bool Connected() const { return FConnected; }
    const SWbemServicesPtr& WMIServices() const { return aServices; }
    std::string WMIClass() const { return GetWMIClass(); }

    // The value text of a property of the current object and whether it is
    // absent or empty. With no current object both stay as they were.
    void GetWMIPropertyValue(const std::string& name, OleVariant& value, bool& isNull) const;

    // Runs a method on the object selected by instanceProp = instanceValue
    // (the first object of the class when both are empty). paramValues
    // receives the out parameters; result the method's "ReturnValue".
    void ExecWMIMethod(const std::string& instanceProp, const OleVariant& instanceValue, const std::string& methodName,
                       const TArrString& paramNames, TArrVariant& paramValues, const TArrByte& paramDirections,
                       const TArrInteger& paramTypes, OleVariant& result);

    // One value out of an object's text, quotes and the closing semicolon
    // removed; empty text when the object has no line for it.
    static std::string GetPropertyFromText(std::string_view name, std::string_view objectText);
    // The same value as the component reads it: a string's escapes decoded,
    // so that it reads as it does everywhere else; an array's texts in the
    // list form the conversions split (quoted, "" for a quote inside).
    static std::string DecodedPropertyText(std::string_view name, std::string_view objectText);

    // The target of a method call; null when no object matches.
    static SWbemObjectPtr GetWMIObject(const SWbemServicesPtr& services, const std::string& keyName,
                                       const OleVariant& keyValue, const std::string& className);

protected:
    virtual std::string GetWMIClass() const = 0;
    virtual std::string GetWMINamespace() const = 0;
    virtual void ClearProps();
    virtual void FillProps(int32_t index);

private:
    void Connect();
    static void GetAllObjectsText(int32_t index, const SWbemServicesPtr& services, const std::string& className,
                                  TArrString& list);

    SWbemServicesPtr aServices;
    bool FActive = false;
    TArrString FAllProperties;
    int32_t FObjectsCount = 0;
    bool FConnected = false;
    std::string FHost = ".";
    int32_t FObjectIndex = 0;
    std::string FMSDNHelp;
    std::string FComponentCaption;
};

}  // namespace wmi
