#pragma once
// The "Network Adapters", "Battery", "Keyboard" and "Pointing Device"
// pages: the network adapters by a direct query's row table, the other
// three through their components' records; their catalogue lines carry
// these tables.
#include "ui/pages/ComponentPages.h"
#include "ui/pages/PageCatalogue.h"

namespace ui::peripherals {

constexpr ValueRule kTextRule = ValueRule::Text;
constexpr ValueRule kInteger = ValueRule::Integer;

constexpr RecordFormat kText = RecordFormat::Text;
constexpr RecordFormat kYesNo = RecordFormat::YesNo;
constexpr RecordFormat kNumber = RecordFormat::Number;
constexpr RecordFormat kDate = RecordFormat::Date;
constexpr RecordFormat kDecoded = RecordFormat::Decoded;

// Codes are shown as numbers: the page decodes nothing.
inline constexpr RowEntry kNetworkAdapterRows[] = {
    {"Network Adapter Caption", "Caption", kTextRule},
    {"Network Adapter Description", "Description", kTextRule},
    {"Network Adapter Name", "Name", kTextRule},
    {"Network Adapter Manufacturer", "Manufacturer", kTextRule},
    {"Network Adapter Type", "AdapterType", kTextRule},
    {"Network Adapter Adapter Type Id", "AdapterTypeId", kInteger},
    {"Network Adapter MAC Address", "MACAddress", kTextRule},
    {"Network Adapter Device ID", "DeviceID", kTextRule},
    {"Network Adapter GUID", "GUID", kTextRule},
    {"Network Adapter Physical Adapter", "PhysicalAdapter", kTextRule},
    {"Network Adapter Installed", "Installed", kTextRule},
    {"Network Adapter Interface Index", "InterfaceIndex", kInteger},
    {"Network Adapter Network Addresses", "NetworkAddresses", kTextRule},
    {"Network Adapter Permanent Address", "PermanentAddress", kTextRule},
    {"Network Adapter NetConnection ID", "NetConnectionID", kTextRule},
    {"Network Adapter Net Enabled", "NetEnabled", kTextRule},
    {"Network Adapter Service Name", "ServiceName", kTextRule},
    {"Network Adapter Auto Sense", "AutoSense", kTextRule},
    {"Network Adapter Speed", "Speed", kInteger},
    {"Network Adapter Max Speed", "MaxSpeed", kInteger},
    {"Network Adapter Availability", "Availability", kInteger},
    {"Network Adapter Status", "Status", kTextRule},
};

inline constexpr RecordRow kBatteryRows[] = {
    {"Battery Caption", "Caption", kText},
    {"Battery Description", "Description", kText},
    {"Battery Chemistry Code", "Chemistry", kNumber},
    {"Battery Chemistry", "ChemistryAsString", kDecoded},
    {"Battery Device ID", "DeviceID", kText},
    {"Battery Config Manager Error Code", "ConfigManagerErrorCode", kNumber},
    {"Battery Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"Battery Config Manager User Config", "ConfigManagerUserConfig", kYesNo},
    {"Battery Status Code", "BatteryStatus", kNumber},
    {"Battery Status", "BatteryStatusAsString", kDecoded},
    {"Battery Availability Code", "Availability", kNumber},
    {"Battery Availability", "AvailabilityAsString", kDecoded},
    {"Battery Design Voltage", "DesignVoltage", kNumber},
    {"Battery Design Capacity", "DesignCapacity", kNumber},
    {"Battery Recharge Time", "BatteryRechargeTime", kNumber},
    {"Battery Estimated Charge Remaining", "EstimatedChargeRemaining", kNumber},
    {"Battery Estimated Run Time", "EstimatedRunTime", kNumber},
    {"Battery Expected Battery Life", "ExpectedBatteryLife", kNumber},
    {"Battery Expected Life", "ExpectedLife", kNumber},
    {"Battery Full Charge Capacity", "FullChargeCapacity", kNumber},
    {"Battery Max Recharge Time", "MaxRechargeTime", kNumber},
    {"Battery Status", "Status", kText},
    {"Battery Status Info Code", "StatusInfo", kNumber},
    {"Battery Status Info", "StatusInfoAsString", kDecoded},
    {"Battery Time On Battery", "TimeOnBattery", kNumber},
    {"Battery Time To Full Charge", "TimeToFullCharge", kNumber},
    {"Battery Smart Battery Version", "SmartBatteryVersion", kText},
    {"Battery PNP Device ID", "PNPDeviceID", kText},
    {"Battery Power Management Supported", "PowerManagementSupported", kYesNo},
    {"Battery Power Management Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"Battery Last Error Code", "LastErrorCode", kNumber},
    {"Battery Error Description", "ErrorDescription", kText},
    {"Battery Error Cleared", "ErrorCleared", kYesNo},
    {"Battery Install Date", "InstallDate", kDate},
};

inline constexpr RecordRow kKeyboardRows[] = {
    {"Keyboard Caption", "Caption", kText},
    {"Keyboard Description", "Description", kText},
    {"Keyboard Device ID", "DeviceID", kText},
    {"Keyboard PNP Device ID", "PNPDeviceID", kText},
    {"Keyboard Layout", "Layout", kText},
    {"Keyboard Number Of Function Keys", "NumberOfFunctionKeys", kNumber},
    {"Keyboard Config Manager Error Code", "ConfigManagerErrorCode", kNumber},
    {"Keyboard Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"Keyboard Config Manager User Config", "ConfigManagerUserConfig", kYesNo},
    {"Keyboard Is Locked", "IsLocked", kYesNo},
    {"Keyboard Password Code", "Password", kNumber},
    {"Keyboard Password", "PasswordAsString", kDecoded},
    {"Keyboard Last Error Code", "LastErrorCode", kNumber},
    {"Keyboard Error Cleared", "ErrorCleared", kYesNo},
    {"Keyboard Error Description", "ErrorDescription", kText},
    {"Keyboard Power Management Supported", "PowerManagementSupported", kYesNo},
    {"Keyboard Power Management Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"Keyboard Status", "Status", kText},
    {"Keyboard Status Info Code", "StatusInfo", kNumber},
    {"Keyboard Status Info", "StatusInfoAsString", kDecoded},
    {"Keyboard Availability Code", "Availability", kNumber},
    {"Keyboard Availability", "AvailabilityAsString", kDecoded},
    {"Keyboard Install Date", "InstallDate", kDate},
};

inline constexpr RecordRow kPointingDeviceRows[] = {
    {"Pointing Device Caption", "Caption", kText},
    {"Pointing Device Description", "Description", kText},
    {"Pointing Device Hardware Type", "HardwareType", kText},
    {"Pointing Device Manufacturer", "Manufacturer", kText},
    {"Pointing Device ID", "DeviceID", kText},
    {"Pointing Device PNP Device ID", "PNPDeviceID", kText},
    {"Pointing Device inf File Name", "InfFileName", kText},
    {"Pointing Device Inf Section", "InfSection", kText},
    {"Pointing Device Pointing Type Code", "PointingType", kNumber},
    {"Pointing Device Pointing Type", "PointingTypeAsString", kDecoded},
    {"Pointing Device Number If Buttons", "NumberOfButtons", kNumber},
    {"Pointing Device Interface Code", "DeviceInterface", kNumber},
    {"Pointing Device Interface", "DeviceInterfaceAsString", kDecoded},
    {"Pointing Device Is Locked", "IsLocked", kYesNo},
    {"Pointing Device Quad Speed Threshold", "QuadSpeedThreshold", kNumber},
    {"Pointing Device Double Speed Threshold", "DoubleSpeedThreshold", kNumber},
    {"Pointing Device Resolution", "Resolution", kNumber},
    {"Pointing Device Sample Rate", "SampleRate", kNumber},
    {"Pointing Device Sync", "Synch", kNumber},
    {"Pointing Device Handedness Code", "Handedness", kNumber},
    {"Pointing Device Handedness", "HandednessAsString", kDecoded},
    {"Pointing Device Config Manage Error Code", "ConfigManagerErrorCode", kNumber},
    {"Pointing Device Config Manager Error", "ConfigManagerErrorCodeAsString", kDecoded},
    {"Pointing Device Config Manager User Config", "ConfigManagerUserConfig", kYesNo},
    {"Pointing Device Last Error Code", "LastErrorCode", kNumber},
    {"Pointing Device Error Description", "ErrorDescription", kText},
    {"Pointing Device Error Cleared", "ErrorCleared", kYesNo},
    {"Pointing Device Power Management Supported", "PowerManagementSupported", kYesNo},
    {"Pointing Device Power Management Capabilities", "PowerManagementCapabilitiesAsString", kText},
    {"Pointing Device Status", "Status", kText},
    {"Pointing Device Status Info Code", "StatusInfo", kNumber},
    {"Pointing Device Status Info", "StatusInfoAsString", kDecoded},
    {"Pointing Device Availability Code", "Availability", kNumber},
    {"Pointing Device Availability", "AvailabilityAsString", kDecoded},
    {"Pointing Device Install Date", "InstallDate", kDate},
};

}  // namespace ui::peripherals
