#include "core/credentials.h"

#include "cipher/cipher_text.h"
#include "core/localize.h"
#include "core/settings_schema.h"
#include "platform/text.h"

namespace dovrel {

ConvertedCredentials ConvertCredentials(const std::string& user, const std::string& password, bool encrypt) {
    const char* mode = encrypt ? "E" : "D";
    const std::string userIn = trimSpaces(user);
    const std::string passwordIn = trimSpaces(password);
    ConvertedCredentials out{CipherText(mode, kCipherKey, userIn), CipherText(mode, kCipherKey, passwordIn), {}};
    if (!encrypt) return out;
    if (CipherText("D", kCipherKey, out.user) != userIn)
        out.warning = LocalizeText("用户名含有不能加密保存的字符，加密结果无法还原为原来的用户名！");
    if (CipherText("D", kCipherKey, out.password) != passwordIn) {
        if (!out.warning.empty()) out.warning += "\r\n";
        out.warning += LocalizeText("密码含有不能加密保存的字符，加密结果无法还原为原来的密码！");
    }
    return out;
}

std::optional<std::string> StorableCipherText(const std::string& clear) {
    std::string cipher = CipherText("E", kCipherKey, clear);
    if (CipherText("D", kCipherKey, cipher) != clear) return std::nullopt;
    return cipher;
}

}  // namespace dovrel
