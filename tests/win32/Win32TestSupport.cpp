#include "win32/Win32TestSupport.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "platform/Text.h"

namespace tesvar::test {

std::wstring MakeTempFolder(const std::wstring& tag) {
    static std::atomic<int> counter{0};
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
    if (n == 0) throw std::runtime_error("GetTempPathW failed");
    std::wstring base(temp, n);
    if (!base.empty() && base.back() == L'\\') base.pop_back();
    const std::wstring path = base + L"\\tesvar-" + tag + L"-" + platform::Decimal(::GetCurrentProcessId()) + L"-" +
                              platform::Decimal(counter++);
    RemoveTree(path);
    MakeFolder(path);
    return path;
}

void RemoveTree(const std::wstring& tree) {
    // Deep trees go beyond MAX_PATH.
    const std::wstring path = tree.size() >= 248 && tree.rfind(L"\\\\", 0) != 0 ? L"\\\\?\\" + tree : tree;
    const DWORD a = ::GetFileAttributesW(path.c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return;
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!(a & FILE_ATTRIBUTE_DIRECTORY)) {
        ::DeleteFileW(path.c_str());
        return;
    }
    WIN32_FIND_DATAW data;
    const HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        std::vector<std::wstring> names;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") names.push_back(name);
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
        for (const auto& name : names) RemoveTree(tree + L"\\" + name);
    }
    ::RemoveDirectoryW(path.c_str());
}

void MakeFolder(const std::wstring& path, std::int32_t attributes) {
    if (!::CreateDirectoryW(path.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
        throw std::runtime_error("CreateDirectoryW failed");
    const DWORD extra = static_cast<DWORD>(attributes) & ~static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY);
    if (extra) ::SetFileAttributesW(path.c_str(), extra);
}

void MakeFile(const std::wstring& path, std::int32_t attributes, const std::string& content) {
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("CreateFileW failed");
    DWORD written = 0;
    if (!content.empty()) ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(h);
    if (!::SetFileAttributesW(path.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : static_cast<DWORD>(attributes)))
        throw std::runtime_error("SetFileAttributesW failed");
}

TestShare::TestShare(const std::wstring& server, const std::wstring& share) {
    const wchar_t* prefix = _wgetenv(L"WINEPREFIX");
    if (!prefix || *prefix != L'/') return;
    // Wine maps the Unix root to drive Z:.
    std::wstring folder = L"Z:";
    for (const wchar_t* p = prefix; *p; ++p) folder.push_back(*p == L'/' ? L'\\' : *p);
    folder += L"\\dosdevices\\unc";
    MakeFolder(folder);
    MakeFolder(folder += L"\\" + server);
    folder += L"\\" + share;
    RemoveTree(folder);
    MakeFolder(folder);
    folder_ = folder;
    unc_ = L"\\\\" + server + L"\\" + share;
}

TestShare::~TestShare() {
    if (!folder_.empty()) RemoveTree(folder_);
}

std::string ReadBytes(const std::wstring& path) {
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (::ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0) out.append(buf, got);
    ::CloseHandle(h);
    return out;
}

std::wstring FixturesFolder() {
    const wchar_t* unix = _wgetenv(L"TESVAR_FIXTURES");
    if (!unix || !*unix) return {};
    // Wine maps the Unix root to drive Z:.
    std::wstring path = L"Z:";
    for (const wchar_t* p = unix; *p; ++p) path.push_back(*p == L'/' ? L'\\' : *p);
    return path;
}

namespace {
std::wstring NextFixture(const std::wstring& stem, std::atomic<int>& used) {
    const std::wstring base = FixturesFolder();
    if (base.empty()) return {};
    const std::wstring path = base + L"\\" + stem + platform::Decimal(++used);
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
}
}  // namespace

std::wstring NextReadOnlyFolder() {
    static std::atomic<int> used{0};
    return NextFixture(L"ro-folder-", used);
}
std::wstring NextUnwritableFolder() {
    static std::atomic<int> used{0};
    return NextFixture(L"immutable-folder-", used);
}
std::wstring NextRefusingFile() {
    static std::atomic<int> used{0};
    return NextFixture(L"immutable-", used);
}

}  // namespace tesvar::test
