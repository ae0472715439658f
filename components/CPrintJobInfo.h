#pragma once
// The print job component: class Win32_PrintJob, its record and the
// decoder of its status mask.
#include "components/PropertyRecord.h"

namespace components {

// The fields of Win32_PrintJob in reading order.
#define SYSQUILL_PRINT_JOB_FIELDS(FIELD)             \
    FIELD(Text, Caption)                             \
    FIELD(Text, Color)                               \
    FIELD(Text, DataType)                            \
    FIELD(Text, Description)                         \
    FIELD(Text, Document)                            \
    FIELD(Text, DriverName)                          \
    FIELD(Date, ElapsedTime)                         \
    FIELD(Text, HostPrintQueue)                      \
    FIELD(Date, InstallDate)                         \
    FIELD(Integer, JobId, uint32_t)                  \
    FIELD(Text, JobStatus)                           \
    FIELD(Text, Name)                                \
    FIELD(Text, Notify)                              \
    FIELD(Text, Owner)                               \
    FIELD(Integer, PagesPrinted, uint32_t)           \
    FIELD(Integer, PaperLength, uint32_t)            \
    FIELD(Text, PaperSize)                           \
    FIELD(Integer, PaperWidth, uint32_t)             \
    FIELD(Text, Parameters)                          \
    FIELD(Text, PrintProcessor)                      \
    FIELD(Integer, Priority, uint32_t)               \
    FIELD(Integer, Size, uint32_t)                   \
    FIELD(Date, StartTime)                           \
    FIELD(Text, Status)                              \
    FIELD(CodeAs, StatusMask, kStatusMask, uint32_t) \
    FIELD(Date, TimeSubmitted)                       \
    FIELD(Integer, TotalPages, uint32_t)             \
    FIELD(Date, UntilTime)

class TPrintJobProperties : public TPropertyRecord<TPrintJobProperties> {
    SYSQUILL_RECORD(TPrintJobProperties, SYSQUILL_PRINT_JOB_FIELDS)

public:
    // The word of a mask with exactly one known bit set; empty text for 0
    // and for several bits.
    static std::string GetStatusMaskAsString(int32_t mask);
};

class TPrintJobInfo : public TRecordComponent<TPrintJobProperties> {
public:
    TPrintJobInfo();
    TPrintJobProperties& PrintJobProperties() const { return Record(); }
};

}  // namespace components
