#pragma once
// The two failures the settings subsystem raises itself. Their numbers are the
// platform's closest error numbers, so they travel as platform::Error like any other;
// their texts say what went wrong in the words a Japanese user knows for them.
#include <cstdint>

#include "platform/Error.h"

namespace tesvar::settings {

// A stored value that is not a number.
inline constexpr std::int32_t kTypeMismatch = platform::win_error::InvalidData;  // 13
// A number outside -32768..32767.
inline constexpr std::int32_t kOverflow = platform::win_error::ArithmeticOverflow;  // 534

inline platform::Error TypeMismatchError() { return platform::Error(kTypeMismatch, L"型が一致しません。"); }
inline platform::Error OverflowError() { return platform::Error(kOverflow, L"オーバーフローしました。"); }

}  // namespace tesvar::settings
