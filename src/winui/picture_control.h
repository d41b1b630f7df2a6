#pragma once
// The picture control of the windows: a bitmap of the program's resources
// at its top-left corner, scaled with the window's DPI. Labels that it
// holds show on the bitmap, with a transparent background.
#include <windows.h>

namespace dovrel::winui {

inline constexpr wchar_t kPictureClass[] = L"DovrelPicture";
// Set on a label held by a picture: its text takes the highlight colour.
inline constexpr wchar_t kHighlightProperty[] = L"DovrelHighlight";

// Registers the window class once. The creation parameter of a picture is
// the resource name of its bitmap (const wchar_t*).
void registerPictureClass();

// The DPI a picture draws its bitmap for (96 draws it pixel for pixel).
void setPictureDpi(HWND picture, UINT dpi);

// The size of the picture's bitmap in pixels ({0, 0} without one).
SIZE pictureBitmapSize(HWND picture);

}  // namespace dovrel::winui
