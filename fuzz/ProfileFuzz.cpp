// Arbitrary profile files, names, values and buffer sizes for the simulated profile
// operations, then the placement procedures over whatever the file holds. Besides not
// crashing or hanging, it checks what must hold for any file:
//  - a read places at most size - 1 bytes and a zero byte after them;
//  - a write changes nothing in a folder that cannot be written, and a plain value
//    written under plain names reads back unchanged;
//  - loading leaves each property as it was or sets it to a whole number of twips
//    that fits 16 bits, and creates no file;
//  - saving while minimised or maximised changes nothing; saving in normal state and
//    loading again gives each stored property rounded to the nearest whole twip.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/Error.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimProfile.h"
#include "sim/SimUi.h"
#include "settings/Placement.h"
#include "settings/clsIniFile.h"

namespace {

using namespace tesvar;

void Fail(int line) {
    std::fprintf(stderr, "check failed at line %d\n", line);
    std::abort();
}
// A macro for the line number: this clang has no std::source_location.
#define CHECK(condition) ((condition) ? void() : Fail(__LINE__))

bool IsAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool PlainName(const std::string& name) {
    if (name.empty()) return false;
    for (char c : name) {
        if (!IsAlnum(c)) return false;
    }
    return true;
}

bool IsBlank(char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == ' '; }

// A value that reads back as written: no control bytes, no blanks at its ends, not
// between a pair of quotation marks, and within the 255 bytes of a read.
bool PlainValue(const std::string& value) {
    if (value.size() > 255) return false;
    for (char c : value) {
        if (static_cast<unsigned char>(c) < 0x20) return false;
    }
    if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()))) return false;
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return false;
    return true;
}

// Short names from a small alphabet, so that the fuzzer meets the file's own names.
std::string Name(FuzzedDataProvider& in) {
    if (in.ConsumeBool()) {
        static const char* const names[] = {"Settings", "settings", "MainLeft", "mainleft", "MainTop",
                                            "MainWidth", "MainHeight", " Settings ", ""};
        return names[in.ConsumeIntegralInRange<std::size_t>(0, std::size(names) - 1)];
    }
    return in.ConsumeRandomLengthString(40);
}

std::wstring Wide(FuzzedDataProvider& in) {
    std::wstring text;
    const auto length = in.ConsumeIntegralInRange<std::size_t>(0, 300);
    for (std::size_t i = 0; i < length && in.remaining_bytes() > 0; ++i)
        text.push_back(static_cast<wchar_t>(in.ConsumeIntegralInRange<std::uint32_t>(0, 0xFFFF)));
    return text;
}

bool FitsInt32(float v) {
    return static_cast<double>(v) >= -2147483648.0 && static_cast<double>(v) <= 2147483647.0;
}

float Twips(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: return static_cast<float>(in.ConsumeIntegralInRange<std::int64_t>(-3000000000LL, 3000000000LL));
        case 1: return static_cast<float>(in.ConsumeIntegralInRange(-80000, 80000)) / 2.0f;
        case 2: {
            const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                 -std::numeric_limits<float>::infinity(), -0.0f,
                                 std::numeric_limits<float>::denorm_min()};
            return odd[in.ConsumeIntegralInRange<std::size_t>(0, std::size(odd) - 1)];
        }
        default: return in.ConsumeFloatingPoint<float>();
    }
}

