#pragma once
// Resource ids shared by Tesvar.rc and the code.
#define TESVAR_ICON_ID 1

#ifdef __cplusplus
namespace tesvar::app::win32 {
inline constexpr int kIconId = TESVAR_ICON_ID;
}
#endif
