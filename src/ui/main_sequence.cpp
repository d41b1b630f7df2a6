#include "ui/main_sequence.h"

#include <memory>

#include "core/start_up.h"
#include "platform/messages.h"
#include "platform/ui_host.h"
#include "ui/frm_setup_type.h"
#include "ui/qt_message_sink.h"
#include "ui/qt_ui_host.h"
#include "ui/ui_thread.h"

namespace dovrel::ui {

namespace {

class QtStartUpWindows final : public StartUpWindows {
public:
    explicit QtStartUpWindows(const SettingsWindowStep& settingsWindowStep) : settingsWindowStep_(settingsWindowStep) {}

    void showProgressWindow() override {
        progress_ = std::make_unique<FrmSetupType>();
        progress_->show();
    }
    void runBesideProgressWindow(const std::function<void()>& work) override { runOffUiThread(progress_.get(), work); }
    void showSettingsWindow() override {
        if (settingsWindowStep_) settingsWindowStep_();
    }
    void closeProgressWindow() override { progress_.reset(); }

private:
    const SettingsWindowStep& settingsWindowStep_;
    std::unique_ptr<FrmSetupType> progress_;
};

}  // namespace

void Main(const SettingsWindowStep& settingsWindowStep) {
    QtMessageSink messageBoxes;
    const platform::ScopedOverride<MessageSink> scopedMessages(messageBoxes);
    const platform::ScopedOverride<UiHost> scopedHost(QtUiHost::instance());
    QtStartUpWindows windows(settingsWindowStep);
    RunStartUp(windows);
}

}  // namespace dovrel::ui
