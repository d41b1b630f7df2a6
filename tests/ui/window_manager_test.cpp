// The window program on a real X server with a window manager (Xvfb and
// openbox), as a user meets it: both windows keep a fixed dialog frame, the
// progress window stays out of the taskbar, and it is painted while the
// start-up check waits for a server that never answers.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "cipher/cipher_text.h"
#include "core/settings.h"
#include "core/settings_schema.h"
#include "support/scoped_settings_file.h"
#include "support/silent_server.h"
#include "support/spawned_process.h"

// Last: Xlib's macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace dovrel {
namespace {

using Clock = std::chrono::steady_clock;

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// An X server of the test's own, with openbox managing it.
class Desktop {
public:
    Desktop() {
        int pipe[2];
        if (::pipe(pipe) != 0) return;
        // Xvfb chooses a free display and writes its number to descriptor 3;
        // with SIGUSR1 ignored it signals this process once it accepts clients
        // (a client that comes earlier can bring it down).
        sigset_t ready;
        sigemptyset(&ready);
        sigaddset(&ready, SIGUSR1);
        sigprocmask(SIG_BLOCK, &ready, nullptr);
        test::SpawnOptions options;
        options.passedFd = pipe[1];
        options.ignoreSigusr1 = true;
        server_ = std::make_unique<test::SpawnedProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp",
                                     "-noreset"},
            options);
        ::close(pipe[1]);
        const timespec limit{20, 0};
        const bool started = sigtimedwait(&ready, nullptr, &limit) == SIGUSR1;
        // The server would signal again after a reset; none may end the test.
        signal(SIGUSR1, SIG_IGN);
        sigprocmask(SIG_UNBLOCK, &ready, nullptr);
        char number[16] = {};
        const ssize_t n = started ? ::read(pipe[0], number, sizeof number - 1) : 0;
        ::close(pipe[0]);
        if (n <= 0) return;
        name_ = ":" + std::string(number, static_cast<std::size_t>(n - (number[n - 1] == '\n' ? 1 : 0)));
        display_ = XOpenDisplay(name_.c_str());
        if (!display_) return;
        test::SpawnOptions wm;
        wm.environment = {"DISPLAY=" + name_};
        windowManager_ =
            std::make_unique<test::SpawnedProcess>(std::vector<std::string>{"openbox", "--sm-disable"}, wm);
        waitFor([this] { return property(DefaultRootWindow(display_), "_NET_SUPPORTING_WM_CHECK").has_value(); },
                std::chrono::seconds(10));
    }
    ~Desktop() {
        if (display_) XCloseDisplay(display_);
    }

    bool ready() const { return display_ != nullptr; }
    const std::string& name() const { return name_; }

    // The top-level client window whose title is `title`.
    std::optional<Window> findWindow(const std::string& title) { return find(DefaultRootWindow(display_), title); }

    // The atoms of an atom-list property, by name.
    std::set<std::string> atoms(Window window, const char* propertyName) {
        std::set<std::string> names;
        if (const auto values = property(window, propertyName)) {
            for (const unsigned long value : *values) {
                char* name = XGetAtomName(display_, value);
                if (name) names.insert(name);
                XFree(name);
            }
        }
        return names;
    }

    // The 32-bit items of a property; nullopt when it is not set.
    std::optional<std::vector<unsigned long>> property(Window window, const char* propertyName) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom atom = XInternAtom(display_, propertyName, False);
        if (XGetWindowProperty(display_, window, atom, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) != Success ||
            type == None) {
            return std::nullopt;
        }
        std::vector<unsigned long> values;
        if (format == 32) {
            const auto* items = reinterpret_cast<const unsigned long*>(data);
            values.assign(items, items + count);
        }
        XFree(data);
        return values;
    }

    // How many distinct colours the window shows on the screen.
    std::size_t coloursShown(Window window) {
        XWindowAttributes attributes{};
        if (!XGetWindowAttributes(display_, window, &attributes)) return 0;
        XImage* image = XGetImage(display_, window, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
        if (!image) return 0;
        std::set<unsigned long> colours;
        for (int y = 0; y < attributes.height; y += 2)
            for (int x = 0; x < attributes.width; x += 2) colours.insert(XGetPixel(image, x, y));
        XDestroyImage(image);
        return colours.size();
    }

private:
    std::optional<Window> find(Window parent, const std::string& title) {
        Window root = 0, parentOut = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display_, parent, &root, &parentOut, &children, &count)) return std::nullopt;
        std::optional<Window> found;
        for (unsigned int i = 0; i < count && !found; ++i) {
            if (titleOf(children[i]) == title)
                found = children[i];
            else
                found = find(children[i], title);
        }
        XFree(children);
        return found;
    }

    std::string titleOf(Window window) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const Atom name = XInternAtom(display_, "_NET_WM_NAME", False);
        std::string title;
        if (XGetWindowProperty(display_, window, name, 0, 256, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) == Success &&
            data) {
            title.assign(reinterpret_cast<const char*>(data), count);
        }
        XFree(data);
        return title;
    }

    std::unique_ptr<test::SpawnedProcess> server_;
    std::unique_ptr<test::SpawnedProcess> windowManager_;
    std::string name_;
    Display* display_ = nullptr;
};

