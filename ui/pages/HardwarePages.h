#pragma once
// The hardware group of direct-query pages ("Computer" and "Memory" menus):
// their row tables, which their catalogue lines carry.
#include "ui/pages/PageCatalogue.h"

namespace ui::hardware {

constexpr ValueRule kText = ValueRule::Text;
constexpr ValueRule kInteger = ValueRule::Integer;

inline constexpr RowEntry kBaseBoardRows[] = {
    {"Base Board Caption", "Caption", kText},
    {"Base Board Description", "Description", kText},
    {"Base Board Name", "Name", kText},
    {"Base Board Manufacturer", "Manufacturer", kText},
    {"Base Board Product", "Product", kText},
    {"Base Board Version", "Version", kText},
    {"Base Board Serial Number", "SerialNumber", kText},
    {"Base Board Hosting Board", "HostingBoard", kText},
    {"Base Board Requires Daughter Board", "RequiresDaughterBoard", kText},
    {"Base Board Removable", "Removable", kText},
    {"Base Board Replaceable", "Replaceable", kText},
    {"Base Board Hot Swappable", "HotSwappable", kText},
    {"Base Board Powered On", "PoweredOn", kText},
    {"Base Board Status", "Status", kText},
};

inline constexpr RowEntry kSystemSlotRows[] = {
    {"System Slot Caption", "Caption", kText},
    {"System Slot Description", "Description", kText},
    {"System Slot Manufacturer", "Manufacturer", kText},
    {"System Slot Designation", "SlotDesignation", kText},
    {"System Slot Device Number", "DeviceNumber", kInteger},
    {"System Slot Bus Number", "BusNumber", kInteger},
    {"System Slot Function Number", "FunctionNumber", kInteger},
    {"System Slot Current Usage", "CurrentUsage", kInteger},
    {"System Slot Segment Group Number", "SegmentGroupNumber", kInteger},
    {"System Slot Max Data Width", "MaxDataWidth", kInteger},
    {"System Slot PME Signal", "PMESignal", kText},
    {"System Slot Shared", "Shared", kText},
    {"System Slot Supports HotPlug", "SupportsHotPlug", kText},
    {"System Slot Special Purpose", "SpecialPurpose", kText},
    {"System Slot Status", "Status", kText},
};

inline constexpr RowEntry kIRQResourceRows[] = {
    {"IRQ Caption", "Caption", kText},
    {"IRQ Description", "Description", kText},
    {"IRQ Hardware", "Hardware", kText},
    {"IRQ Shareable", "Shareable", kText},
    {"IRQ Number", "IRQNumber", kInteger},
    {"IRQ Trigger Type", "TriggerType", kInteger},
    {"IRQ Trigger Level", "TriggerLevel", kInteger},
    {"IRQ Vector", "Vector", kInteger},
    {"IRQ Status", "Status", kText},
};

inline constexpr RowEntry kBusRows[] = {
    {"Bus Caption", "Caption", kText}, {"Bus Description", "Description", kText}, {"Bus Device ID", "DeviceID", kText},
    {"Bus Num", "BusNum", kInteger},   {"Bus Type", "BusType", kInteger},
};

// The header row shows Name: Caption of a PnP device is often empty.
inline constexpr RowEntry kPnPEntityRows[] = {
    {"PNP Entity Caption", "Name", kText},
    {"PNP Entity Description", "Description", kText},
    {"PNP Entity Manufacturer", "Manufacturer", kText},
    {"PNP Entity Device ID", "DeviceID", kText},
    {"PNP Entity PNP PNP Class", "PNPClass", kText},
    {"PNP Entity Present", "Present", kText},
    {"PNP Entity Config Manager User Config", "ConfigManagerUserConfig", kText},
    {"PNP Entity Config Manager Error Code", "ConfigManagerErrorCode", ValueRule::StrictInteger},
    {"PNP Entity Status", "Status", kText},
};

inline constexpr RowEntry kCacheMemoryRows[] = {
    {"Cache Memory Caption", "Caption", kText},
    {"Cache Memory Description", "Description", kText},
    {"Cache Memory Device ID", "DeviceID", kText},
    {"Cache Memory Level", "Level", kInteger},
    {"Cache Memory Cache Type", "CacheType", kInteger},
    {"Cache Memory Block Size", "BlockSize", kInteger},
    {"Cache Memory Number Of Blocks", "NumberOfBlocks", kInteger},
    {"Cache Memory Max Cache Size", "MaxCacheSize", kInteger},
    {"Cache Memory Location", "Location", kInteger},
    {"Cache Memory Write Policy", "WritePolicy", kInteger},
    {"Cache Memory Associativity", "Associativity", kInteger},
};

// The description is shown once: a second row with the same label and
// value would only repeat it, and would make every search hit twice.
inline constexpr RowEntry kDMAChannelRows[] = {
    {"DMA Channel Caption", "Caption", kText},
    {"DMA Channel Description", "Description", kText},
    {"DMA Channel", "DMAChannel", kInteger},
    {"DMA Channel Port", "Port", kInteger},
    {"DMA Channel Address Size", "AddressSize", kInteger},
    {"DMA Channel Burst Mode", "BurstMode", kText},
    {"DMA Channel Byte Mode", "ByteMode", kInteger},
    {"DMA Channel Word Mode", "WordMode", kInteger},
    {"DMA Channel Channel Timing", "ChannelTiming", kInteger},
    {"DMA Channel Max Transfer Size", "MaxTransferSize", kInteger},
    {"DMA Channel Type C Timing", "TypeCTiming", kInteger},
};

}  // namespace ui::hardware
