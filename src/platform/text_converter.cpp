#include "platform/text_converter.h"

#include <exception>
#include <memory>
#include <mutex>

#include "platform/codepage.h"
#include "platform/opencc_data.h"

namespace dovrel::platform {
namespace {

// OpenCC's Simplified-to-Traditional conversion in the Taiwan standard
// forms that Big5 machines expect (為 and 啟, not 爲 and 啓), loaded once on
// first use and held for the run. A converter that cannot be loaded stays
// unloaded: every text then comes back unconverted.
class OpenCcConverter : public TextConverter {
public:
    std::optional<std::string> convert(const std::string& text) override {
        // OpenCC reads past the end of a text whose last character is cut.
        if (!isValidUtf8(text)) return std::nullopt;
        const std::lock_guard guard(lock_);
        if (!tried_) {
            tried_ = true;
            try {
                converter_ = openS2twConverter();
            } catch (...) {
                converter_.reset();
            }
        }
        if (!converter_) return std::nullopt;
        try {
            return converter_->Convert(text);
        } catch (...) {
            return std::nullopt;
        }
    }

private:
    std::mutex lock_;  // texts come from the windows' worker thread too
    bool tried_ = false;
    std::unique_ptr<opencc::SimpleConverter> converter_;
};

}  // namespace

template <>
Seam<TextConverter>& seam<TextConverter>() {
    static Seam<TextConverter> seam([]() -> TextConverter& {
        static OpenCcConverter openCc;
        return openCc;
    });
    return seam;
}

TextConverter& traditionalConverter() { return seam<TextConverter>().get(); }

}  // namespace dovrel::platform
