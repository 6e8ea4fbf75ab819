#pragma once
// Byte strings written as hex, so expected Shift-JIS text stays independent of the
// converter under test.
#include <string>
#include <string_view>

namespace tesvar::test {

inline std::string Hex(std::string_view hex) {
    std::string out;
    int high = -1;
    for (char c : hex) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else continue;
        if (high < 0) {
            high = v;
        } else {
            out.push_back(static_cast<char>(high * 16 + v));
            high = -1;
        }
    }
    return out;
}

// The four log labels in Shift-JIS, 22 bytes each.
inline const std::string kReleasedSjis = Hex("89f08f9c 82b582dc 82b582bd 8140 8140 8140 8140 8146");
inline const std::string kNotReadOnlySjis = Hex("93c78ee6 90ea9770 96a290dd 92e882c5 82b7 8140 8146");
inline const std::string kNotSelectedSjis = Hex("96a29149 91f08169 91ce8fdb 8a4f816a 82c582b7 8146");
inline const std::string kErrorSjis = Hex("83478389 815b82aa 94ad90b6 82b582dc 82b582bd 8146");
// Two message texts of the simulated platform.
inline const std::string kAccessDeniedSjis = Hex("8341834e 835a8358 82aa8b91 94db82b3 82ea82dc 82b582bd 8142");
inline const std::string kFileNotFoundSjis =
    Hex("8e7792e8 82b382ea 82bd8374 83408343 838b82aa 8ca982c2 82a982e8 82dc82b9 82f18142");

}  // namespace tesvar::test
