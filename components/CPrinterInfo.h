#pragma once
// The printer component: class Win32_Printer, its record and its eleven
// decoders. Its lists are kept as their texts and parsed into their items.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_Printer in reading order.
#define SYSQUILL_PRINTER_FIELDS(FIELD)                                                       \
    FIELD(Integer, Attributes, uint32_t)                                                     \
    FIELD(Code, Availability, devices::kPrinterAvailability)                                 \
    FIELD(TextList, AvailableJobSheets)                                                      \
    FIELD(Integer, AveragePagesPerMinute, uint32_t)                                          \
    FIELD(IntegerList, Capabilities)                                                         \
    FIELD(TextList, CapabilityDescriptions)                                                  \
    FIELD(Text, Caption)                                                                     \
    FIELD(TextList, CharSetsSupported)                                                       \
    FIELD(Text, Comment)                                                                     \
    FIELD(CodeAs, ConfigManagerErrorCode, devices::kPrinterConfigManagerErrorCode, uint32_t) \
    FIELD(Boolean, ConfigManagerUserConfig)                                                  \
    FIELD(Text, CreationClassName)                                                           \
    FIELD(IntegerList, CurrentCapabilities)                                                  \
    FIELD(Text, CurrentCharSet)                                                              \
    FIELD(Code, CurrentLanguage, kPrinterLanguage)                                           \
    FIELD(Text, CurrentMimeType)                                                             \
    FIELD(Text, CurrentNaturalLanguage)                                                      \
    FIELD(Text, CurrentPaperType)                                                            \
    FIELD(Boolean, Default)                                                                  \
    FIELD(IntegerList, DefaultCapabilities)                                                  \
    FIELD(Integer, DefaultCopies, uint32_t)                                                  \
    FIELD(Code, DefaultLanguage, kPrinterLanguage)                                           \
    FIELD(Text, DefaultMimeType)                                                             \
    FIELD(Integer, DefaultNumberUp, uint32_t)                                                \
    FIELD(Text, DefaultPaperType)                                                            \
    FIELD(Integer, DefaultPriority, uint32_t)                                                \
    FIELD(Text, Description)                                                                 \
    FIELD(Code, DetectedErrorState, kDetectedErrorState)                                     \
    FIELD(Text, DeviceID)                                                                    \
    FIELD(Boolean, Direct)                                                                   \
    FIELD(Boolean, DoCompleteFirst)                                                          \
    FIELD(Text, DriverName)                                                                  \
    FIELD(Boolean, EnableBIDI)                                                               \
    FIELD(Boolean, EnableDevQueryPrint)                                                      \
    FIELD(Boolean, ErrorCleared)                                                             \
    FIELD(Text, ErrorDescription)                                                            \
    FIELD(TextList, ErrorInformation)                                                        \
    FIELD(Code, ExtendedDetectedErrorState, kExtendedDetectedErrorState)                     \
    FIELD(Code, ExtendedPrinterStatus, kExtendedPrinterStatus)                               \
    FIELD(Boolean, Hidden)                                                                   \
    FIELD(Integer, HorizontalResolution, uint32_t)                                           \
    FIELD(Date, InstallDate)                                                                 \
    FIELD(Integer, JobCountSinceLastReset, uint32_t)                                         \
    FIELD(Boolean, KeepPrintedJobs)                                                          \
    FIELD(IntegerList, LanguagesSupported)                                                   \
    FIELD(Integer, LastErrorCode, uint32_t)                                                  \
    FIELD(Boolean, Local)                                                                    \
    FIELD(Text, Location)                                                                    \
    FIELD(Code, MarkingTechnology, kMarkingTechnology)                                       \
    FIELD(Integer, MaxCopies, uint32_t)                                                      \
    FIELD(Integer, MaxNumberUp, uint32_t)                                                    \
    FIELD(Integer, MaxSizeSupported, uint32_t)                                               \
    FIELD(TextList, MimeTypesSupported)                                                      \
    FIELD(Text, Name)                                                                        \
    FIELD(TextList, NaturalLanguagesSupported)                                               \
    FIELD(Boolean, Network)                                                                  \
    FIELD(IntegerList, PaperSizesSupported)                                                  \
    FIELD(TextList, PaperTypesAvailable)                                                     \
    FIELD(Text, Parameters)                                                                  \
    FIELD(Text, PNPDeviceID)                                                                 \
    FIELD(Text, PortName)                                                                    \
    FIELD(IntegerList, PowerManagementCapabilities)                                          \
    FIELD(Boolean, PowerManagementSupported)                                                 \
    FIELD(TextList, PrinterPaperNames)                                                       \
    FIELD(CodeAs, PrinterState, kPrinterState, uint32_t)                                     \
    FIELD(Code, PrinterStatus, kPrinterStatus)                                               \
    FIELD(Text, PrintJobDataType)                                                            \
    FIELD(Text, PrintProcessor)                                                              \
    FIELD(Integer, Priority, uint32_t)                                                       \
    FIELD(Boolean, Published)                                                                \
    FIELD(Boolean, Queued)                                                                   \
    FIELD(Boolean, RawOnly)                                                                  \
    FIELD(Text, SeparatorFile)                                                               \
    FIELD(Text, ServerName)                                                                  \
    FIELD(Boolean, Shared)                                                                   \
    FIELD(Text, ShareName)                                                                   \
    FIELD(Boolean, SpoolEnabled)                                                             \
    FIELD(Date, StartTime)                                                                   \
    FIELD(Text, Status)                                                                      \
    FIELD(Code, StatusInfo, devices::kStatusInfo)                                            \
    FIELD(Text, SystemCreationClassName)                                                     \
    FIELD(Text, SystemName)                                                                  \
    FIELD(Date, TimeOfLastReset)                                                             \
    FIELD(Date, UntilTime)                                                                   \
    FIELD(Integer, VerticalResolution, uint32_t)                                             \
    FIELD(Boolean, WorkOffline)

class TPrinterProperties : public TPropertyRecord<TPrinterProperties> {
    SYSQUILL_RECORD(TPrinterProperties, SYSQUILL_PRINTER_FIELDS)
};

class TPrinterInfo : public TRecordComponent<TPrinterProperties> {
public:
    TPrinterInfo();
    TPrinterProperties& PrinterProperties() const { return Record(); }
};

}  // namespace components
