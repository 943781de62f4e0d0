#pragma once
// Numeric values in profile files (INI-style sections and keys). The only way
// the program touches a profile file.
#include <cstdint>
#include <string>

// "BOGUS SECTION or KEY": the default text handed to the profile read; getting
// it back means the file, the section or the key is missing.
extern const char* const MissingKeyMarker;

// True when the key is present and its whole text is a base-10 integer
// (saturated at 32 bits); the value is stored only then.
bool ReadProfileInt(const std::string& file, const std::string& section, const std::string& key,
                    int32_t& value);
// True when the key is present and its whole text is a decimal number.
bool ReadProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                       double& value);

// True when the value was written ("688", "-8").
bool WriteProfileInt(const std::string& file, const std::string& section, const std::string& key,
                     int32_t value);
// True when the value was written, with nine decimals ("2250.000000000").
bool WriteProfileDouble(const std::string& file, const std::string& section, const std::string& key,
                        double value);

// sprintf("%<total-decimals>.<decimals>f") with "." whatever the locale, then
// every blank removed; "INVALID" when it cannot be formatted in 79 characters.
std::string FormatProfileNumber(double value, int total, int decimals);
