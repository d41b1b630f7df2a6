#pragma once
// The windows' work runs on a worker thread while the user-interface thread
// goes on painting. Widgets belong to the user-interface thread alone.
#include <functional>

class QWidget;

namespace dovrel::ui {

// Runs `call` on the user-interface thread and waits for it: directly when
// this is that thread, otherwise through its event loop.
void onUiThread(const std::function<void()>& call);

// Runs `work` on a worker thread while the user-interface thread goes on
// processing events (paint, move, the message boxes and texts the work
// asks for). `window` is disabled meanwhile, so that input made during the
// wait is not replayed after it, and gets its focus back afterwards. An
// exception of the work is rethrown here.
void runOffUiThread(QWidget* window, const std::function<void()>& work);

// The same for work with a result.
template <class Result>
Result runOffUiThread(QWidget* window, const std::function<Result()>& work) {
    Result result{};
    runOffUiThread(window, [&] { result = work(); });
    return result;
}

}  // namespace dovrel::ui