// What a fixed dialog frame asks of the window manager.
void expectFixedDialogFrame(Desktop& desktop, Window window) {
    const auto motif = desktop.property(window, "_MOTIF_WM_HINTS");
    ASSERT_TRUE(motif && motif->size() >= 3);
    constexpr unsigned long kFunctionsGiven = 1, kMinimize = 8, kMaximize = 16;
    ASSERT_TRUE((*motif)[0] & kFunctionsGiven);
    EXPECT_EQ((*motif)[1] & (kMinimize | kMaximize), 0u);
    const auto types = desktop.atoms(window, "_NET_WM_WINDOW_TYPE");
    EXPECT_TRUE(types.contains("_NET_WM_WINDOW_TYPE_DIALOG") || types.contains("_NET_WM_WINDOW_TYPE_UTILITY"));
    // The window manager's own verdict: neither resized nor maximised.
    const auto allowed = desktop.atoms(window, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_FALSE(allowed.empty());
    for (const char* action : {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
        EXPECT_FALSE(allowed.contains(action)) << action;
}

TEST(WindowManager, FixedFramesAndAProgressWindowThatPaintsWhileTheServerIsSilent) {
    Desktop desktop;
    ASSERT_TRUE(desktop.ready()) << "Xvfb and openbox did not start";
    test::SilentServer silent;
    test::ScopedSettingsFile store;
    WriteSetting(kSettingsKey, value_name::ServerName, silent.serverName());
    WriteSetting(kSettingsKey, value_name::User, CipherText("E", kCipherKey, "sa"));
    test::SpawnOptions options;
    options.environment = {"DISPLAY=" + desktop.name(), "QT_QPA_PLATFORM=xcb", "LC_ALL=zh_CN.UTF-8",
                           "DOVREL_REGISTRY=" + store.path()};
    test::SpawnedProcess program({DOVREL_PATH}, options);

    std::optional<Window> progress;
    ASSERT_TRUE(waitFor([&] { return (progress = desktop.findWindow("Installshield Wizard")).has_value(); },
                        std::chrono::seconds(20)));
    // The check now waits for the silent server: the window must show its
    // labels and picture all the same, not a black rectangle.
    ASSERT_TRUE(waitFor([&] { return silent.accepted() > 0; }, std::chrono::seconds(20)));
    EXPECT_TRUE(waitFor([&] { return desktop.coloursShown(*progress) > 4; }, std::chrono::seconds(5)))
        << "the progress window is not painted";
    EXPECT_TRUE(desktop.atoms(*progress, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"));
    expectFixedDialogFrame(desktop, *progress);

    silent.dropConnections();
    std::optional<Window> settings;
    ASSERT_TRUE(waitFor([&] { return (settings = desktop.findWindow("数据库连接设置")).has_value(); },
                        std::chrono::seconds(20)));
    EXPECT_TRUE(waitFor([&] { return desktop.coloursShown(*settings) > 4; }, std::chrono::seconds(5)));
    expectFixedDialogFrame(desktop, *settings);
    EXPECT_TRUE(program.running());
}

}  // namespace
}  // namespace dovrel
