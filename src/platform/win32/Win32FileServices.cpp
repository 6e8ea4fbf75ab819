#include "platform/win32/Win32FileServices.h"

#include <climits>

#include "platform/Text.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::platform::win32 {

std::wstring Win32Path(const std::wstring& path) {
    constexpr std::size_t kShortLimit = 248;  // CreateDirectoryW's limit, the tightest
    if (path.size() < kShortLimit || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
    return path;
}

std::int32_t Win32FileServices::GetAttr(const std::wstring& path) {
    if (const auto listed = listings_.Cached(path)) return *listed;
    ++attributeQueries_;
    const DWORD word = ::GetFileAttributesW(Win32Path(path).c_str());
    if (word == INVALID_FILE_ATTRIBUTES) ThrowLastError();
    return static_cast<std::int32_t>(word);
}

void Win32FileServices::SetAttr(const std::wstring& path, std::int32_t attributes) {
    // A word of 0 would mean "leave unchanged" to the file system; NORMAL clears them all.
    const DWORD word = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attributes);
    if (!::SetFileAttributesW(Win32Path(path).c_str(), word)) ThrowLastError();
}

std::vector<ListedEntry> Win32FileServices::ReadFolder(const std::wstring& folder, std::int32_t mask) {
    std::vector<ListedEntry> names;
    std::wstring pattern = folder;
    if (!EndsWithBackslash(pattern)) pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW data;
    ScopedFind find(::FindFirstFileExW(Win32Path(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (!find) {
        const DWORD error = ::GetLastError();
        // No entry at all (an empty drive root): an empty listing, not a failure.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) ThrowError(error);
        return names;
    }
    const DWORD excluded =
        static_cast<DWORD>((FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY) & ~mask);
    do {
        if ((data.dwFileAttributes & excluded) == 0)
            names.push_back({data.cFileName, static_cast<std::int32_t>(data.dwFileAttributes)});
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowError(error);
    return names;
}

std::wstring Win32FileServices::Dir(const std::wstring& folder, std::int32_t mask) {
    return listings_.Start(folder, mask);
}

std::wstring Win32FileServices::Dir() {
    auto name = listings_.Next();
    if (!name) ThrowError(ERROR_INVALID_PARAMETER);
    return std::move(*name);
}

std::wstring Win32FileServices::DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) {
    return listings_.Find(folder, mask, name);
}

std::wstring Win32FileServices::ProgramFolder() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) ThrowLastError();
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    const auto slash = buffer.find_last_of(L'\\');
    if (slash == std::wstring::npos) return buffer;
    buffer.resize(slash);
    if (buffer.size() == 2 && buffer[1] == L':') buffer += L'\\';  // a drive root keeps its "\"
    return buffer;
}

std::wstring Win32FileServices::ErrorText(std::int32_t number) { return FormatMessageText(number); }

std::int16_t Win32FileServices::FreeFile() {
    for (std::int16_t n = 1; n <= 511; ++n) {
        if (open_.find(n) == open_.end()) return n;
    }
    ThrowError(ERROR_TOO_MANY_OPEN_FILES);
}

void Win32FileServices::OpenForOutput(std::int16_t number, const std::wstring& path) {
    if (open_.count(number)) ThrowError(ERROR_INVALID_PARAMETER);
    // Opened (or created) and then emptied: CREATE_ALWAYS would refuse a file that a
    // user or a tool has hidden.
    ScopedFile file(::CreateFileW(Win32Path(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    // A read-only file stays refused, also where the file system lets a privileged user
    // write it (Wine run as root).
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(file.get(), &info)) ThrowLastError();
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ThrowError(ERROR_ACCESS_DENIED);
    if (!::SetEndOfFile(file.get())) ThrowLastError();  // a fresh handle stands at the start
    open_.emplace(number, std::move(file));
}

void Win32FileServices::Write(std::int16_t number, std::string_view bytes) {
    const auto it = open_.find(number);
    if (it == open_.end()) ThrowError(ERROR_INVALID_HANDLE);
    // Straight to the file, no buffer of our own: a program ended mid-run keeps every line.
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!::WriteFile(it->second.get(), bytes.data(), chunk, &written, nullptr)) ThrowLastError();
        if (written == 0) ThrowError(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
}

void Win32FileServices::Close(std::int16_t number) {
    const auto it = open_.find(number);
    if (it == open_.end()) ThrowError(ERROR_INVALID_HANDLE);
    const HANDLE h = it->second.release();
    open_.erase(it);
    if (!::CloseHandle(h)) ThrowLastError();
}

std::string Win32Ansi::ToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    if (text.size() > INT_MAX / 2) ThrowError(ERROR_INVALID_PARAMETER);
    // A character the code page cannot hold becomes "?", never a look-alike: best fit
    // would write "cafe.txt" for "café.txt", which names another file. (A UTF-8 code
    // page holds every character and takes no such flag.)
    const bool utf8 = ::GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* replacement = utf8 ? nullptr : "?";
    const int length = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, replacement, nullptr);
    if (n <= 0) ThrowLastError();
    std::string out(static_cast<std::size_t>(n), '\0');
    if (::WideCharToMultiByte(CP_ACP, flags, text.data(), length, out.data(), n, replacement, nullptr) != n)
        ThrowLastError();
    return out;
}

std::wstring Win32Ansi::FromAnsi(std::string_view bytes) {
    if (bytes.empty()) return {};
    if (bytes.size() > INT_MAX) ThrowError(ERROR_INVALID_PARAMETER);
    const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (n <= 0) ThrowLastError();
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

}  // namespace tesvar::platform::win32