struct Place {
    float values[4];
};
Place PlaceOf(sim::SimUi& ui) { return {{ui.left, ui.top, ui.width, ui.height}}; }
bool Same(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// Loads and gives the placement after it, whether the load ended early or not.
Place Load(settings::SettingsServices services, sim::SimUi& ui) {
    try {
        settings::mLoadSettings(services);
    } catch (const platform::Error&) {
        // A value that is no number or does not fit, or a window that refuses it.
    }
    return PlaceOf(ui);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    sim::SimFileSystem fs;
    sim::SimAnsi ansi;
    sim::SimProfile profile(fs);
    const std::wstring folder = fs.ProgramFolder();
    const std::wstring ini = folder + L"\\Tesvar.ini";
    const std::wstring path = ini;
    fs.AddFolder(folder);
    if (in.ConsumeBool()) fs.AddFile(ini, platform::attr::Archive, in.ConsumeRandomLengthString(4096));
    const bool writable = in.ConsumeIntegralInRange(0, 7) != 0;
    fs.SetWritable(folder, writable);

    const int operations = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < operations; ++i) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0: {
                const std::string section = Name(in), key = Name(in), fallback = in.ConsumeRandomLengthString(300);
                const auto bufferSize = in.ConsumeIntegralInRange<std::uint32_t>(0, 600);
                std::string buffer;
                const std::uint32_t placed = profile.GetString(section, key, fallback, buffer, bufferSize, path);
                CHECK(buffer.size() == bufferSize);
                CHECK(bufferSize == 0 ? placed == 0 : placed < bufferSize && buffer[placed] == '\0');
                break;
            }
            case 1: {
                const std::string section = Name(in), key = Name(in), value = in.ConsumeRandomLengthString(300);
                const std::string earlier = fs.Content(ini);
                const bool stored = profile.WriteString(section, key, value, path);
                // In a folder that cannot be written only an unchanged value counts as stored.
                CHECK(writable || fs.Content(ini) == earlier);
                if (stored && PlainName(section) && PlainName(key) && PlainValue(value)) {
                    std::string buffer;
                    const std::uint32_t placed = profile.GetString(section, key, "", buffer, 256, path);
                    CHECK(buffer.substr(0, placed) == value);
                }
                break;
            }
            case 2:
                profile.GetInt(Name(in), Name(in), in.ConsumeIntegral<std::int32_t>(), path);
                break;
            default: {
                settings::clsIniFile file(profile, ansi);
                file.pFileName(ini);
                try {
                    file.mSetString(Wide(in), Wide(in), Wide(in));
                    file.mGetString(Wide(in), Wide(in), Wide(in));
                    file.mGetInteger(Wide(in), Wide(in), in.ConsumeIntegral<std::int16_t>());
                } catch (const platform::Error&) {
                    // The overflow error of a value beyond 16 bits.
                }
                break;
            }
        }
    }

    sim::SimUi ui;
    ui.left = Twips(in);
    ui.top = Twips(in);
    ui.width = Twips(in);
    ui.height = Twips(in);
    ui.windowState = in.ConsumeIntegralInRange(0, 2);
    const bool existed = fs.Exists(ini);
    const std::string before = fs.Content(ini);

    const Place initial = PlaceOf(ui);
    const Place loaded = Load({fs, profile, ansi, ui}, ui);
    for (int k = 0; k < 4; ++k) {
        const float v = loaded.values[k];
        CHECK(Same(v, initial.values[k]) || (v == std::nearbyint(v) && FitsInt32(v)));
    }
    CHECK(fs.Exists(ini) == existed && fs.Content(ini) == before);

    settings::mSaveSettings({fs, profile, ansi, ui});
    if (ui.windowState != platform::window_state::Normal) {
        CHECK(fs.Exists(ini) == existed && fs.Content(ini) == before);
        return 0;
    }
    if (!writable) return 0;
    const Place saved = PlaceOf(ui);
    const Place reloaded = Load({fs, profile, ansi, ui}, ui);
    // Up to the first value that was not stored or does not fit 32 bits; from there on
    // nothing changes.
    for (int k = 0; k < 4; ++k) {
        const float v = saved.values[k];
        if (!std::isfinite(v)) break;
        const float rounded = std::nearbyint(v);
        if (!FitsInt32(rounded)) {
            for (int rest = k; rest < 4; ++rest) CHECK(Same(reloaded.values[rest], saved.values[rest]));
            break;
        }
        CHECK(reloaded.values[k] == rounded);
    }
    return 0;
}
