#include "cimv2/core/CimBases.h"

namespace cimv2 {

// One property per line, as the CIM schema declares them.
// clang-format off
const BaseClass& CIM_ManagedSystemElement() {
    static const BaseClass base{"CIM_ManagedSystemElement", nullptr, {
        {"Caption", CimType::String},
        {"Description", CimType::String},
        {"InstallDate", CimType::DateTime},
        {"Name", CimType::String},
        {"Status", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_LogicalElement() {
    static const BaseClass base{"CIM_LogicalElement", &CIM_ManagedSystemElement(), {}};
    return base;
}

const BaseClass& CIM_LogicalDevice() {
    static const BaseClass base{"CIM_LogicalDevice", &CIM_LogicalElement(), {
        {"Availability", CimType::UInt16},
        {"ConfigManagerErrorCode", CimType::UInt32},
        {"ConfigManagerUserConfig", CimType::Boolean},
        {"CreationClassName", CimType::String},
        {"DeviceID", CimType::String, kKey},
        {"ErrorCleared", CimType::Boolean},
        {"ErrorDescription", CimType::String},
        {"LastErrorCode", CimType::UInt32},
        {"PNPDeviceID", CimType::String},
        {"PowerManagementCapabilities", CimType::UInt16, kArray},
        {"PowerManagementSupported", CimType::Boolean},
        {"StatusInfo", CimType::UInt16},
        {"SystemCreationClassName", CimType::String},
        {"SystemName", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_Controller() {
    static const BaseClass base{"CIM_Controller", &CIM_LogicalDevice(), {
        {"MaxNumberControlled", CimType::UInt32},
        {"ProtocolSupported", CimType::UInt16},
        {"TimeOfLastReset", CimType::DateTime},
    }};
    return base;
}

const BaseClass& CIM_StorageExtent() {
    static const BaseClass base{"CIM_StorageExtent", &CIM_LogicalDevice(), {
        {"Access", CimType::UInt16},
        {"BlockSize", CimType::UInt64},
        {"ErrorMethodology", CimType::String},
        {"NumberOfBlocks", CimType::UInt64},
        {"Purpose", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_Memory() {
    static const BaseClass base{"CIM_Memory", &CIM_StorageExtent(), {
        {"AdditionalErrorData", CimType::UInt8, kArray},
        {"CorrectableError", CimType::Boolean},
        {"EndingAddress", CimType::UInt64},
        {"ErrorAccess", CimType::UInt16},
        {"ErrorAddress", CimType::UInt64},
        {"ErrorData", CimType::UInt8, kArray},
        {"ErrorDataOrder", CimType::UInt16},
        {"ErrorInfo", CimType::UInt16},
        {"ErrorResolution", CimType::UInt64},
        {"ErrorTime", CimType::DateTime},
        {"ErrorTransferSize", CimType::UInt32},
        {"OtherErrorDescription", CimType::String},
        {"StartingAddress", CimType::UInt64},
        {"SystemLevelAddress", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_CacheMemory() {
    static const BaseClass base{"CIM_CacheMemory", &CIM_Memory(), {
        {"Associativity", CimType::UInt16},
        {"CacheType", CimType::UInt16},
        {"FlushTimer", CimType::UInt32},
        {"Level", CimType::UInt16},
        {"LineSize", CimType::UInt32},
        {"ReadPolicy", CimType::UInt16},
        {"ReplacementPolicy", CimType::UInt16},
        {"WritePolicy", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_SystemResource() {
    static const BaseClass base{"CIM_SystemResource", &CIM_LogicalElement(), {}};
    return base;
}

const BaseClass& CIM_PhysicalElement() {
    static const BaseClass base{"CIM_PhysicalElement", &CIM_ManagedSystemElement(), {
        {"CreationClassName", CimType::String, kKey},
        {"Manufacturer", CimType::String},
        {"Model", CimType::String},
        {"OtherIdentifyingInfo", CimType::String},
        {"PartNumber", CimType::String},
        {"PoweredOn", CimType::Boolean},
        {"SerialNumber", CimType::String},
        {"SKU", CimType::String},
        {"Tag", CimType::String, kKey},
        {"Version", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_PhysicalPackage() {
    static const BaseClass base{"CIM_PhysicalPackage", &CIM_PhysicalElement(), {
        {"Depth", CimType::Real32},
        {"Height", CimType::Real32},
        {"HotSwappable", CimType::Boolean},
        {"Removable", CimType::Boolean},
        {"Replaceable", CimType::Boolean},
        {"Weight", CimType::Real32},
        {"Width", CimType::Real32},
    }};
    return base;
}

const BaseClass& CIM_Card() {
    static const BaseClass base{"CIM_Card", &CIM_PhysicalPackage(), {
        {"HostingBoard", CimType::Boolean},
        {"RequirementsDescription", CimType::String},
        {"RequiresDaughterBoard", CimType::Boolean},
        {"SlotLayout", CimType::String},
        {"SpecialRequirements", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_PhysicalConnector() {
    static const BaseClass base{"CIM_PhysicalConnector", &CIM_PhysicalElement(), {
        {"ConnectorPinout", CimType::String},
        {"ConnectorType", CimType::UInt16, kArray},
    }};
    return base;
}

const BaseClass& CIM_Slot() {
    static const BaseClass base{"CIM_Slot", &CIM_PhysicalConnector(), {
        {"HeightAllowed", CimType::Real32},
        {"LengthAllowed", CimType::Real32},
        {"MaxDataWidth", CimType::UInt16},
        {"Number", CimType::UInt16},
        {"PurposeDescription", CimType::String},
        {"SpecialPurpose", CimType::Boolean},
        {"SupportsHotPlug", CimType::Boolean},
        {"ThermalRating", CimType::UInt32},
        {"VccMixedVoltageSupport", CimType::UInt16, kArray},
        {"VppMixedVoltageSupport", CimType::UInt16, kArray},
    }};
    return base;
}

const BaseClass& CIM_SoftwareElement() {
    static const BaseClass base{"CIM_SoftwareElement", &CIM_LogicalElement(), {
        {"BuildNumber", CimType::String},
        {"CodeSet", CimType::String},
        {"IdentificationCode", CimType::String},
        {"LanguageEdition", CimType::String},
        {"Manufacturer", CimType::String},
        {"OtherTargetOS", CimType::String},
        {"SerialNumber", CimType::String},
        {"SoftwareElementID", CimType::String, kKey},
        {"SoftwareElementState", CimType::UInt16, kKey},
        {"TargetOperatingSystem", CimType::UInt16, kKey},
        {"Version", CimType::String, kKey},
    }};
    return base;
}

const BaseClass& CIM_BIOSElement() {
    static const BaseClass base{"CIM_BIOSElement", &CIM_SoftwareElement(), {
        {"Name", CimType::String, kKey},
        {"PrimaryBIOS", CimType::Boolean},
        {"ReleaseDate", CimType::DateTime},
    }};
    return base;
}

const BaseClass& CIM_System() {
    static const BaseClass base{"CIM_System", &CIM_LogicalElement(), {
        {"CreationClassName", CimType::String, kKey},
        {"Name", CimType::String, kKey},
        {"NameFormat", CimType::String},
        {"PrimaryOwnerContact", CimType::String},
        {"PrimaryOwnerName", CimType::String},
        {"Roles", CimType::String, kArray},
    }};
    return base;
}

const BaseClass& CIM_ComputerSystem() {
    static const BaseClass base{"CIM_ComputerSystem", &CIM_System(), {}};
    return base;
}

const BaseClass& CIM_UnitaryComputerSystem() {
    static const BaseClass base{"CIM_UnitaryComputerSystem", &CIM_ComputerSystem(), {
        {"InitialLoadInfo", CimType::String, kArray},
        {"LastLoadInfo", CimType::String},
        {"PowerManagementCapabilities", CimType::UInt16, kArray},
        {"PowerManagementSupported", CimType::Boolean},
        {"PowerState", CimType::UInt16},
        {"ResetCapability", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_Service() {
    static const BaseClass base{"CIM_Service", &CIM_LogicalElement(), {
        {"CreationClassName", CimType::String, kKey},
        {"Name", CimType::String, kKey},
        {"Started", CimType::Boolean},
        {"StartMode", CimType::String},
        {"SystemCreationClassName", CimType::String, kKey},
        {"SystemName", CimType::String, kKey},
    }};
    return base;
}

const BaseClass& CIM_Process() {
    static const BaseClass base{"CIM_Process", &CIM_LogicalElement(), {
        {"CreationClassName", CimType::String, kKey},
        {"CreationDate", CimType::DateTime},
        {"CSCreationClassName", CimType::String, kKey},
        {"CSName", CimType::String, kKey},
        {"ExecutionState", CimType::UInt16},
        {"Handle", CimType::String, kKey},
        {"KernelModeTime", CimType::UInt64},
        {"OSCreationClassName", CimType::String, kKey},
        {"OSName", CimType::String, kKey},
        {"Priority", CimType::UInt32},
        {"TerminationDate", CimType::DateTime},
        {"UserModeTime", CimType::UInt64},
        {"WorkingSetSize", CimType::UInt64},
    }};
    return base;
}
const BaseClass& CIM_Printer() {
    static const BaseClass base{"CIM_Printer", &CIM_LogicalDevice(), {
        {"AvailableJobSheets", CimType::String, kArray},
        {"Capabilities", CimType::UInt16, kArray},
        {"CapabilityDescriptions", CimType::String, kArray},
        {"CharSetsSupported", CimType::String, kArray},
        {"CurrentCapabilities", CimType::UInt16, kArray},
        {"CurrentCharSet", CimType::String},
        {"CurrentLanguage", CimType::UInt16},
        {"CurrentMimeType", CimType::String},
        {"CurrentNaturalLanguage", CimType::String},
        {"CurrentPaperType", CimType::String},
        {"DefaultCapabilities", CimType::UInt16, kArray},
        {"DefaultCopies", CimType::UInt32},
        {"DefaultLanguage", CimType::UInt16},
        {"DefaultMimeType", CimType::String},
        {"DefaultNumberUp", CimType::UInt32},
        {"DefaultPaperType", CimType::String},
        {"DetectedErrorState", CimType::UInt16},
        {"ErrorInformation", CimType::String, kArray},
        {"HorizontalResolution", CimType::UInt32},
        {"JobCountSinceLastReset", CimType::UInt32},
        {"LanguagesSupported", CimType::UInt16, kArray},
        {"MarkingTechnology", CimType::UInt16},
        {"MaxCopies", CimType::UInt32},
        {"MaxNumberUp", CimType::UInt32},
        {"MaxSizeSupported", CimType::UInt32},
        {"MimeTypesSupported", CimType::String, kArray},
        {"NaturalLanguagesSupported", CimType::String, kArray},
        {"PaperSizesSupported", CimType::UInt16, kArray},
        {"PaperTypesAvailable", CimType::String, kArray},
        {"PrinterStatus", CimType::UInt16},
        {"TimeOfLastReset", CimType::DateTime},
        {"VerticalResolution", CimType::UInt32},
    }};
    return base;
}

const BaseClass& CIM_Job() {
    static const BaseClass base{"CIM_Job", &CIM_LogicalElement(), {
        {"ElapsedTime", CimType::DateTime},
        {"JobStatus", CimType::String},
        {"Notify", CimType::String},
        {"Owner", CimType::String},
        {"Priority", CimType::UInt32},
        {"StartTime", CimType::DateTime},
        {"TimeSubmitted", CimType::DateTime},
        {"UntilTime", CimType::DateTime},
    }};
    return base;
}
// clang-format on

}  // namespace cimv2
