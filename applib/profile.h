#pragma once
// Numeric values in profile files (INI-style sections and keys). The only way
// the program touches a profile file.
#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class ProfileDocument;
}

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

// A profile file made anew: values written in memory, key by key, exactly as
// the single writes above would have made a file that did not exist; then
// the whole file is stored in one step, which costs one replace of the file
// rather than one per key.
class NewProfileFile {
  public:
    NewProfileFile();
    ~NewProfileFile();
    NewProfileFile(const NewProfileFile&) = delete;
    NewProfileFile& operator=(const NewProfileFile&) = delete;

    // As WriteProfileInt and WriteProfileDouble, in memory.
    bool WriteInt(const std::string& section, const std::string& key, int32_t value);
    bool WriteDouble(const std::string& section, const std::string& key, double value);

    // Replaces `file` with what was written. False, and the file left as it
    // was, when it cannot be done.
    bool Save(const std::string& file) const;

  private:
    std::unique_ptr<platform::ProfileDocument> m_document;
};

// sprintf("%<total-decimals>.<decimals>f") with "." whatever the locale, then
// every blank removed; "INVALID" when it cannot be formatted in 79 characters.
std::string FormatProfileNumber(double value, int total, int decimals);
