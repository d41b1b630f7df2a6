#include "winui/ui_thread.h"

#include <atomic>
#include <exception>
#include <thread>

#include "winui/handles.h"

namespace dovrel::winui {
namespace {

constexpr UINT kRunCall = WM_APP + 1;
constexpr wchar_t kClassName[] = L"DovrelUiThread";

std::atomic<HWND> callWindow{nullptr};
std::atomic<DWORD> uiThreadId{0};

LRESULT CALLBACK callWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunCall) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

UiThread::UiThread() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = callWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassW(&windowClass);
    uiThreadId = GetCurrentThreadId();
    callWindow =
        CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
}

UiThread::~UiThread() {
    DestroyWindow(callWindow.exchange(nullptr));
    uiThreadId = 0;
}

bool isUiThread() {
    const DWORD id = uiThreadId;
    return id == 0 || id == GetCurrentThreadId();
}

void onUiThread(const std::function<void()>& call) {
    const HWND window = callWindow;
    if (window == nullptr || isUiThread()) {
        call();
        return;
    }
    // A sent message: served by whatever loop the user-interface thread is
    // in, and this thread waits for its end. An exception stays on that side.
    std::exception_ptr failure;
    const std::function<void()> guarded = [&] {
        try {
            call();
        } catch (...) {
            failure = std::current_exception();
        }
    };
    SendMessageW(window, kRunCall, 0, reinterpret_cast<LPARAM>(&guarded));
    if (failure) std::rethrow_exception(failure);
}

void dispatchPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // Kept for the loop that owns the program's end.
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void runOffUiThread(HWND window, const std::function<void()>& work) {
    const HWND focus = GetFocus();
    const bool wasEnabled = window != nullptr && IsWindowEnabled(window);
    if (wasEnabled) EnableWindow(window, FALSE);
    const KernelHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(done.get());
    });
    bool quit = false;
    int quitCode = 0;
    const HANDLE waitFor = done.get();
    while (MsgWaitForMultipleObjects(1, &waitFor, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    worker.join();
    if (quit) PostQuitMessage(quitCode);
    if (wasEnabled) EnableWindow(window, TRUE);
    if (focus != nullptr && IsWindow(focus)) SetFocus(focus);
    if (failure) std::rethrow_exception(failure);
}

}  // namespace dovrel::winui
