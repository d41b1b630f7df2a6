#include "winui/picture_control.h"

namespace dovrel::winui {
namespace {

constexpr wchar_t kDpiProperty[] = L"DovrelDpi";

HBITMAP bitmapOf(HWND picture) { return reinterpret_cast<HBITMAP>(GetWindowLongPtrW(picture, GWLP_USERDATA)); }

UINT dpiOf(HWND picture) {
    const auto dpi = static_cast<UINT>(reinterpret_cast<UINT_PTR>(GetPropW(picture, kDpiProperty)));
    return dpi == 0 ? 96 : dpi;
}

void paint(HWND picture) {
    PAINTSTRUCT paintInfo;
    const HDC dc = BeginPaint(picture, &paintInfo);
    RECT client;
    GetClientRect(picture, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    if (const HBITMAP bitmap = bitmapOf(picture)) {
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        const HDC source = CreateCompatibleDC(dc);
        const HGDIOBJ previous = SelectObject(source, bitmap);
        const UINT dpi = dpiOf(picture);
        SetStretchBltMode(dc, HALFTONE);
        StretchBlt(dc, 0, 0, MulDiv(info.bmWidth, static_cast<int>(dpi), 96),
                   MulDiv(info.bmHeight, static_cast<int>(dpi), 96), source, 0, 0, info.bmWidth, info.bmHeight,
                   SRCCOPY);
        SelectObject(source, previous);
        DeleteDC(source);
    }
    EndPaint(picture, &paintInfo);
}

LRESULT CALLBACK pictureProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto* name = static_cast<const wchar_t*>(create->lpCreateParams);
        if (name != nullptr) {
            const HANDLE bitmap = LoadImageW(create->hInstance, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
            SetWindowLongPtrW(picture, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap));
        }
        return 0;
    }
    case WM_NCDESTROY:
        if (const HBITMAP bitmap = bitmapOf(picture)) DeleteObject(bitmap);
        RemovePropW(picture, kDpiProperty);
        break;
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    case WM_PAINT: paint(picture); return 0;
    case WM_CTLCOLORSTATIC: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        const auto label = reinterpret_cast<HWND>(lParam);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(GetPropW(label, kHighlightProperty) ? COLOR_HIGHLIGHT : COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    }
    case WM_LBUTTONDOWN:
        // A picture that takes the focus takes it by a click as well.
        if (GetWindowLongW(picture, GWL_STYLE) & WS_TABSTOP) SetFocus(picture);
        return 0;
    default: break;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

}  // namespace

void registerPictureClass() {
    WNDCLASSW windowClass{};
    if (GetClassInfoW(GetModuleHandleW(nullptr), kPictureClass, &windowClass)) return;
    windowClass.lpfnWndProc = pictureProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kPictureClass;
    RegisterClassW(&windowClass);
}

void setPictureDpi(HWND picture, UINT dpi) {
    SetPropW(picture, kDpiProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(dpi)));
    InvalidateRect(picture, nullptr, TRUE);
}

SIZE pictureBitmapSize(HWND picture) {
    BITMAP info{};
    if (const HBITMAP bitmap = bitmapOf(picture)) GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

}  // namespace dovrel::winui
