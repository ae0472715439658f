// Win32_Battery: the system's batteries, /sys/class/power_supply/* of type
// "Battery" whose scope is not "Device" (a wireless mouse's cell is the
// mouse's, not the computer's) and that are present. No battery, no instance.
//
//   DeviceID                   the supply's name ("BAT0")
//   Name, Caption, Description model_name, else the supply's name
//   PNPDeviceID                the device the supply sits on (ACPI\PNP0C0A\1 for an ACPI battery)
//   EstimatedChargeRemaining   capacity (percent)
//   BatteryStatus              status: "Discharging" 1 (4 Low, 5 Critical by capacity_level),
//                              "Charging" 6 (7, 8, 9 with capacity_level High, Low, Critical),
//                              "Full" 3, "Not charging" 2; "Unknown" 2 while a mains supply is
//                              online, else null
//   Chemistry                  technology: Li-ion 6, Li-poly 8, NiMH 5, NiCd 4, Unknown 2,
//                              other named ones (LiFe, LiMn) 1
//   DesignCapacity, FullChargeCapacity  energy_full_design, energy_full (uWh) in mWh; or
//                              charge_full_design, charge_full (uAh) times voltage_min_design
//   DesignVoltage              voltage_min_design in mV
//   EstimatedRunTime           minutes: time_to_empty_now, else energy_now / power_now (or
//                              charge_now / current_now) while discharging; 71582788, the
//                              class's "unknown" value, while not discharging
//   TimeToFullCharge           minutes: time_to_full_now, else the missing energy over the
//                              charging power while charging
//   Status                     health: Good "OK", Dead "Error", Unknown "Unknown", other faults
//                              "Degraded"; null
//                              without a health attribute
//   Availability               3 (running): the battery is present
//   TimeOnBattery, ExpectedLife, MaxRechargeTime, SmartBatteryVersion  null: not in sysfs
#include "cimv2/core/CimBases.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/DeviceTree.h"
#include "cimv2/sources/RootReaders.h"

