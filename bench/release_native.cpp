// Release run over 100,000 simulated entries, beside a plain read-clear-write loop over
// the same simulated tree. Also suited to callgrind (instruction counts repeat exactly).
#include <cstdio>
#include <string>

#include "BenchClock.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimUi.h"
#include "release/ReleaseRun.h"

using namespace tesvar;

int main(int argc, char** argv) {
    const long count = argc > 1 ? std::stol(argv[1]) : 100000;
    sim::SimFileSystem fs;
    sim::SimAnsi ansi;
    sim::SimUi ui;
    fs.AddFolder(fs.ProgramFolder());
    std::vector<std::wstring> paths;
    for (long i = 0; i < count; ++i) {
        paths.push_back(L"C:\\bench\\d" + std::to_wstring(i / 1000) + L"\\file" + std::to_wstring(i) + L".txt");
        fs.AddFile(paths.back(), i % 2 ? 33 : 32);
        ui.Add(paths.back(), i % 4 != 3);
    }
    ui.Answer(platform::msgbox::Yes);
    const double run = bench::Seconds([&] {
        release::ReleaseRun r({fs, fs, ansi, ui, ui, ui});
        r.BtnStart_Click();
    });
    fs.setAttrCalls.clear();
    for (long i = 0; i < count; ++i) fs.SetAttributesDirect(paths[static_cast<std::size_t>(i)], i % 2 ? 33 : 32);
    const double plain = bench::Seconds([&] {
        for (const auto& p : paths) {
            const auto word = fs.GetAttr(p);
            if (word & 1) fs.SetAttr(p, word & ~1);
        }
    });
    std::printf("release run, simulated platform (log of %zu bytes)\n", fs.Content(fs.ProgramFolder() + L"\\Tesvar.log").size());
    bench::Report("plain GetAttr/SetAttr loop (baseline)", count, plain, plain);
    bench::Report("release run with log and per-entry yield", count, run, plain);
    return 0;
}
