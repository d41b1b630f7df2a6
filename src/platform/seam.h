#pragma once
// The program reaches the operating system, the user and the network through
// a few interfaces (message boxes, progress and status texts, the settings
// store, the display-text converter, the ICMP echo). Each is a seam: the
// program's own implementation serves unless another has been installed, as
// the windows install theirs and tests install doubles. One mechanism serves
// them all:
//
//   MessageSink& sink = platform::seam<MessageSink>().get();
//   platform::ScopedOverride<MessageSink> recording(recorder);   // until the scope ends
#include <atomic>

namespace dovrel::platform {

template <class Interface>
class Seam {
public:
    using Fallback = Interface& (*)();
    explicit Seam(Fallback fallback) : fallback_(fallback) {}
    Seam(const Seam&) = delete;
    Seam& operator=(const Seam&) = delete;

    // The installed implementation, else the program's own.
    Interface& get() const {
        Interface* installed = installed_.load(std::memory_order_acquire);
        return installed != nullptr ? *installed : fallback_();
    }
    // Installs `replacement` (nullptr returns to the program's own) and
    // returns what was installed before.
    Interface* install(Interface* replacement) { return installed_.exchange(replacement, std::memory_order_acq_rel); }

private:
    std::atomic<Interface*> installed_{nullptr};
    Fallback fallback_;
};

// The one seam of each interface; defined beside the interface's own implementation.
template <class Interface>
Seam<Interface>& seam();

// Installs `replacement` in the seam of its interface for the object's life.
template <class Interface>
class ScopedOverride {
public:
    explicit ScopedOverride(Interface& replacement) : previous_(seam<Interface>().install(&replacement)) {}
    ~ScopedOverride() { seam<Interface>().install(previous_); }
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;

private:
    Interface* previous_;
};

}  // namespace dovrel::platform
