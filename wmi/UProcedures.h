#pragma once
// Value conversions shared by the components: every property reaches a
// component as text plus a null flag, and these turn it into the record's
// typed fields. The failure values 666 and -55 are ordinary results to the
// callers, which do not test for them.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "wmi/CWMIBase.h"
#include "wmi/OleVariant.h"

namespace wmi {

constexpr int64_t kFailedNumber = 666;
constexpr int32_t kFailedListInteger = -55;

// A text that cannot be read as the type asked for ("'x' is not a valid
// integer value", "Invalid argument to date encode").
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A variant that cannot become the asked type ("Could not convert variant
// of type (String) into type (Boolean)").
class EVariantTypeCastError : public EConvertError {
public:
    using EConvertError::EConvertError;
};

int64_t WMIVarToInt64(const OleVariant& value, bool isNull);
double WMIVarToFloat(const OleVariant& value, bool isNull);
// Raises EVariantTypeCastError for a text that is neither a boolean word nor a number.
bool WMIVarToBool(const OleVariant& value, bool isNull);
std::string WMIVarToText(const OleVariant& value, bool isNull);

void StrToArrString(std::string_view text, TArrString& target);
void StrToArrInteger(std::string_view text, TArrInteger& target);

// The C library's message for errno, without trailing blanks, control
// characters and full stops.
std::string LastErrorText();

// A number in the C locale's number format (LC_NUMERIC decimal point and
// thousands separator); false when the whole text is no such number.
bool TryReadLocaleNumber(std::string_view text, double& result);
// The same with the separators given: blanks around, an optional sign,
// digits grouped by the thousands separator, a fraction, an exponent.
bool TryReadNumber(std::string_view text, std::string_view decimalPoint, std::string_view thousandsSeparator,
                   double& result);

// Days since 30 December 1899 of a calendar date; EConvertError("Invalid
// argument to date encode") for an impossible date.
double EncodeDate(int year, int month, int day);
// Year, month and day of a date-time (its time of day ignored); all 0
// outside the years 1 to 9999.
void DecodeDate(double dateTime, int& year, int& month, int& day);

// Reads the date part of a CIM date-time text (yyyymmdd...) as a date with
// time of day zero. Raises EConvertError for a part that is no integer or
// an impossible date.
double CimDateToDateTime(std::string_view text);
// The components' date reading: a null value leaves the field as it was;
// a CIM interval gives its days and time as days, a CIM time of day its
// fraction of a day; anything else is read as CimDateToDateTime reads it.
void WMIVarToDateTime(const OleVariant& value, bool isNull, double& field);

}  // namespace wmi
