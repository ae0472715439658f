#pragma once
// The CIM classes that Win32 classes derive from, each declaring only the
// properties it adds. A class schema names its nearest base and inherits
// the whole chain, so an inherited property is written once, here.
#include <vector>

#include "cimv2/core/Schema.h"

namespace cimv2 {

struct BaseClass {
    const char* name;
    const BaseClass* parent;  // null at the root of the hierarchy
    std::vector<PropertyDef> properties;
};

const BaseClass& CIM_ManagedSystemElement();
const BaseClass& CIM_LogicalElement();
const BaseClass& CIM_LogicalDevice();
const BaseClass& CIM_Controller();
const BaseClass& CIM_Processor();
const BaseClass& CIM_StorageExtent();
const BaseClass& CIM_LogicalDisk();
const BaseClass& CIM_DiskPartition();
const BaseClass& CIM_MediaAccessDevice();
const BaseClass& CIM_DiskDrive();
const BaseClass& CIM_CDROMDrive();
const BaseClass& CIM_Memory();
const BaseClass& CIM_CacheMemory();
const BaseClass& CIM_SystemResource();
const BaseClass& CIM_IDEController();
const BaseClass& CIM_SCSIController();
const BaseClass& CIM_VideoController();
const BaseClass& CIM_PCVideoController();
const BaseClass& CIM_USBDevice();
const BaseClass& CIM_USBHub();
const BaseClass& CIM_NetworkAdapter();
const BaseClass& CIM_Battery();
const BaseClass& CIM_UserDevice();
const BaseClass& CIM_Keyboard();
const BaseClass& CIM_PointingDevice();
const BaseClass& CIM_USBController();
const BaseClass& CIM_Display();
const BaseClass& CIM_DesktopMonitor();
const BaseClass& CIM_PhysicalElement();
const BaseClass& CIM_PhysicalPackage();
const BaseClass& CIM_PhysicalComponent();
const BaseClass& CIM_Chip();
const BaseClass& CIM_PhysicalMemory();
const BaseClass& CIM_Card();
const BaseClass& CIM_PhysicalConnector();
const BaseClass& CIM_Slot();
const BaseClass& CIM_SoftwareElement();
const BaseClass& CIM_BIOSElement();
const BaseClass& CIM_System();
const BaseClass& CIM_ComputerSystem();
const BaseClass& CIM_UnitaryComputerSystem();
const BaseClass& CIM_Service();
const BaseClass& CIM_Process();
const BaseClass& CIM_OperatingSystem();
const BaseClass& CIM_Setting();
const BaseClass& CIM_LogicalFile();
const BaseClass& CIM_DataFile();
// Win32 classes that others derive from.
const BaseClass& Win32_Account();
const BaseClass& Win32_BaseService();
const BaseClass& Win32_Service();
const BaseClass& CIM_Printer();
const BaseClass& CIM_Job();

}  // namespace cimv2
