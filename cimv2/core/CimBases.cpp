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

const BaseClass& CIM_Processor() {
    static const BaseClass base{"CIM_Processor", &CIM_LogicalDevice(), {
        {"AddressWidth", CimType::UInt16},
        {"CpuStatus", CimType::UInt16},
        {"CurrentClockSpeed", CimType::UInt32},
        {"DataWidth", CimType::UInt16},
        {"Family", CimType::UInt16},
        {"LoadPercentage", CimType::UInt16},
        {"MaxClockSpeed", CimType::UInt32},
        {"OtherFamilyDescription", CimType::String},
        {"Role", CimType::String},
        {"Stepping", CimType::String},
        {"UniqueId", CimType::String},
        {"UpgradeMethod", CimType::UInt16},
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

const BaseClass& CIM_LogicalDisk() {
    static const BaseClass base{"CIM_LogicalDisk", &CIM_StorageExtent(), {
        {"FreeSpace", CimType::UInt64},
        {"Size", CimType::UInt64},
    }};
    return base;
}

const BaseClass& CIM_DiskPartition() {
    static const BaseClass base{"CIM_DiskPartition", &CIM_StorageExtent(), {
        {"Bootable", CimType::Boolean},
        {"PrimaryPartition", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_MediaAccessDevice() {
    static const BaseClass base{"CIM_MediaAccessDevice", &CIM_LogicalDevice(), {
        {"Capabilities", CimType::UInt16, kArray},
        {"CapabilityDescriptions", CimType::String, kArray},
        {"CompressionMethod", CimType::String},
        {"DefaultBlockSize", CimType::UInt64},
        {"ErrorMethodology", CimType::String},
        {"MaxBlockSize", CimType::UInt64},
        {"MaxMediaSize", CimType::UInt64},
        {"MinBlockSize", CimType::UInt64},
        {"NeedsCleaning", CimType::Boolean},
        {"NumberOfMediaSupported", CimType::UInt32},
    }};
    return base;
}

const BaseClass& CIM_DiskDrive() {
    static const BaseClass base{"CIM_DiskDrive", &CIM_MediaAccessDevice(), {}};
    return base;
}

const BaseClass& CIM_CDROMDrive() {
    static const BaseClass base{"CIM_CDROMDrive", &CIM_MediaAccessDevice(), {}};
    return base;
}

const BaseClass& CIM_IDEController() {
    static const BaseClass base{"CIM_IDEController", &CIM_Controller(), {}};
    return base;
}

const BaseClass& CIM_SCSIController() {
    static const BaseClass base{"CIM_SCSIController", &CIM_Controller(), {
        {"ControllerTimeouts", CimType::UInt32},
        {"MaxDataWidth", CimType::UInt32},
        {"MaxTransferRate", CimType::UInt64},
        {"ProtectionManagement", CimType::UInt16},
        {"SignalCapabilities", CimType::UInt16, kArray},
    }};
    return base;
}

const BaseClass& CIM_VideoController() {
    static const BaseClass base{"CIM_VideoController", &CIM_Controller(), {
        {"AcceleratorCapabilities", CimType::UInt16, kArray},
        {"CapabilityDescriptions", CimType::String, kArray},
        {"CurrentBitsPerPixel", CimType::UInt32},
        {"CurrentHorizontalResolution", CimType::UInt32},
        {"CurrentNumberOfColors", CimType::UInt64},
        {"CurrentNumberOfColumns", CimType::UInt32},
        {"CurrentNumberOfRows", CimType::UInt32},
        {"CurrentRefreshRate", CimType::UInt32},
        {"CurrentScanMode", CimType::UInt16},
        {"CurrentVerticalResolution", CimType::UInt32},
        {"MaxMemorySupported", CimType::UInt32},
        {"MaxRefreshRate", CimType::UInt32},
        {"MinRefreshRate", CimType::UInt32},
        {"NumberOfVideoPages", CimType::UInt32},
        {"VideoMemoryType", CimType::UInt16},
        {"VideoProcessor", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_PCVideoController() {
    static const BaseClass base{"CIM_PCVideoController", &CIM_VideoController(), {
        {"NumberOfColorPlanes", CimType::UInt16},
        {"VideoArchitecture", CimType::UInt16},
        {"VideoMode", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_USBDevice() {
    static const BaseClass base{"CIM_USBDevice", &CIM_LogicalDevice(), {
        {"ClassCode", CimType::UInt8},
        {"CurrentAlternateSettings", CimType::UInt8, kArray},
        {"CurrentConfigValue", CimType::UInt8},
        {"NumberOfConfigs", CimType::UInt8},
        {"ProtocolCode", CimType::UInt8},
        {"SubclassCode", CimType::UInt8},
        {"USBVersion", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_USBHub() {
    static const BaseClass base{"CIM_USBHub", &CIM_USBDevice(), {
        {"GangSwitched", CimType::Boolean},
        {"NumberOfPorts", CimType::UInt8},
    }};
    return base;
}

const BaseClass& CIM_USBController() {
    static const BaseClass base{"CIM_USBController", &CIM_Controller(), {}};
    return base;
}

const BaseClass& CIM_UserDevice() {
    static const BaseClass base{"CIM_UserDevice", &CIM_LogicalDevice(), {
        {"IsLocked", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_Display() {
    static const BaseClass base{"CIM_Display", &CIM_UserDevice(), {}};
    return base;
}

const BaseClass& CIM_DesktopMonitor() {
    static const BaseClass base{"CIM_DesktopMonitor", &CIM_Display(), {
        {"Bandwidth", CimType::UInt32},
        {"DisplayType", CimType::UInt16},
        {"ScreenHeight", CimType::UInt32},
        {"ScreenWidth", CimType::UInt32},
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

// Network adapters, batteries, keyboards and pointing devices.
const BaseClass& CIM_NetworkAdapter() {
    static const BaseClass base{"CIM_NetworkAdapter", &CIM_LogicalDevice(), {
        {"AutoSense", CimType::Boolean},
        {"MaxSpeed", CimType::UInt64},
        {"NetworkAddresses", CimType::String, kArray},
        {"PermanentAddress", CimType::String},
        {"Speed", CimType::UInt64},
    }};
    return base;
}

const BaseClass& CIM_Battery() {
    static const BaseClass base{"CIM_Battery", &CIM_LogicalDevice(), {
        {"BatteryRechargeTime", CimType::UInt32},
        {"BatteryStatus", CimType::UInt16},
        {"Chemistry", CimType::UInt16},
        {"DesignCapacity", CimType::UInt32},
        {"DesignVoltage", CimType::UInt64},
        {"EstimatedChargeRemaining", CimType::UInt16},
        {"EstimatedRunTime", CimType::UInt32},
        {"ExpectedBatteryLife", CimType::UInt32},
        {"ExpectedLife", CimType::UInt32},
        {"FullChargeCapacity", CimType::UInt32},
        {"MaxRechargeTime", CimType::UInt32},
        {"SmartBatteryVersion", CimType::String},
        {"TimeOnBattery", CimType::UInt32},
        {"TimeToFullCharge", CimType::UInt32},
    }};
    return base;
}

const BaseClass& CIM_Keyboard() {
    static const BaseClass base{"CIM_Keyboard", &CIM_UserDevice(), {
        {"Layout", CimType::String},
        {"NumberOfFunctionKeys", CimType::UInt16},
        {"Password", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_PointingDevice() {
    static const BaseClass base{"CIM_PointingDevice", &CIM_UserDevice(), {
        {"Handedness", CimType::UInt16},
        {"NumberOfButtons", CimType::UInt8},
        {"PointingType", CimType::UInt16},
        {"Resolution", CimType::UInt32},
    }};
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

const BaseClass& CIM_PhysicalComponent() {
    static const BaseClass base{"CIM_PhysicalComponent", &CIM_PhysicalElement(), {
        {"HotSwappable", CimType::Boolean},
        {"Removable", CimType::Boolean},
        {"Replaceable", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_Chip() {
    static const BaseClass base{"CIM_Chip", &CIM_PhysicalComponent(), {
        {"FormFactor", CimType::UInt16},
    }};
    return base;
}

const BaseClass& CIM_PhysicalMemory() {
    static const BaseClass base{"CIM_PhysicalMemory", &CIM_Chip(), {
        {"BankLabel", CimType::String},
        {"Capacity", CimType::UInt64},
        {"DataWidth", CimType::UInt16},
        {"InterleavePosition", CimType::UInt32},
        {"MemoryType", CimType::UInt16},
        {"PositionInRow", CimType::UInt32},
        {"Speed", CimType::UInt32},
        {"TotalWidth", CimType::UInt16},
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
const BaseClass& CIM_Setting() {
    static const BaseClass base{"CIM_Setting", nullptr, {
        {"Caption", CimType::String},
        {"Description", CimType::String},
        {"SettingID", CimType::String},
    }};
    return base;
}

const BaseClass& Win32_Account() {
    static const BaseClass base{"Win32_Account", &CIM_LogicalElement(), {
        {"Domain", CimType::String, kKey},
        {"LocalAccount", CimType::Boolean},
        {"Name", CimType::String, kKey},
        {"SID", CimType::String},
        {"SIDType", CimType::UInt8},
    }};
    return base;
}

const BaseClass& Win32_BaseService() {
    static const BaseClass base{"Win32_BaseService", &CIM_Service(), {
        {"AcceptPause", CimType::Boolean},
        {"AcceptStop", CimType::Boolean},
        {"DesktopInteract", CimType::Boolean},
        {"DisplayName", CimType::String},
        {"ErrorControl", CimType::String},
        {"ExitCode", CimType::UInt32},
        {"PathName", CimType::String},
        {"ServiceSpecificExitCode", CimType::UInt32},
        {"ServiceType", CimType::String},
        {"StartName", CimType::String},
        {"State", CimType::String},
        {"TagId", CimType::UInt32},
    }};
    return base;
}

const BaseClass& Win32_Service() {
    static const BaseClass base{"Win32_Service", &Win32_BaseService(), {
        {"CheckPoint", CimType::UInt32},
        {"DelayedAutoStart", CimType::Boolean},
        {"ProcessId", CimType::UInt32},
        {"WaitHint", CimType::UInt32},
    }};
    return base;
}

const BaseClass& CIM_LogicalFile() {
    static const BaseClass base{"CIM_LogicalFile", &CIM_LogicalElement(), {
        {"AccessMask", CimType::UInt32},
        {"Archive", CimType::Boolean},
        {"Compressed", CimType::Boolean},
        {"CompressionMethod", CimType::String},
        {"CreationClassName", CimType::String},
        {"CreationDate", CimType::DateTime},
        {"CSCreationClassName", CimType::String},
        {"CSName", CimType::String},
        {"Drive", CimType::String},
        {"EightDotThreeFileName", CimType::String},
        {"Encrypted", CimType::Boolean},
        {"EncryptionMethod", CimType::String},
        {"Extension", CimType::String},
        {"FileName", CimType::String},
        {"FileSize", CimType::UInt64},
        {"FileType", CimType::String},
        {"FSCreationClassName", CimType::String},
        {"FSName", CimType::String},
        {"Hidden", CimType::Boolean},
        {"InUseCount", CimType::UInt64},
        {"LastAccessed", CimType::DateTime},
        {"LastModified", CimType::DateTime},
        {"Name", CimType::String, kKey},
        {"Path", CimType::String},
        {"Readable", CimType::Boolean},
        {"System", CimType::Boolean},
        {"Writeable", CimType::Boolean},
    }};
    return base;
}

const BaseClass& CIM_DataFile() {
    static const BaseClass base{"CIM_DataFile", &CIM_LogicalFile(), {
        {"Manufacturer", CimType::String},
        {"Version", CimType::String},
    }};
    return base;
}

const BaseClass& CIM_OperatingSystem() {
    static const BaseClass base{"CIM_OperatingSystem", &CIM_LogicalElement(), {
        {"CreationClassName", CimType::String, kKey},
        {"CSCreationClassName", CimType::String, kKey},
        {"CSName", CimType::String, kKey},
        {"CurrentTimeZone", CimType::SInt16},
        {"Distributed", CimType::Boolean},
        {"FreePhysicalMemory", CimType::UInt64},
        {"FreeSpaceInPagingFiles", CimType::UInt64},
        {"FreeVirtualMemory", CimType::UInt64},
        {"LastBootUpTime", CimType::DateTime},
        {"LocalDateTime", CimType::DateTime},
        {"MaxNumberOfProcesses", CimType::UInt32},
        {"MaxProcessMemorySize", CimType::UInt64},
        {"Name", CimType::String, kKey},
        {"NumberOfLicensedUsers", CimType::UInt32},
        {"NumberOfProcesses", CimType::UInt32},
        {"NumberOfUsers", CimType::UInt32},
        {"OSType", CimType::UInt16},
        {"OtherTypeDescription", CimType::String},
        {"SizeStoredInPagingFiles", CimType::UInt64},
        {"TotalSwapSpaceSize", CimType::UInt64},
        {"TotalVirtualMemorySize", CimType::UInt64},
        {"TotalVisibleMemorySize", CimType::UInt64},
        {"Version", CimType::String},
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
