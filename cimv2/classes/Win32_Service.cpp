// Win32_Service: one instance per systemd service unit, from the service
// manager (context.services: its loaded units with their state, and the unit
// files it knows) or, where no manager answers (a container, a captured
// tree), from the unit files under the root with the state null.
//   Name            the unit name ("cups.service")
//   DisplayName, Caption, Description   Description= (the manager's, or the file's)
//   State, Started  ActiveState and FreezerState; Status "Error" for a failed unit
//   StartMode       the unit file state: enabled -> Auto, static/indirect -> Manual,
//                   disabled and masked -> Disabled
//   ProcessId       MainPID (0 for a stopped unit the manager has loaded: it has
//                   none); PathName the first ExecStart= command; StartName User=
//   ExitCode        0, 1077 (never started) or 1066 with the main process's exit
//                   status in ServiceSpecificExitCode, as WMI reports a service's own code
//   AcceptStop      CanStop of a running unit; AcceptPause CanFreeze of a running unit;
//                   both False for a stopped unit the manager has loaded
//   ServiceType     "Own Process": a unit runs processes of its own
// Methods go to the manager through the system actions; none without them.
#include <map>
#include <set>
#include <string>
#include <string_view>

#include "cimv2/core/CimBases.h"
#include "cimv2/core/SetOptional.h"
#include "cimv2/core/TextFields.h"
#include "cimv2/provider/Classes.h"
#include "cimv2/provider/Identity.h"
#include "cimv2/sources/SystemdUnits.h"
#include "cimv2/sources/UnitFileText.h"
#include "cimv2/sources/UnitSearchPath.h"

