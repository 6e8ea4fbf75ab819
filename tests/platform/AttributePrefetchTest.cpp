// The look-ahead of a drop's attribute words: near the drop, fresh, and following the
// drop past paths it answers without asking.
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "platform/AttributePrefetch.h"

namespace tesvar::platform {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A file system whose answers count up, so that a stale answer shows, and whose clock
// the test sets.
struct Counting {
    std::mutex mutex;
    std::map<std::wstring, int> asked;
    std::atomic<std::size_t> furthest{0};
    std::atomic<Clock::rep> now{0};
    std::vector<std::wstring> paths;

    AttributePrefetch::Look Look() {
        return [this](const std::wstring& path) {
            const std::lock_guard lock(mutex);
            const int n = ++asked[path];
            for (std::size_t i = furthest; i < paths.size(); ++i) {
                if (paths[i] == path) furthest = std::max<std::size_t>(furthest, i);
            }
            return AttributePrefetch::Answer{static_cast<std::uint32_t>(n), 0};
        };
    }
    AttributePrefetch::Clock TimeSet() {
        return [this] { return Clock::time_point(Clock::duration(now.load())); };
    }
    int Asked(const std::wstring& path) {
        const std::lock_guard lock(mutex);
        return asked[path];
    }
};

std::vector<std::wstring> Paths(std::size_t n) {
    std::vector<std::wstring> paths;
    for (std::size_t i = 0; i < n; ++i) paths.push_back(L"C:\\d\\f" + std::to_wstring(i));
    return paths;
}

void Await(const std::function<bool()>& done) {
    for (int i = 0; i < 2000 && !done(); ++i) std::this_thread::sleep_for(1ms);
}

TEST(AttributePrefetch, RunsNoFurtherThanItsWindowAheadOfTheDrop) {
    Counting fs;
    fs.paths = Paths(2000);
    AttributePrefetch ahead(fs.paths, 3, fs.Look(), fs.TimeSet());
    Await([&] { return fs.furthest >= AttributePrefetch::kAhead; });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(fs.furthest.load(), AttributePrefetch::kAhead);
    ahead.Reached(1000);
    Await([&] { return fs.furthest >= 1000 + AttributePrefetch::kAhead; });
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(fs.furthest.load(), 1000 + AttributePrefetch::kAhead);
    // Paths the drop went past are not asked about any more.
    EXPECT_EQ(fs.Asked(fs.paths[600]), 0);
}

TEST(AttributePrefetch, AnswersTheDropsPathOnceAndFreshOnly) {
    Counting fs;
    fs.paths = {L"C:\\a", L"C:\\a", L"   ", L"C:\\b", L"C:\\c"};
    AttributePrefetch ahead(fs.paths, 2, fs.Look(), fs.TimeSet());
    Await([&] { return fs.Asked(L"C:\\c") == 1; });
    ahead.Reached(0);
    ASSERT_TRUE(ahead.Take(L"C:\\a"));
    EXPECT_FALSE(ahead.Take(L"C:\\a")) << "an answer is handed over once";
    EXPECT_FALSE(ahead.Take(L"C:\\b")) << "not the path the drop stands at";
    // The repeat of a and the blank path are answered without the look-ahead; the
    // drop passing them keeps it in step.
    ahead.Reached(1);
    ahead.Reached(2);
    ahead.Reached(3);
    const auto b = ahead.Take(L"C:\\b");
    ASSERT_TRUE(b);
    EXPECT_EQ(b->word, 1u);
    EXPECT_EQ(fs.Asked(L"C:\\b"), 1) << "b was taken from the look-ahead";
    EXPECT_EQ(fs.Asked(L"   "), 0) << "a blank path is never asked";
    // c was read more than a frame ago: asked again now.
    fs.now = Clock::duration(AttributePrefetch::kFresh + 1ms).count();
    ahead.Reached(4);
    const auto c = ahead.Take(L"C:\\c");
    ASSERT_TRUE(c);
    EXPECT_EQ(c->word, 2u);
}

}  // namespace
}  // namespace tesvar::platform
