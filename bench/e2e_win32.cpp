// The whole program from outside, on one tree of 10,000 files (100 folders of 100),
// three copies of it, three rounds (the best of each):
//  - `cmd /c attrib -r /s /d` on the first copy (Wine's own tool, a process of its own),
//  - a plain GetFileAttributesW/SetFileAttributesW loop on the second,
//  - Tesvar.exe driven like a user on the third: the drop, then Start from the
//    confirmation's Yes to the run's last log line.
// Then one flat folder of 20,000 files, dragged onto Tesvar.exe once as the folder and
// once as its 20,000 files selected one by one in a shell folder.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "e2e/Driver.h"
#include "win32/Win32TestSupport.h"

using namespace tesvar;

namespace {

std::vector<std::wstring> MakeTree(const std::wstring& root, int folders, int files) {
    test::MakeFolder(root);
    std::vector<std::wstring> paths;
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = root + L"\\d" + std::to_wstring(f);
        test::MakeFolder(folder);
        for (int i = 0; i < files; ++i) {
            paths.push_back(folder + L"\\f" + std::to_wstring(i) + L".txt");
            test::MakeFile(paths.back(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        }
    }
    return paths;
}

double RunProcess(std::wstring commandLine) {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    return bench::Seconds([&] {
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
            return;
        WaitForSingleObject(pi.hProcess, INFINITE);
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    });
}

double Between(const LARGE_INTEGER& a, const LARGE_INTEGER& b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main() {
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const int folders = 100, files = 100;
    const long count = folders * files;
    const std::wstring root = test::MakeTempFolder(L"bench-e2e");
    const auto forAttrib = MakeTree(root + L"\\attrib", folders, files);
    const auto forLoop = MakeTree(root + L"\\loop", folders, files);
    const auto forTesvar = MakeTree(root + L"\\tesvar", folders, files);

    // Three rounds, each tree made read-only again between them; the best of each counts
    // (the machine is shared and noisy).
    const wchar_t* prompt = L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい";
    const std::wstring app = root + L"\\app";
    test::MakeFolder(app);
    double attrib = 1e100, loop = 1e100, drop = 1e100, run = 1e100, sourceWait = 0;
    long listed = 0, attribReleased = 0, loopReleased = 0, tesvarReleased = 0;
    {
        test::TesvarProcess tesvar(app);
        for (int round = 0; round < 3; ++round) {
            attrib = std::min(attrib, RunProcess(L"cmd.exe /c attrib -r /s /d \"" + root + L"\\attrib\\*\""));
            attribReleased = bench::CountReleased(forAttrib);
            bench::MakeReadOnly(forAttrib);
            loop = std::min(loop, bench::Seconds([&] { bench::PlainReleaseLoop(forLoop); }));
            loopReleased = bench::CountReleased(forLoop);
            bench::MakeReadOnly(forLoop);

            // From letting go of the button over the list to the list shown with its caption.
            tesvar.Press(app::win32::kBtnClear);
            for (int i = 0; i < 1000 && tesvar.Text(app::win32::kLblListSts) != prompt; ++i) Sleep(10);
            tesvar.DragOnto({root + L"\\tesvar"});
            tesvar.WaitCaptionNot(prompt, 600000);
            LARGE_INTEGER listedAt;
            QueryPerformanceCounter(&listedAt);
            drop = std::min(drop, Between(tesvar.ReleasedAt(), listedAt));
            sourceWait = std::max(sourceWait, tesvar.DropWaitMs() / 1000.0);
            listed = tesvar.SelCount();
            // From Yes to the log's last write, which the run makes last before its
            // completion message: read from the file, so that no looking at Tesvar's
            // windows while it runs slows it down.
            tesvar.Press(app::win32::kBtnStart);
            tesvar.Answer(IDYES, 60000);
            FILETIME yes;
            GetSystemTimePreciseAsFileTime(&yes);
            tesvar.WaitBox(600000, 500);
            WIN32_FILE_ATTRIBUTE_DATA log{};
            GetFileAttributesExW((app + L"\\Tesvar.log").c_str(), GetFileExInfoStandard, &log);
            const auto ticks = [](const FILETIME& t) {
                return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime);
            };
            run = std::min(run, (ticks(log.ftLastWriteTime) - ticks(yes)) / 1e7);
            tesvar.Answer(IDOK);
            tesvarReleased = bench::CountReleased(forTesvar);
            bench::MakeReadOnly(forTesvar);
        }
        tesvar.Press(app::win32::kBtnEnd);
        tesvar.WaitExit();
    }

    std::printf("release of one tree of %ld read-only files (100 folders), under Wine\n", count);
    std::printf("  attrib released %ld, the loop %ld, Tesvar %ld (listed %ld); best of 3 rounds\n", attribReleased,
                loopReleased, tesvarReleased, listed);
    bench::Report("cmd /c attrib -r /s /d", count, attrib, attrib);
    bench::Report("plain GetFileAttributesW/SetFileAttributesW loop", count, loop, attrib);
    bench::Report("Tesvar.exe: Start, Yes to the last line (driven)", count, run, attrib);
    bench::Report("Tesvar.exe: the drop, button let go to the list shown", count, drop, attrib);
    std::printf("  the drag source (DoDragDrop) waited %.3f s at most after the drop\n", sourceWait);
    for (const wchar_t* done : {L"\\attrib", L"\\loop", L"\\tesvar"}) test::RemoveTree(root + done);

    // The same files dragged as one folder and as 20,000 paths.
    const long many = 20000;
    const std::wstring flat = root + L"\\flat";
    const auto files20k = MakeTree(flat, 1, static_cast<int>(many));
    struct Drag {
        double shown = 0, sourceWait = 0;
        long listed = 0;
    };
    Drag asFolder, asPaths;
    {
        test::TesvarProcess tesvar(app);
        const auto drag = [&](const std::vector<std::wstring>& paths, Drag& out) {
            tesvar.Press(app::win32::kBtnClear);
            for (int i = 0; i < 1000 && tesvar.Text(app::win32::kLblListSts) != prompt; ++i) Sleep(10);
            tesvar.DragOnto(paths);
            tesvar.WaitCaptionNot(prompt, 600000);
            LARGE_INTEGER shownAt;
            QueryPerformanceCounter(&shownAt);
            out.shown = Between(tesvar.ReleasedAt(), shownAt);
            out.sourceWait = tesvar.DropWaitMs() / 1000.0;
            out.listed = tesvar.SelCount();
        };
        drag({flat + L"\\d0"}, asFolder);
        drag(files20k, asPaths);
        tesvar.Press(app::win32::kBtnEnd);
        tesvar.WaitExit();
    }
    std::printf("drag of %ld read-only files in one folder, button let go to the list shown (listed %ld / %ld)\n", many,
                asFolder.listed, asPaths.listed);
    bench::Report("the folder", many, asFolder.shown, asFolder.shown);
    bench::Report("its files, one path each", many, asPaths.shown, asFolder.shown);
    std::printf("  the drag source (DoDragDrop) waited %.3f s after the folder, %.3f s after the paths\n",
                asFolder.sourceWait, asPaths.sourceWait);
    test::RemoveTree(root);
    OleUninitialize();
    return 0;
}