namespace cimv2 {

namespace {

// Where enablement links live.
constexpr const char* kConfigDirs[] = {"/etc/systemd/system", "/run/systemd/system"};
constexpr size_t kMaxUnitFile = 1u << 20;

constexpr uint32_t kErrorServiceSpecific = 1066;  // ERROR_SERVICE_SPECIFIC_ERROR
constexpr uint32_t kErrorNeverStarted = 1077;     // ERROR_SERVICE_NEVER_STARTED

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// What a unit file says that the class shows.
struct UnitFile {
    std::optional<std::string> description;
    std::optional<std::vector<std::string>> execStart;
    std::optional<std::string> user;
    bool hasInstall = false;  // [Install] with rules that links would enable
};

// Splits a command line as systemd does for ExecStart=: blanks separate
// words, double or single quotes group them.
std::vector<std::string> SplitCommand(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    char quote = 0;
    for (char c : line) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = true;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

UnitFile ParseUnitFile(std::string_view text) {
    UnitFile file;
    const std::vector<UnitAssignment> assignments = ReadUnitFile(text);
    for (const auto& [section, key, whole] : assignments) {
        std::string_view value = whole;
        if (section == "Unit" && key == "Description") {
            file.description = value.empty() ? std::nullopt : std::optional<std::string>(value);
        } else if (section == "Service" && key == "ExecStart" && !file.execStart && !value.empty()) {
            // Prefixes that change how systemd runs the command are not part of it.
            while (!value.empty() && std::string_view("-@:+!").find(value.front()) != std::string_view::npos)
                value.remove_prefix(1);
            auto words = SplitCommand(value);
            if (!words.empty()) file.execStart = words;
        } else if (section == "Service" && key == "User") {
            file.user = value.empty() ? std::nullopt : std::optional<std::string>(value);
        }
    }
    file.hasInstall = InstallState(assignments) == "disabled";
    return file;
}

std::string JoinCommand(const std::vector<std::string>& argv) {
    std::string text;
    for (const auto& arg : argv) {
        if (!text.empty()) text += ' ';
        if (arg.find_first_of(" \t") != std::string::npos)
            text += "\"" + arg + "\"";
        else
            text += arg;
    }
    return text;
}

// The names linked from the .wants, .requires and .upholds directories of
// the configuration directories: the enabled units.
std::set<std::string> EnabledNames(const SystemRoot& root) {
    std::set<std::string> names;
    for (const char* dir : kConfigDirs)
        for (const auto& entry : root.List(dir)) {
            if (!EndsWith(entry, ".wants") && !EndsWith(entry, ".requires") && !EndsWith(entry, ".upholds")) continue;
            for (const auto& link : root.List(std::string(dir) + "/" + entry)) names.insert(link);
        }
    return names;
}

Instance NewInstance(const ProviderContext& context, const std::string& name) {
    Instance inst(Win32_ServiceSchema());
    SetIdentity(inst, context);
    inst.SetText("Name", name);
    inst.SetText("ServiceType", "Own Process");
    return inst;
}

void SetFromFile(Instance& inst, const UnitFile& file) {
    SetIf(inst, "Caption", file.description);
    SetIf(inst, "Description", file.description);
    SetIf(inst, "DisplayName", file.description);
    if (file.execStart) inst.SetText("PathName", JoinCommand(*file.execStart));
    SetIf(inst, "StartName", file.user);
}

// Without a manager: every service unit file under the root.
std::vector<Instance> FromUnitFiles(const ProviderContext& context) {
    const SystemRoot& root = context.root;
    const std::set<std::string> enabled = EnabledNames(root);
    std::map<std::string, Instance> found;
    for (const char* dir : kUnitDirs) {
        for (const auto& name : root.List(dir)) {
            if (!EndsWith(name, ".service") || EndsWith(name, "@.service") || found.count(name)) continue;
            if (!IsValidServiceName(name)) continue;
            const std::string path = std::string(dir) + "/" + name;
            Instance inst = NewInstance(context, name);
            if (auto target = root.ReadLink(path)) {
                if (*target == "/dev/null") {
                    inst.SetText("StartMode", "Disabled");  // masked
                    found.emplace(name, std::move(inst));
                }
                // A link to another unit file is an alias: that unit is listed under its own name.
                continue;
            }
            auto text = root.ReadFile(path, kMaxUnitFile);
            if (!text) continue;
            if (text->empty()) {
                inst.SetText("StartMode", "Disabled");  // an empty file masks too
            } else {
                UnitFile file = ParseUnitFile(*text);
                SetFromFile(inst, file);
                inst.SetText("StartMode", !file.hasInstall ? "Manual" : enabled.count(name) ? "Auto" : "Disabled");
            }
            found.emplace(name, std::move(inst));
        }
    }
    std::vector<Instance> instances;
    for (auto& [name, inst] : found) instances.push_back(std::move(inst));
    return instances;
}

std::optional<std::string> StateOf(const ServiceUnit& unit) {
    if (unit.loadState.empty()) return "Stopped";  // a unit file the manager has not loaded
    if (!unit.activeState) return std::nullopt;
    const std::string& a = *unit.activeState;
    if (a == "active" || a == "reloading") {
        const std::string freezer = unit.freezerState.value_or("running");
        if (freezer == "frozen") return "Paused";
        if (freezer == "freezing") return "Pause Pending";
        if (freezer == "thawing") return "Continue Pending";
        return "Running";
    }
    if (a == "inactive" || a == "failed") return "Stopped";
    if (a == "activating") return "Start Pending";
    if (a == "deactivating") return "Stop Pending";
    return "Unknown";
}

Instance FromManager(const ProviderContext& context, const ServiceUnit& unit) {
    Instance inst = NewInstance(context, unit.name);
    // Not loaded, or loaded without its file's details: the file says what the manager does not.
    if (unit.fragmentPath && (unit.loadState.empty() || !unit.description))
        if (auto text = context.root.ReadFile(*unit.fragmentPath, kMaxUnitFile))
            SetFromFile(inst, ParseUnitFile(*text));
    SetIf(inst, "Caption", unit.description);
    SetIf(inst, "Description", unit.description);
    SetIf(inst, "DisplayName", unit.description);
    if (unit.execStart && !unit.execStart->empty()) inst.SetText("PathName", JoinCommand(*unit.execStart));
    SetIf(inst, "StartName", unit.user);
    if (unit.unitFileState) SetIf(inst, "StartMode", StartModeOfUnitFileState(*unit.unitFileState));
    const auto state = StateOf(unit);
    SetIf(inst, "State", state);
    if (state) {
        const bool running = *state != "Stopped";
        inst.SetBool("Started", running && *state != "Start Pending");
        // A stopped unit the manager has loaded has no main process and accepts no control.
        const bool loaded = !unit.loadState.empty();
        if (running ? unit.canStop.has_value() : loaded) inst.SetBool("AcceptStop", running && *unit.canStop);
        if (running ? unit.canFreeze.has_value() : loaded) inst.SetBool("AcceptPause", running && *unit.canFreeze);
        if (!running && loaded) inst.Set("ProcessId", Value::UInt(0));
    }
    if (!unit.loadState.empty()) {
        const bool failed =
            unit.activeState == "failed" || unit.loadState == "error" || unit.loadState == "bad-setting";
        inst.SetText("Status", failed ? "Error" : "OK");
    }
    if (unit.mainPid) SetIfUInt(inst, "ProcessId", unit.mainPid);
    if (unit.execMainStartTime && *unit.execMainStartTime == 0) {
        inst.Set("ExitCode", Value::UInt(kErrorNeverStarted));
    } else if (unit.execMainStartTime && unit.execMainStatus) {
        if (*unit.execMainStatus == 0) {
            inst.Set("ExitCode", Value::UInt(0));
        } else {
            inst.Set("ExitCode", Value::UInt(kErrorServiceSpecific));
            inst.Set("ServiceSpecificExitCode", Value::UInt(static_cast<uint32_t>(*unit.execMainStatus)));
        }
    }
    return inst;
}

const Value* Param(const ParamList& in, std::string_view name) {
    for (const auto& [param, value] : in)
        if (EqualsNoCase(param, name)) return &value;
    return nullptr;
}

struct ControlMethod {
    const char* name;
    ServiceControl control;
};
constexpr ControlMethod kControls[] = {
    {"StartService", ServiceControl::Start},
    {"StopService", ServiceControl::Stop},
    {"PauseService", ServiceControl::Pause},
    {"ResumeService", ServiceControl::Resume},
    {"InterrogateService", ServiceControl::Interrogate},
};

struct StartModeName {
    const char* name;
    ServiceStartMode mode;
};
// "Boot" and "System" are for device drivers, which are no services here.
constexpr StartModeName kStartModes[] = {
    {"Automatic", ServiceStartMode::Automatic},
    {"Manual", ServiceStartMode::Manual},
    {"Disabled", ServiceStartMode::Disabled},
};

}  // namespace

// clang-format off
const ClassSchema& Win32_ServiceSchema() {
    static const std::vector<ParameterDef> kReturn = {{"ReturnValue", CimType::UInt32}};
    static const ClassSchema schema("Win32_Service", CIM_Service(), {
        {"AcceptPause", CimType::Boolean},
        {"AcceptStop", CimType::Boolean},
        {"CheckPoint", CimType::UInt32},
        {"DelayedAutoStart", CimType::Boolean},
        {"DesktopInteract", CimType::Boolean},
        {"DisplayName", CimType::String},
        {"ErrorControl", CimType::String},
        {"ExitCode", CimType::UInt32},
        {"PathName", CimType::String},
        {"ProcessId", CimType::UInt32},
        {"ServiceSpecificExitCode", CimType::UInt32},
        {"ServiceType", CimType::String},
        {"StartName", CimType::String},
        {"State", CimType::String},
        {"TagId", CimType::UInt32},
        {"WaitHint", CimType::UInt32},
    },
    {
        MethodDef{"StartService", {}, kReturn},
        MethodDef{"StopService", {}, kReturn},
        MethodDef{"PauseService", {}, kReturn},
        MethodDef{"ResumeService", {}, kReturn},
        MethodDef{"InterrogateService", {}, kReturn},
        MethodDef{"ChangeStartMode", {{"StartMode", CimType::String}}, kReturn},
    });
    return schema;
}
// clang-format on

std::vector<Instance> EnumerateWin32_Service(const ProviderContext& context) {
    if (context.services)
        if (auto units = context.services->Services()) {
            std::vector<Instance> instances;
            instances.reserve(units->size());
            for (const auto& unit : *units) {
                // Units something refers to but no file defines are not installed services.
                if (unit.loadState == "not-found" && !unit.fragmentPath) continue;
                if (unit.unitFileState == "alias") continue;
                if (!IsValidServiceName(unit.name)) continue;
                instances.push_back(FromManager(context, unit));
            }
            return instances;
        }
    return FromUnitFiles(context);
}

ParamList InvokeWin32_Service(const ProviderContext& context, const Instance& target, const Instance&,
                              const MethodDef& method, const ParamList& in) {
    uint32_t code = service::InvalidServiceControl;
    const Value& nameValue = target.Get("Name");
    const std::string name = nameValue.kind == Value::Kind::Text ? nameValue.text : "";
    auto answer = [](uint32_t c) { return ParamList{{"ReturnValue", Value::UInt(c)}}; };
    if (!context.actions) return answer(service::AccessDenied);
    if (!IsValidServiceName(name)) return answer(service::InvalidName);
    for (const auto& control : kControls)
        if (EqualsNoCase(method.name, control.name)) code = context.actions->ControlService(name, control.control);
    if (EqualsNoCase(method.name, "ChangeStartMode")) {
        code = service::InvalidParameter;
        const Value* mode = Param(in, "StartMode");
        if (mode && mode->kind == Value::Kind::Text)
            for (const auto& m : kStartModes)
                if (EqualsNoCase(mode->text, m.name)) code = context.actions->ChangeServiceStartMode(name, m.mode);
    }
    return answer(code);
}

}  // namespace cimv2
