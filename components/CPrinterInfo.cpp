#include "components/CPrinterInfo.h"

#include "components/DeviceTables.h"

namespace components {

namespace {

// Printer command languages, for the current and the default language.
constexpr TCodeText kPrinterLanguage[] = {
    {1, "Other"},       {2, "Unknown"},    {3, "PCL"},       {4, "HPGL"},     {5, "PJL"},        {6, "PS"},
    {7, "PSPrinter"},   {8, "IPDS"},       {9, "PPDS"},      {10, "EscapeP"}, {11, "Epson"},     {12, "DDIF"},
    {13, "Interpress"}, {14, "ISO6429"},   {15, "LineData"}, {16, "DODCA"},   {17, "REGIS"},     {18, "SCS"},
    {19, "SPDL"},       {20, "TEK4014"},   {21, "PDS"},      {22, "IGP"},     {23, "CodeV"},     {24, "DSCDSE"},
    {25, "WPS"},        {26, "LN03"},      {27, "CCITT"},    {28, "QUIC"},    {29, "CPAP"},      {30, "DecPPL"},
    {31, "SimpleText"}, {32, "NPAP"},      {33, "DOC"},      {34, "imPress"}, {35, "Pinwriter"}, {36, "NPDL"},
    {37, "NEC201PL"},   {38, "Automatic"}, {39, "Pages"},    {40, "LIPS"},    {41, "TIFF"},      {42, "Diagnostic"},
    {43, "CaPSL"},      {44, "EXCL"},      {45, "LCDS"},     {46, "XES"},     {47, "MIME"},      {48, "XPS"},
    {49, "HPGL2"},      {50, "PCLXL"},
};

constexpr TCodeText kDetectedErrorState[] = {
    {0, "Unknown"},  {1, "Other"},     {2, "No Error"},           {3, "Low Paper"},
    {4, "No Paper"}, {5, "Low Toner"}, {6, "No Toner"},           {7, "Door Open"},
    {8, "Jammed"},   {9, "Offline"},   {10, "Service Requested"}, {11, "Output Bin Full"},
};

constexpr TCodeText kExtendedDetectedErrorState[] = {
    {0, "Unknown"},
    {1, "Other"},
    {2, "No Error"},
    {3, "Low Paper"},
    {4, "No Paper"},
    {5, "Low Toner"},
    {6, "No Toner"},
    {7, "Door Open"},
    {8, "Jammed"},
    {9, "Service Requested"},
    {10, "Output Bin Full"},
    {11, "Paper Problem"},
    {12, "Cannot Print Page"},
    {13, "User Intervention Required"},
    {14, "Out of Memory"},
    {15, "Server Unknown"},
};

constexpr TCodeText kExtendedPrinterStatus[] = {
    {1, "Other"},          {2, "Unknown"},
    {3, "Idle"},           {4, "Printing"},
    {5, "Warming Up"},     {6, "Stopped Printing"},
    {7, "Offline"},        {8, "Paused"},
    {9, "Error"},          {10, "Busy"},
    {11, "Not Available"}, {12, "Waiting"},
    {13, "Processing"},    {14, "Initialization"},
    {15, "Power Save"},    {16, "Pending Deletion"},
    {17, "I/O Active"},    {18, "Manual Feed"},
};

constexpr TCodeText kMarkingTechnology[] = {
    {1, "Other"},
    {2, "Unknown"},
    {3, "Electrophotographic LED"},
    {4, "Electrophotographic Laser"},
    {5, "Electrophotographic Other"},
    {6, "Impact Moving Head Dot Matrix 9pin"},
    {7, "Impact Moving Head Dot Matrix 24pin"},
    {8, "Impact Moving Head Dot Matrix Other"},
    {9, "Impact Moving Head Fully Formed"},
    {10, "Impact Band"},
    {11, "Impact Other"},
    {12, "Inkjet Aqueous"},
    {13, "Inkjet Solid"},
    {14, "Inkjet Other"},
    {15, "Pen"},
    {16, "Thermal Transfer"},
    {17, "Thermal Sensitive"},
    {18, "Thermal Diffusion"},
    {19, "Thermal Other"},
    {20, "Electroerosion"},
    {21, "Electrostatic"},
    {22, "Photographic Microfiche"},
    {23, "Photographic Imagesetter"},
    {24, "Photographic Other"},
    {25, "Ion Deposition"},
    {26, "eBeam"},
    {27, "Typesetter"},
};

// One value per code, not a set of bits.
constexpr TCodeText kPrinterState[] = {
    {1, "Paused"},          {2, "Error"},       {3, "Pending Deletion"},
    {4, "Paper Jam"},       {5, "Paper Out"},   {6, "Manual Feed"},
    {7, "Paper Problem"},   {8, "Offline"},     {9, "I/O Active"},
    {10, "Busy"},           {11, "Printing"},   {12, "Output Bin Full"},
    {13, "Not Available"},  {14, "Waiting"},    {15, "Processing"},
    {16, "Initialization"}, {17, "Warming Up"}, {18, "Toner Low"},
    {19, "No Toner"},       {20, "Page Punt"},  {21, "User Intervention Required"},
    {22, "Out of Memory"},  {23, "Door Open"},  {24, "Server_Unknown"},
    {25, "Power Save"},
};

constexpr TCodeText kPrinterStatus[] = {
    {1, "Other"},      {2, "Unknown"},          {3, "Idle"},    {4, "Printing"},
    {5, "Warming Up"}, {6, "Stopped printing"}, {7, "Offline"},
};

}  // namespace

SYSQUILL_RECORD_TABLE(TPrinterProperties, SYSQUILL_PRINTER_FIELDS)

TPrinterInfo::TPrinterInfo() : TRecordComponent("Win32_Printer", "/en-us/library/aa394363(VS.85).aspx") {}

}  // namespace components
