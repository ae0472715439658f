#pragma once
// The physical memory component: class Win32_PhysicalMemory, one object per
// memory module, its record and its decoders.
#include "components/PropertyRecord.h"

namespace components {

// clang-format off
inline constexpr TCodeText kMemoryFormFactor[] = {
    {0, "Unknown"}, {1, "Other"}, {2, "SIP"}, {3, "DIP"}, {4, "ZIP"}, {5, "SOJ"},
    {6, "Proprietary"}, {7, "SIMM"}, {8, "DIMM"}, {9, "TSOP"}, {10, "PGA"}, {11, "RIMM"},
    {12, "SODIMM"}, {13, "SRIMM"}, {14, "SMD"}, {15, "SSMP"}, {16, "QFP"}, {17, "TQFP"},
    {18, "SOIC"}, {19, "LCC"}, {20, "PLCC"}, {21, "BGA"}, {22, "FPBGA"}, {23, "LGA"},
};

inline constexpr TCodeText kInterleavePosition[] = {
    {0, "Noninterleaved"}, {1, "First position"}, {2, "Second position"},
};

inline constexpr TCodeText kMemoryType[] = {
    {0, "Unknown"}, {1, "Other"}, {2, "DRAM"}, {3, "Synchronous DRAM"}, {4, "Cache DRAM"},
    {5, "EDO"}, {6, "EDRAM"}, {7, "VRAM"}, {8, "SRAM"}, {9, "RAM"}, {10, "ROM"}, {11, "Flash"},
    {12, "EEPROM"}, {13, "FEPROM"}, {14, "EPROM"}, {15, "CDRAM"}, {16, "3DRAM"}, {17, "SDRAM"},
    {18, "SGRAM"}, {19, "RDRAM"}, {20, "DDR"}, {21, "DDR-2"},
};

// One row per single bit: a code with several bits set has no text.
inline constexpr TCodeText kTypeDetail[] = {
    {1, "Reserved"}, {2, "Other"}, {4, "Unknown"}, {8, "Fast-paged"}, {16, "Static column"},
    {32, "Pseudo-static"}, {64, "RAMBUS"}, {128, "Synchronous"}, {256, "CMOS"}, {512, "EDO"},
    {1024, "Window DRAM"}, {2048, "Cache DRAM"}, {4096, "Nonvolatile"},
};
// clang-format on

// The fields of Win32_PhysicalMemory in reading order (alphabetical).
#define SYSQUILL_PHYSICAL_MEMORY_FIELDS(FIELD)                       \
    FIELD(Text, BankLabel)                                           \
    FIELD(Integer, Capacity, int64_t)                                \
    FIELD(Text, Caption)                                             \
    FIELD(Text, CreationClassName)                                   \
    FIELD(Integer, DataWidth, int32_t)                               \
    FIELD(Text, Description)                                         \
    FIELD(Text, DeviceLocator)                                       \
    FIELD(Code, FormFactor, kMemoryFormFactor)                       \
    FIELD(Boolean, HotSwappable)                                     \
    FIELD(Date, InstallDate)                                         \
    FIELD(Integer, InterleaveDataDepth, int32_t)                     \
    FIELD(CodeAs, InterleavePosition, kInterleavePosition, uint32_t) \
    FIELD(Text, Manufacturer)                                        \
    FIELD(Code, MemoryType, kMemoryType)                             \
    FIELD(Text, Model)                                               \
    FIELD(Text, Name)                                                \
    FIELD(Text, OtherIdentifyingInfo)                                \
    FIELD(Text, PartNumber)                                          \
    FIELD(Integer, PositionInRow, uint32_t)                          \
    FIELD(Boolean, PoweredOn)                                        \
    FIELD(Boolean, Removable)                                        \
    FIELD(Boolean, Replaceable)                                      \
    FIELD(Text, SerialNumber)                                        \
    FIELD(Text, SKU)                                                 \
    FIELD(Integer, Speed, uint32_t)                                  \
    FIELD(Text, Status)                                              \
    FIELD(Text, Tag)                                                 \
    FIELD(Integer, TotalWidth, int32_t)                              \
    FIELD(Code, TypeDetail, kTypeDetail)                             \
    FIELD(Text, Version)

class TPhysicalMemoryProperties : public TPropertyRecord<TPhysicalMemoryProperties> {
    SYSQUILL_RECORD(TPhysicalMemoryProperties, SYSQUILL_PHYSICAL_MEMORY_FIELDS)
};

class TPhysicalMemoryInfo : public TRecordComponent<TPhysicalMemoryProperties> {
public:
    TPhysicalMemoryInfo();
    TPhysicalMemoryProperties& PhysicalMemoryProperties() const { return Record(); }
};

}  // namespace components
