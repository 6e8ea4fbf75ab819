#pragma once
// Wall-clock timing for the benchmarks; figures are reported as ratios against a
// baseline measured in the same run, since the machine is shared.
#include <chrono>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>

#include <string>
#include <vector>
#endif

namespace tesvar::bench {

template <class F>
double Seconds(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline void Report(const char* what, long entries, double seconds, double baselineSeconds) {
    std::printf("%-48s %8ld entries  %8.3f s  %12.0f entries/s  %6.2fx baseline\n", what, entries, seconds,
                static_cast<double>(entries) / seconds, seconds / baselineSeconds);
}

#ifdef _WIN32
// The baseline of the Windows benchmarks: a plain loop that clears the read-only bit.
inline void PlainReleaseLoop(const std::vector<std::wstring>& paths) {
    for (const auto& p : paths) {
        const DWORD word = ::GetFileAttributesW(p.c_str());
        if (word != INVALID_FILE_ATTRIBUTES && (word & FILE_ATTRIBUTE_READONLY))
            ::SetFileAttributesW(p.c_str(), word & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    }
}

inline void MakeReadOnly(const std::vector<std::wstring>& paths) {
    for (const auto& p : paths) ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
}

// `count` empty read-only files f0.txt, f1.txt ... in folder.
inline std::vector<std::wstring> MakeReadOnlyFiles(const std::wstring& folder, long count) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    std::vector<std::wstring> paths;
    for (long i = 0; i < count; ++i) {
        paths.push_back(folder + L"\\f" + std::to_wstring(i) + L".txt");
        const HANDLE h = ::CreateFileW(paths.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
    }
    MakeReadOnly(paths);
    return paths;
}

// Seconds the plain loop takes over the files; they are read-only again afterwards.
inline double TimePlainLoop(const std::vector<std::wstring>& paths) {
    const double seconds = Seconds([&] { PlainReleaseLoop(paths); });
    MakeReadOnly(paths);
    return seconds;
}

// Removes what MakeReadOnlyFiles made.
inline void RemoveFiles(const std::wstring& folder, const std::vector<std::wstring>& paths) {
    for (const auto& p : paths) {
        ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_NORMAL);
        ::DeleteFileW(p.c_str());
    }
    ::RemoveDirectoryW(folder.c_str());
}

inline long CountReleased(const std::vector<std::wstring>& paths) {
    long n = 0;
    for (const auto& p : paths) n += (::GetFileAttributesW(p.c_str()) & FILE_ATTRIBUTE_READONLY) ? 0 : 1;
    return n;
}
#endif

}  // namespace tesvar::bench