namespace cimv2 {

namespace {

constexpr uint64_t kUnknownRunTime = 71582788;
constexpr const char* kSupplies = "/sys/class/power_supply";

struct Chemistry {
    const char* technology;
    uint32_t code;
};
constexpr Chemistry kChemistry[] = {
    {"Unknown", 2}, {"NiCd", 4}, {"NiMH", 5}, {"Li-ion", 6}, {"Li-poly", 8}, {"LiFe", 1}, {"LiMn", 1},
};

bool MainsOnline(const SystemRoot& root) {
    for (const auto& name : root.List(kSupplies)) {
        const std::string dir = std::string(kSupplies) + "/" + name;
        if (ReadLine(root, dir + "/type") == std::string("Mains") && ReadUnsigned(root, dir + "/online") == 1u)
            return true;
    }
    return false;
}

std::optional<uint32_t> StatusOf(const std::optional<std::string>& status, const std::optional<std::string>& level,
                                 bool mains) {
    if (!status) return std::nullopt;
    const std::string l = level.value_or("");
    if (*status == "Discharging") return l == "Critical" ? 5 : l == "Low" ? 4 : 1;
    if (*status == "Charging") return l == "Critical" ? 9 : l == "Low" ? 8 : l == "High" ? 7 : 6;
    if (*status == "Full") return 3;
    if (*status == "Not charging") return 2;
    if (*status == "Unknown" && mains) return 2;
    return std::nullopt;
}

// Energy in mWh from the energy_* file (uWh), else from charge_* (uAh) at
// the design voltage (uV).
std::optional<uint64_t> MilliwattHours(const SystemRoot& root, const std::string& dir, const std::string& suffix,
                                       std::optional<uint64_t> microvolts) {
    if (auto energy = ReadUnsigned(root, dir + "/energy_" + suffix)) return *energy / 1000;
    // Both below 2^32 (4 kAh, 4 kV): the product cannot overflow.
    if (auto charge = ReadUnsigned(root, dir + "/charge_" + suffix);
        charge && microvolts && *charge < (1ull << 32) && *microvolts < (1ull << 32))
        return *charge * *microvolts / 1000000000ull;
    return std::nullopt;
}

void SetMinutes(Instance& inst, const char* name, std::optional<uint64_t> minutes) {
    if (minutes && *minutes <= UINT32_MAX) inst.Set(name, Value::UInt(*minutes));
}

}  // namespace

// One property per line: the schema reads as the table it is.
// clang-format off
const ClassSchema& Win32_BatterySchema() {
    static const ClassSchema schema("Win32_Battery", CIM_Battery(), {});
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Battery(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    std::vector<Instance> out;
    std::optional<bool> mains;
    std::optional<devtree::PciIds> ids;
    for (const auto& name : root.List(kSupplies)) {
        const std::string dir = std::string(kSupplies) + "/" + name;
        if (ReadLine(root, dir + "/type") != std::string("Battery")) continue;
        if (ReadLine(root, dir + "/scope") == std::string("Device")) continue;
        if (ReadUnsigned(root, dir + "/present") == 0u) continue;
        if (!mains) mains = MainsOnline(root);
        if (!ids) ids = devtree::PciIds::Load(root, context.idFallback);
        Instance inst(Win32_BatterySchema());
        inst.SetText("DeviceID", name);
        const std::string title = ReadLine(root, dir + "/model_name").value_or(name);
        for (const char* property : {"Name", "Caption", "Description"}) inst.SetText(property, title);
        if (auto device = devtree::DescribeDeviceAt(root, *ids, dir + "/device"))
            inst.SetText("PNPDeviceID", device->deviceId);
        if (auto capacity = ReadUnsigned(root, dir + "/capacity"); capacity && *capacity <= 100)
            inst.Set("EstimatedChargeRemaining", Value::UInt(*capacity));
        const auto status = ReadLine(root, dir + "/status");
        if (auto code = StatusOf(status, ReadLine(root, dir + "/capacity_level"), *mains))
            inst.Set("BatteryStatus", Value::UInt(*code));
        if (auto technology = ReadLine(root, dir + "/technology"))
            for (const auto& entry : kChemistry)
                if (*technology == entry.technology) inst.Set("Chemistry", Value::UInt(entry.code));
        const auto microvolts = ReadUnsigned(root, dir + "/voltage_min_design");
        if (microvolts) inst.Set("DesignVoltage", Value::UInt(*microvolts / 1000));
        if (auto design = MilliwattHours(root, dir, "full_design", microvolts); design && *design <= UINT32_MAX)
            inst.Set("DesignCapacity", Value::UInt(*design));
        if (auto full = MilliwattHours(root, dir, "full", microvolts); full && *full <= UINT32_MAX)
            inst.Set("FullChargeCapacity", Value::UInt(*full));

        // Rates: power_now (uW) with energy_*, current_now (uA) with charge_*.
        std::optional<uint64_t> now = ReadUnsigned(root, dir + "/energy_now"),
                                full = ReadUnsigned(root, dir + "/energy_full"),
                                rate = ReadUnsigned(root, dir + "/power_now");
        if (!now) {
            now = ReadUnsigned(root, dir + "/charge_now");
            full = ReadUnsigned(root, dir + "/charge_full");
            rate = ReadUnsigned(root, dir + "/current_now");
        }
        const bool discharging = status == std::string("Discharging");
        if (discharging) {
            std::optional<uint64_t> minutes;
            if (auto seconds = ReadUnsigned(root, dir + "/time_to_empty_now"))
                minutes = *seconds / 60;
            else if (now && rate && *rate > 0 && *now < (1ull << 40))
                minutes = *now * 60 / *rate;
            SetMinutes(inst, "EstimatedRunTime", minutes);
        } else if (status) {
            inst.Set("EstimatedRunTime", Value::UInt(kUnknownRunTime));
        }
        if (status == std::string("Charging")) {
            std::optional<uint64_t> minutes;
            if (auto seconds = ReadUnsigned(root, dir + "/time_to_full_now"))
                minutes = *seconds / 60;
            else if (now && full && rate && *rate > 0 && *full >= *now && *full < (1ull << 40))
                minutes = (*full - *now) * 60 / *rate;
            SetMinutes(inst, "TimeToFullCharge", minutes);
        }
        if (auto health = ReadLine(root, dir + "/health"))
            inst.SetText("Status", *health == "Good"      ? "OK"
                                   : *health == "Dead"    ? "Error"
                                   : *health == "Unknown" ? "Unknown"
                                                          : "Degraded");
        inst.Set("Availability", Value::UInt(3));
        inst.SetInt("ConfigManagerErrorCode", 0);
        SetIdentity(inst, context);
        out.push_back(std::move(inst));
    }
    return out;
}

}  // namespace cimv2
