#include "platform/win32/Win32FileServices.h"

#include <algorithm>
#include <climits>

#include "platform/Text.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::platform::win32 {
namespace {

// Lines are held until there is this much to write, or a frame has passed since they
// last went out, or until Flush or Close.
constexpr std::size_t kWriteOutAt = 64 * 1024;
constexpr ULONGLONG kFrameMs = 100;

// Whether the part of a path after its root can go to the file system as it stands:
// no "/" and no empty, "." or ".." component (a trailing "\" is fine).
bool Canonical(std::wstring_view rest) {
    if (rest.find(L'/') != std::wstring_view::npos) return false;
    while (!rest.empty()) {
        const auto end = rest.find(L'\\');
        const std::wstring_view part = rest.substr(0, end);
        if (end == std::wstring_view::npos) return part != L"." && part != L"..";
        if (part.empty() || part == L"." || part == L"..") return false;
        rest.remove_prefix(end + 1);
    }
    return true;
}

}  // namespace

std::wstring Win32Path(const std::wstring& path) {
    const std::wstring_view p(path);
    // Already past Win32's name handling, or a device.
    if (p.starts_with(L"\\\\?\\") || p.starts_with(L"\\\\.\\")) return path;
    if (p.starts_with(L"\\\\")) {
        // \\server\share\...: server, share and the rest as they stand.
        const auto server = p.find(L'\\', 2);
        if (server == std::wstring_view::npos || !Canonical(p.substr(2))) return path;
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    if (p.size() >= 3 && p[1] == L':' && p[2] == L'\\' && Canonical(p.substr(3))) return L"\\\\?\\" + path;
    // Relative, or with "." or ".." in it: Win32 resolves it as it always does.
    return path;
}

void Win32FileServices::Prefetch(const std::vector<std::wstring>& paths) {
    // Threads cost more than they save for a few paths.
    constexpr std::size_t kFrom = 64;
    prefetch_.reset();
    if (paths.size() < kFrom) return;
    const unsigned cores = std::thread::hardware_concurrency();
    const auto look = [](const std::wstring& path) noexcept -> AttributePrefetch::Answer {
        try {
            const DWORD word = ::GetFileAttributesW(Win32Path(path).c_str());
            if (word != INVALID_FILE_ATTRIBUTES) return {word, ERROR_SUCCESS};
            const DWORD error = ::GetLastError();
            return {0, error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error};
        } catch (...) {
            return {0, ERROR_NOT_ENOUGH_MEMORY};
        }
    };
    prefetch_ = std::make_unique<AttributePrefetch>(paths, cores < 2 ? 1 : (cores > 4 ? 4 : cores), look);
}

void Win32FileServices::CloseDropScope() noexcept {
    prefetch_.reset();
    listings_.CloseDropScope();
}

std::int32_t Win32FileServices::GetAttr(const std::wstring& path) {
    if (const auto listed = listings_.Cached(path)) return *listed;
    ++attributeQueries_;
    const auto ahead = prefetch_ ? prefetch_->Take(path) : std::nullopt;
    if (ahead && ahead->error != ERROR_SUCCESS) ThrowError(ahead->error);
    const DWORD word = ahead ? ahead->word : ::GetFileAttributesW(Win32Path(path).c_str());
    if (word == INVALID_FILE_ATTRIBUTES) ThrowLastError();
    listings_.Answered(path, static_cast<std::int32_t>(word));
    return static_cast<std::int32_t>(word);
}

std::uint32_t Win32FileServices::ReparseTag(const std::wstring& path) {
    if (const auto listed = listings_.CachedReparseTag(path)) return *listed;
    // The entry itself, found by its exact name: its find data carries the tag.
    WIN32_FIND_DATAW data;
    const ScopedFind find(
        ::FindFirstFileExW(Win32Path(path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) ThrowLastError();
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
}

void Win32FileServices::SetAttr(const std::wstring& path, std::int32_t attributes) {
    // A word of 0 would mean "leave unchanged" to the file system; NORMAL clears them all.
    const DWORD word = attributes == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attributes);
    if (!::SetFileAttributesW(Win32Path(path).c_str(), word)) ThrowLastError();
}

FolderListing Win32FileServices::ReadFolder(const std::wstring& folder, std::int32_t mask) {
    FolderListing listing;
    std::vector<ListedEntry>& names = listing.entries;
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
        return listing;
    }
    const DWORD excluded =
        static_cast<DWORD>((FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY) & ~mask);
    do {
        // Usually hidden and system, so looked for before the mask leaves it out.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsDesktopIni(data.cFileName))
            listing.holdsDesktopIni = true;
        if ((data.dwFileAttributes & excluded) != 0) continue;
        const std::uint32_t tag = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ? data.dwReserved0 : 0;
        names.push_back({data.cFileName, static_cast<std::int32_t>(data.dwFileAttributes), tag});
    } while (::FindNextFileW(find.get(), &data));
    const DWORD error = ::GetLastError();
    if (error != ERROR_NO_MORE_FILES) ThrowError(error);
    return listing;
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
    open_.emplace(number, OutputFile{std::move(file), {}, ERROR_SUCCESS, ::GetTickCount64()});
}

DWORD Win32FileServices::WriteOut(OutputFile& out) const noexcept {
    out.lastOut = ::GetTickCount64();
    std::size_t done = 0;
    DWORD error = ERROR_SUCCESS;
    while (done < out.held.size()) {
        const std::size_t left = out.held.size() - done;
        const DWORD chunk = left > 0x10000000 ? 0x10000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!writer_(out.file.get(), out.held.data() + done, chunk, &written, nullptr)) {
            error = ::GetLastError();
            // What went out before the failure is in the file: never written twice.
            done += std::min<std::size_t>(written, chunk);
            if (error == ERROR_SUCCESS) error = ERROR_WRITE_FAULT;
            break;
        }
        if (written == 0) {
            error = ERROR_WRITE_FAULT;
            break;
        }
        done += written;
    }
    out.held.erase(0, done);
    out.failure = error;
    return error;
}

