#pragma once
// An iconv conversion descriptor, closed with its owner.
#include <iconv.h>

namespace dovrel::platform {

// Owns one iconv descriptor.
class IconvHandle {
public:
    IconvHandle() = default;
    explicit IconvHandle(iconv_t descriptor) : descriptor_(descriptor) {}
    ~IconvHandle() { reset(); }
    IconvHandle(IconvHandle&& other) noexcept : descriptor_(other.release()) {}
    IconvHandle& operator=(IconvHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;

    // A converter from `from` to `to`; an empty handle when iconv knows neither.
    static IconvHandle open(const char* to, const char* from) { return IconvHandle(iconv_open(to, from)); }
    bool valid() const { return descriptor_ != kNone; }
    iconv_t get() const { return descriptor_; }

private:
    static inline const iconv_t kNone = reinterpret_cast<iconv_t>(-1);
    iconv_t release() {
        iconv_t d = descriptor_;
        descriptor_ = kNone;
        return d;
    }
    void reset(iconv_t next = kNone) {
        if (valid()) iconv_close(descriptor_);
        descriptor_ = next;
    }
    iconv_t descriptor_ = kNone;
};

}  // namespace dovrel::platform
