#pragma once
// SMBIOS reader: the entry point and structure table the kernel exposes under
// /sys/firmware/dmi/tables (root only), with the world-readable files of
// /sys/class/dmi/id as the fallback. Every offset and string index is checked
// against the buffer; a field that cannot be read is nullopt.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "cimv2/core/SourceNotes.h"
#include "cimv2/sources/SystemRoot.h"

namespace cimv2::smbios {

using Bytes = std::span<const uint8_t>;

struct EntryPoint {
    int major = 0;
    int minor = 0;
    int docrev = 0;
    bool is64 = false;  // "_SM3_"
    uint64_t tableAddress = 0;
    uint32_t tableLength = 0;                // exact length (2.x) or maximum size (3.x)
    std::optional<uint16_t> structureCount;  // 2.x only
};

// Nothing when the anchor, length or checksum is wrong.
std::optional<EntryPoint> ParseEntryPoint(Bytes data);

struct Structure {
    uint8_t type = 0;
    uint16_t handle = 0;
    std::vector<uint8_t> data;         // formatted area, header included
    std::vector<std::string> strings;  // string set, 1-based in the table
    bool stringsValid = true;          // false when the set had no terminator

    std::optional<uint8_t> Byte(size_t offset) const;
    std::optional<uint16_t> Word(size_t offset) const;
    std::optional<uint32_t> Dword(size_t offset) const;
    std::optional<uint64_t> Qword(size_t offset) const;
    // The string whose index is stored at offset; nothing for index 0, an
    // index past the set, or an empty string.
    std::optional<std::string> String(size_t offset) const;
    std::optional<std::string> StringAt(size_t index) const;
};

struct WalkResult {
    std::vector<Structure> structures;
    bool corrupt = false;  // the walk stopped at a malformed structure
};

// Walks the structure table; stops at type 127, at maxCount structures, or
// at the first structure it cannot delimit.
WalkResult WalkStructures(Bytes table, size_t maxCount = SIZE_MAX);

// Decoded structures. Sizes are in the units named by the field.
struct BiosInfo {  // type 0
    std::optional<std::string> vendor, version, releaseDate;
    std::optional<uint16_t> startingSegment;
    std::optional<uint32_t> romSizeKB;
    std::optional<uint64_t> characteristics;
    std::optional<uint8_t> extension1, extension2;
    std::optional<uint8_t> biosMajor, biosMinor, ecMajor, ecMinor;  // absent when 0xFF
};

struct SystemInfo {  // type 1
    std::optional<std::string> manufacturer, productName, version, serialNumber, uuid, skuNumber, family;
    std::optional<uint8_t> wakeUpType;
};

struct BaseBoardInfo {  // type 2
    std::optional<std::string> manufacturer, product, version, serialNumber, assetTag, locationInChassis;
    std::optional<uint8_t> featureFlags;
    std::optional<uint16_t> chassisHandle;
    std::optional<uint8_t> boardType;
};

struct ChassisInfo {  // type 3
    std::optional<std::string> manufacturer, version, serialNumber, assetTag, skuNumber;
    std::optional<uint8_t> type;  // without the lock bit
    std::optional<bool> lockPresent;
    std::optional<uint8_t> bootUpState, powerSupplyState, thermalState, securityStatus;
    std::optional<uint32_t> oemDefined;
    std::optional<uint8_t> heightU, powerCords;
};

struct ProcessorInfo {  // type 4
    uint16_t handle = 0;
    std::optional<std::string> socketDesignation, manufacturer, version, serialNumber, assetTag, partNumber;
    std::optional<uint8_t> processorType, upgrade, status, voltage;
    std::optional<uint16_t> family;  // family 2 when the byte says 0xFE
    std::optional<uint64_t> processorId;
    std::optional<uint16_t> externalClockMHz, maxSpeedMHz, currentSpeedMHz;
    std::optional<uint16_t> l1CacheHandle, l2CacheHandle, l3CacheHandle;
    std::optional<uint16_t> coreCount, coreEnabled, threadCount, threadEnabled;
    std::optional<uint16_t> characteristics;
    std::optional<std::string> socketType;  // 3.6
};

struct CacheInfo {  // type 7
    uint16_t handle = 0;
    std::optional<std::string> socketDesignation;
    std::optional<uint16_t> configuration;
    std::optional<int> level;  // 1 for L1
    std::optional<bool> socketed, enabled;
    std::optional<uint8_t> location;         // 0 internal, 1 external, 2 reserved, 3 unknown
    std::optional<uint8_t> operationalMode;  // 0 write through, 1 write back, 2 varies, 3 unknown
    std::optional<uint64_t> maxSizeKB, installedSizeKB;
    std::optional<uint16_t> supportedSram, currentSram;
    std::optional<uint8_t> speedNs, errorCorrection, systemCacheType, associativity;
};

struct SlotInfo {  // type 9
    std::optional<std::string> designation;
    std::optional<uint8_t> slotType, dataBusWidth, currentUsage, slotLength;
    std::optional<uint16_t> slotId;
    std::optional<uint8_t> characteristics1, characteristics2;
    std::optional<uint16_t> segmentGroup;                 // absent when 0xFFFF
    std::optional<uint8_t> busNumber;                     // absent when 0xFF
    std::optional<uint8_t> deviceNumber, functionNumber;  // absent when the byte is 0xFF
};

struct MemoryArrayInfo {  // type 16
    uint16_t handle = 0;
    std::optional<uint8_t> location, use, errorCorrection;
    std::optional<uint64_t> maxCapacityKB;
    std::optional<uint16_t> errorInfoHandle, deviceCount;
};

struct MemoryDeviceInfo {  // type 17
    uint16_t handle = 0;
    std::optional<uint16_t> arrayHandle, errorInfoHandle, totalWidth, dataWidth;
    bool installed = false;  // size field not 0
    std::optional<uint64_t> sizeBytes;
    std::optional<uint8_t> formFactor, deviceSet, memoryType, rank;
    std::optional<std::string> deviceLocator, bankLocator, manufacturer, serialNumber, assetTag, partNumber;
    std::optional<uint16_t> typeDetail;
    std::optional<uint32_t> speedMTs, configuredSpeedMTs;
    std::optional<uint16_t> minVoltageMv, maxVoltageMv, configuredVoltageMv;
    std::optional<uint8_t> technology;
    std::optional<uint16_t> operatingModeCapability;
    std::optional<std::string> firmwareVersion;
    std::optional<uint16_t> moduleManufacturerId, moduleProductId;
    std::optional<uint16_t> controllerManufacturerId, controllerProductId;
    // Byte sizes of the 3.2 persistent-memory fields; absent when unknown.
    std::optional<uint64_t> nonVolatileSize, volatileSize, cacheSize, logicalSize;
};

struct LanguageInfo {  // type 13
    std::optional<uint8_t> installableLanguages;
    std::optional<uint8_t> flags;
    std::vector<std::string> languages;
    std::optional<std::string> currentLanguage;
};

struct SystemResetInfo {  // type 23
    std::optional<uint8_t> capabilities;
    std::optional<uint16_t> resetCount, resetLimit, timerInterval, timeout;  // absent when 0xFFFF
};

struct HardwareSecurityInfo {  // type 24
    std::optional<uint8_t> settings;
};

struct SmbiosData {
    bool fromTables = false;  // false: from /sys/class/dmi/id
    std::optional<int> major, minor;
    bool corrupt = false;
    std::optional<BiosInfo> bios;
    std::optional<SystemInfo> system;
    std::vector<BaseBoardInfo> baseBoards;
    std::vector<ChassisInfo> chassis;
    std::vector<ProcessorInfo> processors;
    std::vector<CacheInfo> caches;
    std::vector<SlotInfo> slots;
    std::vector<MemoryArrayInfo> memoryArrays;
    std::vector<MemoryDeviceInfo> memoryDevices;
    std::optional<LanguageInfo> language;
    std::vector<std::string> oemStrings;     // type 11
    std::vector<std::string> configOptions;  // type 12
    std::optional<SystemResetInfo> systemReset;
    std::optional<HardwareSecurityInfo> hardwareSecurity;

