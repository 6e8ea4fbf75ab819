#pragma once
// The run log, Tesvar.log beside the program: one line per visited entry and one more
// for every entry that raised an error, in the ANSI code page, each line ending CR LF.
#include <cstdint>
#include <string>

#include "platform/FileServices.h"

namespace tesvar::release {

// The four labels, each 11 full-width characters.
inline constexpr const wchar_t* kReleasedLabel = L"解除しました　　　　：";
inline constexpr const wchar_t* kNotReadOnlyLabel = L"読取専用未設定です　：";
inline constexpr const wchar_t* kNotSelectedLabel = L"未選択（対象外）です：";
inline constexpr const wchar_t* kErrorLabel = L"エラーが発生しました：";
inline constexpr const wchar_t* kLogFileName = L"Tesvar.log";

class RunLog {
public:
    RunLog(platform::FileServices& files, platform::TextOutput& out, platform::AnsiCodePage& ansi)
        : files_(files), out_(out), ansi_(ansi) {}

    // The next free file number; the run keeps it for every later call.
    std::int16_t FreeFile() { return out_.FreeFile(); }
    // Creates or empties Tesvar.log in the program folder under that number.
    void Open(std::int16_t fileNumber);
    // Each write builds its whole line first, so a line whose values cannot all be
    // had never reaches the file in part. A write to a number that is not open fails.
    void WriteReleased(std::int16_t fileNumber, const std::wstring& path, std::int32_t before, std::int32_t after,
                       std::int32_t errorNumber);
    void WriteNotReadOnly(std::int16_t fileNumber, const std::wstring& path, std::int32_t before);
    void WriteNotSelected(std::int16_t fileNumber, const std::wstring& path);
    void WriteError(std::int16_t fileNumber, const std::wstring& path, const std::wstring& message,
                    std::int32_t attributes);
    // Puts the lines written so far on disk; throws when that fails.
    void Flush(std::int16_t fileNumber) { out_.Flush(fileNumber); }
    void Close(std::int16_t fileNumber);

private:
    platform::FileServices& files_;
    platform::TextOutput& out_;
    platform::AnsiCodePage& ansi_;
};

// A print line in the ANSI code page. Items are written as they come; the two joints
// between them differ:
//  - the field joint (after a label, a path or a message text) moves to the start of the
//    next 14-column print zone. Columns count bytes of the encoded line, which is also
//    the width a fixed-pitch Japanese font gives them; a line standing exactly at a zone
//    start moves on to the next one, so two items are never glued together.
//  - the change joint (between the members of a released line's change group) writes
//    nothing; numbers bring their own spaces.
class PrintLine {
public:
    explicit PrintLine(platform::AnsiCodePage& ansi) : ansi_(ansi) {}
    PrintLine& Text(std::wstring_view text);
    // " 33 " for 33, " 0 " for 0, "-1 " for -1.
    PrintLine& Number(std::int32_t value);
    PrintLine& FieldJoint();
    PrintLine& ChangeJoint() { return *this; }
    // The finished line with its CR LF.
    std::string End();

    static constexpr std::size_t kZoneWidth = 14;

private:
    platform::AnsiCodePage& ansi_;
    std::string bytes_;
};

}  // namespace tesvar::release
