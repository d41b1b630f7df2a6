#pragma once
// The windows' work runs on a worker thread while the user-interface thread
// goes on pumping messages. Windows belong to the thread that made them:
// whatever touches them runs on that thread.
#include <windows.h>

#include <functional>

namespace dovrel::winui {

// Makes the calling thread the user-interface thread for the object's
// life: onUiThread() calls from other threads come to it through a hidden
// message window, served by any message loop the thread runs (its own, a
// message box's, a modal window's).
class UiThread {
public:
    UiThread();
    ~UiThread();
    UiThread(const UiThread&) = delete;
    UiThread& operator=(const UiThread&) = delete;
};

// True on the user-interface thread (or when there is none).
bool isUiThread();

// Runs `call` on the user-interface thread and waits for it: directly when
// this is that thread (or there is none), otherwise through its messages.
void onUiThread(const std::function<void()>& call);

// Runs `work` on a worker thread while this thread, the user-interface
// thread, goes on dispatching its messages (painting, the message boxes
// and texts the work asks for). `window` is disabled meanwhile, so that
// input made during the wait is not replayed after it, and gets its focus
// back afterwards. An exception of the work is rethrown here.
void runOffUiThread(HWND window, const std::function<void()>& work);

template <class Result>
Result runOffUiThread(HWND window, const std::function<Result()>& work) {
    Result result{};
    runOffUiThread(window, [&] { result = work(); });
    return result;
}

// Dispatches the messages waiting for this thread, paint included, and
// returns when none is left.
void dispatchPendingMessages();

}  // namespace dovrel::winui
