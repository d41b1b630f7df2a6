// The settings window's load procedure, headless: a window of recorded
// controls stands in for the Qt and Win32 ones.
#include <gtest/gtest.h>

#include <stdexcept>

#include "core/load_settings_window.h"
#include "core/run_state.h"
#include "core/server_history.h"
#include "platform/messages.h"
#include "platform/seam.h"
#include "platform/ui_host.h"
#include "support/scoped_settings_file.h"
#include "support/test_doubles.h"

namespace dovrel {
namespace {

class RecordedControls final : public SettingsWindowControls {
public:
    void addServerEntry(const std::string& server) override { calls.push_back("add:" + server); }
    void showConnectionSettings(const ConnectionSettingsRecord& settings) override {
        calls.push_back("show:" + settings.DatabaseName + "|" + settings.UserName + "|" + settings.UserPassword);
        boxes = {settings.ServerName, settings.DatabaseName, settings.UserName, settings.UserPassword};
    }
    ConnectionFields fields() const override { return boxes; }
    void ShowDiagnosis() override {
        calls.push_back("diagnosis");
        if (diagnosisFails) throw std::runtime_error("no diagnosis");
    }
    void LocalizeControls() override { calls.push_back("localize"); }

    std::vector<std::string> calls;
    ConnectionFields boxes;
    bool diagnosisFails = false;
};

class LoadSettingsWindowTest : public ::testing::Test {
protected:
    void SetUp() override { resetRunState(); }
    void TearDown() override { resetRunState(); }
    test::ScopedSettingsFile store;
    RecordingUiHost host;
    RecordingMessageSink messages;
    platform::ScopedOverride<UiHost> scopedHost{host};
    platform::ScopedOverride<MessageSink> scopedMessages{messages};
    RecordedControls window;
};

TEST_F(LoadSettingsWindowTest, UnreachableStartTakesTheBoxesBackAndShowsThemAgain) {
    ASSERT_EQ(WriteServerHistory({"A", "", "b", ""}), 0);
    runState().ConnectionSettings = {"srv", " TovixHR  ", "sa ", " pw "};
    runState().ServerReachable = false;

    EXPECT_TRUE(LoadSettingsWindow(window));
    // The boxes' values come back without the spaces around them (the
    // password's too) and are shown a second time.
    EXPECT_EQ(window.calls, (std::vector<std::string>{"add:A", "add:b", "show: TovixHR  |sa | pw ", "show:TovixHR|sa|pw",
                                                      "diagnosis", "localize"}));
    EXPECT_EQ(runState().ConnectionSettings.DatabaseName, "TovixHR");
    EXPECT_EQ(runState().ConnectionSettings.UserPassword, "pw");
    EXPECT_FALSE(host.busyPointer);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LoadSettingsWindowTest, AFailedStepIsReportedAndEndsTheBusyState) {
    runState().ConnectionSettings = {"srv", "TovixHR", "sa", "pw"};
    runState().ServerReachable = true;
    window.diagnosisFails = true;

    EXPECT_FALSE(LoadSettingsWindow(window));
    // Reachable: shown once; the captions are not localized after the failure.
    EXPECT_EQ(window.calls, (std::vector<std::string>{"show:TovixHR|sa|pw", "diagnosis"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("no diagnosis"), std::string::npos);
    EXPECT_FALSE(host.busyPointer);
}

}  // namespace
}  // namespace dovrel
