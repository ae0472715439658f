#include "cimv2/provider/DeviceProperties.h"

#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

// Device Manager's problem codes.
constexpr int64_t kWorking = 0;
constexpr int64_t kDriversNotInstalled = 28;

}  // namespace

PnPIdentity IdentityOf(const devtree::PnpDevice& device) {
    return {device.deviceId, device.deviceId, device.displayName, device.manufacturer};
}

void SetPnPIdentity(Instance& inst, const PnPIdentity& identity, std::initializer_list<std::string_view> moreTitles) {
    inst.SetText("DeviceID", identity.deviceId);
    if (identity.pnpDeviceId) inst.SetText("PNPDeviceID", *identity.pnpDeviceId);
    if (identity.title) {
        for (const char* name : {"Name", "Caption", "Description"}) inst.SetText(name, *identity.title);
        for (std::string_view name : moreTitles) inst.SetText(name, *identity.title);
    }
    if (identity.manufacturer) inst.SetText("Manufacturer", *identity.manufacturer);
}

void SetWorkingStatus(Instance& inst, const WorkingStatus& status) {
    inst.SetInt("ConfigManagerErrorCode", status.works ? kWorking : kDriversNotInstalled);
    inst.SetText("Status", status.works ? "OK" : "Error");
    if (status.availability) inst.Set("Availability", Value::UInt(*status.availability));
    if (status.userConfig) inst.SetBool("ConfigManagerUserConfig", *status.userConfig);
}

bool DriverWorks(const devtree::PnpDevice& device) {
    return device.service.has_value() || device.pnpClass == std::string("System");
}

void SetPciController(Instance& inst, const SystemRoot& root, const pci::Function& function, bool powerManagement) {
    SetPnPIdentity(inst, IdentityOf(function.device));
    SetWorkingStatus(inst, {.works = DriverWorks(function.device),
                            .availability = pci::AvailabilityOf(function.powerState),
                            .userConfig = false});
    if (powerManagement)
        if (auto control = ReadLine(root, function.path + "/power/control"))
            inst.SetBool("PowerManagementSupported", *control == "auto");
}

}  // namespace cimv2
