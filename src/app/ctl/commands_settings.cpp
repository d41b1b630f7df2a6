// show, set, encrypt, decrypt, localize and setting: the administrator's
// view of the machine-wide settings.
#include <iostream>
#include <optional>

#include "app/ctl/commands.h"
#include "cipher/cipher_text.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/text.h"
#include "core/load_settings.h"
#include "core/read_setting.h"
#include "core/ui_font.h"
#include "core/settings_schema.h"

namespace dovrel::ctl {
namespace {

std::string masked(const std::string& secret) { return secret.empty() ? "" : "********"; }

void addShow(CLI::App& app) {
    auto* cmd = app.add_subcommand("show", "The four settings as start-up holds them (password masked)");
    auto reveal = std::make_shared<bool>(false);
    cmd->add_flag("--reveal", *reveal, "Show the password in clear");
    cmd->callback([reveal] {
        LoadSettingsAtStart();
        const auto& s = runState().ConnectionSettings;
        std::cout << "ServerName: " << s.ServerName << "\n"
                  << "DatabaseName: " << s.DatabaseName << "\n"
                  << "UserName: " << s.UserName << "\n"
                  << "UserPassword: " << (*reveal ? s.UserPassword : masked(s.UserPassword)) << std::endl;
    });
}

struct SetOptions {
    std::optional<std::string> server, database, user, password;
    bool plain = false;
};

// The cipher cannot restore every text (double-byte characters, codes 0
// and 255); such a credential is refused rather than stored corrupted.
std::optional<std::string> encryptRestorable(const std::string& name, const std::string& text) {
    std::string cipher = CipherText("E", kCipherKey, text);
    if (CipherText("D", kCipherKey, cipher) != text) {
        std::cerr << "dovrelctl: the " << name
                  << " cannot be stored encrypted (the cipher cannot restore it); use --plain to store it in clear\n";
        return std::nullopt;
    }
    return cipher;
}

void addSet(CLI::App& app) {
    auto* cmd = app.add_subcommand("set", "Write settings as the save command does (credentials encrypted)");
    auto o = std::make_shared<SetOptions>();
    cmd->add_option("--server", o->server, "SQL Server host, host\\instance or host,port");
    cmd->add_option("--database", o->database, "Database name");
    cmd->add_option("--user", o->user, "SQL login");
    cmd->add_option("--password", o->password, "SQL password (stored as given)");
    cmd->add_flag("--plain", o->plain, "Store login and password in clear");
    cmd->callback([o] {
        std::vector<std::pair<std::string, std::string>> writes;
        if (o->server) writes.emplace_back("ServerName", trimSpaces(*o->server));
        if (o->database) writes.emplace_back("Database", trimSpaces(*o->database));
        for (auto [name, value] : {std::pair{"User", o->user ? std::optional(trimSpaces(*o->user)) : std::nullopt},
                                   std::pair{"Password", o->password}}) {
            if (!value) continue;
            if (!o->plain) {
                value = encryptRestorable(name == std::string("User") ? "login" : "password", *value);
                if (!value) throw CLI::RuntimeError(1);
            }
            writes.emplace_back(name, *value);
        }
        int failed = 0;
        for (const auto& [name, value] : writes) {
            if (int32_t code = WriteSetting(kSettingsKey, name, value); code != 0) {
                std::cerr << "dovrelctl: writing " << name << " failed (code " << code << ")\n";
                ++failed;
            }
        }
        if (failed) throw CLI::RuntimeError(1);
    });
}

void addCipher(CLI::App& app, const std::string& name, const std::string& mode, const std::string& help) {
    auto* cmd = app.add_subcommand(name, help);
    auto text = std::make_shared<std::string>();
    cmd->add_option("TEXT", *text, "The text")->required();
    cmd->callback([text, mode] { std::cout << CipherText(mode, kCipherKey, *text) << std::endl; });
}

void addLocalize(CLI::App& app) {
    auto* cmd = app.add_subcommand("localize", "A display text as this machine's code page shows it");
    auto text = std::make_shared<std::string>();
    cmd->add_option("TEXT", *text, "The text")->required();
    cmd->callback([text] {
        SelectUiFont();
        std::cout << LocalizeText(*text) << std::endl;
    });
}

void addSetting(CLI::App& app) {
    auto* cmd = app.add_subcommand("setting", "Read or write any value under the program's key");
    cmd->require_subcommand(1);
    auto* get = cmd->add_subcommand("get", "Read a value (a missing one is created empty)");
    auto name = std::make_shared<std::string>();
    auto value = std::make_shared<std::string>();
    get->add_option("NAME", *name, "Value name")->required();
    get->callback([name] {
        std::string result;
        if (int32_t code = ReadSetting(kSettingsKey, *name, result, ""); code != 0) {
            std::cerr << "dovrelctl: reading " << *name << " failed (code " << code << ")\n";
            throw CLI::RuntimeError(1);
        }
        std::cout << result << std::endl;
    });
    auto* put = cmd->add_subcommand("put", "Write a value");
    put->add_option("NAME", *name, "Value name")->required();
    put->add_option("VALUE", *value, "Value")->required();
    put->callback([name, value] {
        if (int32_t code = WriteSetting(kSettingsKey, *name, *value); code != 0) {
            std::cerr << "dovrelctl: writing " << *name << " failed (code " << code << ")\n";
            throw CLI::RuntimeError(1);
        }
    });
}

}  // namespace

void addSettingsCommands(CLI::App& app) {
    addShow(app);
    addSet(app);
    addCipher(app, "encrypt", "E", "Encrypt a text with the program's key");
    addCipher(app, "decrypt", "D", "Decrypt a text with the program's key");
    addLocalize(app);
    addSetting(app);
}

}  // namespace dovrel::ctl
