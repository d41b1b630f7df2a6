#pragma once
// Resource numbers shared by dovrel.rc and the code (kept a plain header,
// so that the resource compiler reads it too).
#define DOVREL_ICON_RESOURCE 1

#ifdef __cplusplus
namespace dovrel::winui {
inline constexpr int kIconResource = DOVREL_ICON_RESOURCE;
}  // namespace dovrel::winui
#endif
