// Walk of a dropped folder on real Win32 file services (under Wine), beside a plain
// recursive FindFirstFileW walk of the same tree in the same run. Prints times as
// ratios against that baseline, with the calls behind them.
//
//   bench_walk_win32 [--keep] [folder]
// builds the trees under folder (default: the temporary folder) unless they are there
// already; --keep leaves them for the next run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "collect/DropIntake.h"
#include "collect/modMain.h"
#include "sim/SimUi.h"
#include "support/ForwardingFiles.h"
#include "platform/win32/Win32FileServices.h"

namespace {

using namespace tesvar;

double Seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Forwards to the real services and counts what the walk asks of them.
class Counting : public test::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    std::int32_t GetAttr(const std::wstring& path) override {
        ++getAttrs;
        return inner_.GetAttr(path);
    }
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override {
        ++dirStarts;
        return inner_.Dir(folder, mask);
    }
    std::wstring Dir() override {
        ++dirNexts;
        return inner_.Dir();
    }
    std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) override {
        ++dirStarts;
        return inner_.DirFind(folder, mask, name);
    }
    long long getAttrs = 0, dirStarts = 0, dirNexts = 0;
};

// The baseline: one FindFirstFileW listing per folder, attributes from the find data.
std::size_t PlainWalk(const std::wstring& folder) {
    std::size_t count = 0;
    std::vector<std::wstring> subfolders;
    WIN32_FIND_DATAW data;
    const HANDLE h = ::FindFirstFileW((folder + L"*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L".." || (data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM)) continue;
        ++count;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) subfolders.push_back(name);
    } while (::FindNextFileW(h, &data));
    ::FindClose(h);
    for (const auto& s : subfolders) count += PlainWalk(folder + s + L"\\");
    return count;
}

void MakeFile(const std::wstring& path, bool readOnly) {
    const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) ::CloseHandle(h);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void BuildTrees(const std::wstring& base) {
    if (Exists(base + L"\\built")) return;
    const double t = Seconds([&] {
        ::CreateDirectoryW(base.c_str(), nullptr);
        ::CreateDirectoryW((base + L"\\wide").c_str(), nullptr);
        for (int d = 0; d < 1000; ++d) {
            const std::wstring folder = base + L"\\wide\\d" + std::to_wstring(d);
            ::CreateDirectoryW(folder.c_str(), nullptr);
            for (int f = 0; f < 100; ++f) MakeFile(folder + L"\\file" + std::to_wstring(f) + L".txt", f % 4 == 0);
        }
        ::CreateDirectoryW((base + L"\\many").c_str(), nullptr);
        for (int d = 0; d < 5000; ++d) {
            const std::wstring folder = base + L"\\many\\sub" + std::to_wstring(d);
            ::CreateDirectoryW(folder.c_str(), nullptr);
            MakeFile(folder + L"\\one.txt", false);
        }
        MakeFile(base + L"\\built", false);
    });
    std::printf("built the trees in %.1f s\n", t);
}

void RemoveTree(const std::wstring& path) {
    WIN32_FIND_DATAW data;
    const HANDLE h = ::FindFirstFileW((path + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            ::SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                ::DeleteFileW(child.c_str());
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
    }
    ::RemoveDirectoryW(path.c_str());
}

void Report(const char* name, const std::wstring& folder, int rounds) {
    platform::win32::Win32FileServices files;
    Counting counting(files);
    sim::SimUi ui;
    ui.filterText = L"*.*";
    ui.readOnlySwitch = 0;
    collect::modMain module(counting);
    collect::DropIntake drop({counting, ui, ui, module});

    std::size_t plainCount = PlainWalk(folder);  // warms the caches for both
    drop.List1_OLEDragDrop({folder});
    counting.getAttrs = counting.dirStarts = counting.dirNexts = 0;
    double plain = 1e100, walk = 1e100;
    const std::size_t reads0 = files.FolderReads();
    const std::size_t queries0 = files.AttributeQueries();
    for (int i = 0; i < rounds; ++i) {
        plain = std::min(plain, Seconds([&] { plainCount = PlainWalk(folder); }));
        walk = std::min(walk, Seconds([&] { drop.List1_OLEDragDrop({folder}); }));
    }
    const auto per = [&](long long n) { return n / rounds; };
    const std::size_t fsQueries = (files.AttributeQueries() - queries0) / static_cast<std::size_t>(rounds);

    std::printf("%s\n", name);
    std::printf("  plain FindFirstFileW walk: %zu entries (baseline 1.00x)\n", plainCount);
    std::printf("  drop walk                : %zu listed, %.2fx the plain walk\n", ui.entries.size(), walk / plain);
    std::printf("                             %zu folder reads, %lld listing starts, %lld next-name requests\n",
                (files.FolderReads() - reads0) / static_cast<std::size_t>(rounds), per(counting.dirStarts),
                per(counting.dirNexts));
    std::printf("                             %lld attribute queries asked, %zu of them of the file system"
                " (1 dropped path)\n",
                per(counting.getAttrs), fsQueries);
}

}  // namespace

int main(int argc, char** argv) {
    bool keep = false;
    std::wstring base;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg(static_cast<std::size_t>(::MultiByteToWideChar(CP_ACP, 0, argv[i], -1, nullptr, 0)), L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, argv[i], -1, arg.data(), static_cast<int>(arg.size()));
        if (!arg.empty()) arg.pop_back();  // the terminating null
        if (arg == L"--keep")
            keep = true;
        else
            base = arg;
    }
    if (base.empty()) {
        std::wstring temp(MAX_PATH + 1, L'\0');
        temp.resize(::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data()));
        base = temp + L"tesvar-bench-walk";
    }
    BuildTrees(base);
    Report("(a) 100,000 files in 1,000 folders", base + L"\\wide\\", 3);
    Report("(b) 5,000 subfolders of one file each", base + L"\\many\\", 3);
    if (!keep) RemoveTree(base);
    return 0;
}