void Win32FileServices::Write(std::int16_t number, std::string_view bytes) {
    const auto it = open_.find(number);
    if (it == open_.end()) ThrowError(ERROR_INVALID_HANDLE);
    OutputFile& out = it->second;
    // What an earlier write-out left held goes first, or this line is refused too.
    if (out.failure != ERROR_SUCCESS && WriteOut(out) != ERROR_SUCCESS) ThrowError(out.failure);
    const std::size_t before = out.held.size();
    out.held.append(bytes);
    if (out.held.size() < kWriteOutAt && ::GetTickCount64() - out.lastOut < kFrameMs) return;
    const std::size_t heldBefore = out.held.size();
    if (WriteOut(out) == ERROR_SUCCESS) return;
    // This line is not written: it leaves the buffer unless part of it went out.
    if (heldBefore - out.held.size() <= before) out.held.resize(out.held.size() - bytes.size());
    ThrowError(out.failure);
}

void Win32FileServices::Flush(std::int16_t number) {
    const auto it = open_.find(number);
    if (it == open_.end()) ThrowError(ERROR_INVALID_HANDLE);
    if (WriteOut(it->second) != ERROR_SUCCESS) ThrowError(it->second.failure);
}

void Win32FileServices::FlushAll() noexcept {
    for (auto& [number, out] : open_) {
        if (!out.held.empty()) WriteOut(out);
    }
}

void Win32FileServices::FlushDue() noexcept {
    const ULONGLONG now = ::GetTickCount64();
    for (auto& [number, out] : open_) {
        if (!out.held.empty() && now - out.lastOut >= kFrameMs) WriteOut(out);
    }
}

void Win32FileServices::Close(std::int16_t number) {
    const auto it = open_.find(number);
    if (it == open_.end()) ThrowError(ERROR_INVALID_HANDLE);
    const DWORD failed = WriteOut(it->second);
    const HANDLE h = it->second.file.release();
    open_.erase(it);
    const bool closed = ::CloseHandle(h) != FALSE;
    const DWORD closeError = closed ? ERROR_SUCCESS : ::GetLastError();
    if (failed != ERROR_SUCCESS) ThrowError(failed);
    if (!closed) ThrowError(closeError);
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