    bool Empty() const { return !bios && !system && baseBoards.empty() && chassis.empty(); }
};

// Decodes every known structure of an already walked table.
SmbiosData DecodeStructures(const WalkResult& walk, std::optional<int> major, std::optional<int> minor);
// Entry point plus table, both as the kernel exposes them; nothing when the
// entry point is not valid.
std::optional<SmbiosData> ParseSmbios(Bytes entryPoint, Bytes table);
// The machine's SMBIOS: tables when readable, else /sys/class/dmi/id.
// Tables that this user may not read, or that the machine lacks, are noted.
SmbiosData ReadSmbios(const SystemRoot& root, SourceNotes* notes = nullptr);

// The x86 CPUID signature (leaf 1 EAX) in a processor structure's ID, as
// dmidecode reads it: only for a family code of Intel's or AMD's (or family
// "Other"/"Unknown" with a version string known to be such a processor);
// nothing for other processors, whose ID means something else.
struct X86Signature {
    bool intel = false;  // false: AMD's reading of the extended fields
    uint32_t family = 0, model = 0, stepping = 0;
};
std::optional<X86Signature> DecodeX86Signature(const ProcessorInfo& processor);

// "MM/DD/YYYY" (or "MM/DD/YY", meaning 19YY) to CIM date-time text.
std::optional<std::string> BiosDateToCim(const std::string& date);

}  // namespace cimv2::smbios
