#pragma once
// Owners of the Win32 handles the windows create.
#include <windows.h>

#include <memory>
#include <type_traits>

namespace dovrel::winui {

struct KernelHandleClose {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using KernelHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleClose>;

// Fonts, bitmaps, brushes.
struct GdiObjectDelete {
    void operator()(HGDIOBJ object) const {
        if (object != nullptr) DeleteObject(object);
    }
};
using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDelete>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDelete>;

struct IconDestroy {
    void operator()(HICON icon) const {
        if (icon != nullptr) DestroyIcon(icon);
    }
};
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroy>;

struct WindowDestroy {
    void operator()(HWND window) const {
        if (window != nullptr && IsWindow(window)) DestroyWindow(window);
    }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroy>;

}  // namespace dovrel::winui
