#include "settings/clsIniFile.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "settings/SettingsError.h"

namespace tesvar::settings {
namespace {

constexpr std::uint32_t kBufferSize = 256;

// A line break would end the text early in the file and start entries of its own, and
// the platform takes a zero character for the end of the text: such a text cannot be
// stored as given.
bool Storable(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) == std::wstring_view::npos;
}

}  // namespace

void clsIniFile::pFileName(std::wstring strNewFileName) { fileName_ = std::move(strNewFileName); }

std::wstring clsIniFile::pFileName() const { return fileName_; }

bool clsIniFile::mSetString(std::wstring strSection, std::wstring strKey, std::wstring strValue) {
    if (!Storable(strSection) || !Storable(strKey) || !Storable(strValue)) return false;
    return profile_.WriteString(ansi_.ToAnsi(strSection), ansi_.ToAnsi(strKey), ansi_.ToAnsi(strValue), fileName_);
}

std::wstring clsIniFile::mGetString(std::wstring strSection, std::wstring strKey, std::wstring strDefault) {
    std::string buffer;
    const std::uint32_t placed = profile_.GetString(ansi_.ToAnsi(strSection), ansi_.ToAnsi(strKey),
                                                    ansi_.ToAnsi(strDefault), buffer, kBufferSize, fileName_);
    // The count is applied to the code page bytes before they are decoded. Nothing
    // behind it is part of the value, and neither is anything from a zero byte on: the
    // platform counts a double-byte character that did not fit the buffer's end but
    // leaves its place empty.
    std::string_view bytes(buffer);
    bytes = bytes.substr(0, std::min<std::size_t>(placed, kBufferSize - 1));
    bytes = bytes.substr(0, bytes.find('\0'));
    std::wstring text = ansi_.FromAnsi(bytes);
    // An empty value counts as none.
    return text.empty() ? strDefault : text;
}

std::int16_t clsIniFile::mGetInteger(std::wstring strSection, std::wstring strKey, std::int16_t intDefault) {
    const auto value = static_cast<std::int32_t>(
        profile_.GetInt(ansi_.ToAnsi(strSection), ansi_.ToAnsi(strKey), intDefault, fileName_));
    if (value < INT16_MIN || value > INT16_MAX) throw OverflowError();
    return static_cast<std::int16_t>(value);
}

}  // namespace tesvar::settings
