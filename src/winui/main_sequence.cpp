#include "winui/main_sequence.h"

#include <memory>

#include "core/start_up.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "winui/frm_dovrel.h"
#include "winui/frm_setup_type.h"
#include "winui/message_box_sink.h"
#include "winui/ui_thread.h"
#include "winui/win_ui_host.h"

namespace dovrel::winui {

namespace {

class WinStartUpWindows final : public StartUpWindows {
public:
    explicit WinStartUpWindows(const SettingsWindowStep& settingsWindowStep) : settingsWindowStep_(settingsWindowStep) {}

    void showProgressWindow() override {
        progress_ = std::make_unique<FrmSetupType>();
        progress_->show();
    }
    void runBesideProgressWindow(const std::function<void()>& work) override {
        runOffUiThread(progress_->handle(), work);
    }
    void showSettingsWindow() override {
        if (settingsWindowStep_) settingsWindowStep_(progress_->handle());
    }
    void closeProgressWindow() override { progress_.reset(); }

private:
    const SettingsWindowStep& settingsWindowStep_;
    std::unique_ptr<FrmSetupType> progress_;
};

}  // namespace

void Main(const SettingsWindowStep& settingsWindowStep) {
    const UiThread uiThread;
    MessageBoxSink messageBoxes;
    const platform::ScopedOverride<MessageSink> scopedMessages(messageBoxes);
    const platform::ScopedOverride<UiHost> scopedHost(WinUiHost::instance());
    WinStartUpWindows windows(settingsWindowStep);
    RunStartUp(windows);
}

void ShowSettingsWindowModal(HWND progress) {
    FrmDovrel window;
    window.showModal(progress);
}

}  // namespace dovrel::winui
