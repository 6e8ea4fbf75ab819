#pragma once
// The three ANSI profile operations over a file of the simulated file tree, in code
// page 932, behaving as kernel32 does (measured under Wine): CR, LF or CR LF end a
// line; section and key names match without regard to ASCII letter case; blanks
// around names and values are not part of them; a value between a pair of the same
// quotation marks loses them on reading. Writes change only the line of the entry (or
// add one), keep every other byte of the file, and create a missing file; reads never
// create anything.
#include <cstdint>
#include <string>

#include "platform/FileServices.h"
#include "platform/Profile.h"
#include "sim/SimFileSystem.h"

namespace tesvar::sim {

// The simulated platform implements the platform's interfaces and speaks in its terms.
using namespace tesvar::platform;

class SimProfile : public ProfileServices {
public:
    explicit SimProfile(SimFileSystem& fs) : fs_(fs) {}

    std::uint32_t GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                            std::string& buffer, std::uint32_t bufferSize, const std::wstring& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::wstring& path) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                         const std::wstring& path) override;

    // Calls so far, for tests that check what reached the platform.
    int reads = 0;
    int writes = 0;

private:
    // The value (or default) as the wide-character call would place it in a buffer of
    // `chars` characters, still in code page 932.
    std::string Lookup(const std::string& section, const std::string& key, const std::string& defaultValue,
                       std::size_t chars, const std::wstring& path) const;

    SimFileSystem& fs_;
};

}  // namespace tesvar::sim
