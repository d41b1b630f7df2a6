// show, set, encrypt, decrypt, localize and setting: the administrator's
// view of the machine-wide settings.
#include <iostream>
#include <optional>

#include "app/ctl/commands.h"
#include "app/ctl/exit_codes.h"
#include "app/ctl/json_output.h"
#include "cipher/cipher_text.h"
#include "core/localize.h"
#include "core/run_state.h"
#include "core/settings.h"
#include "platform/text.h"
#include "core/load_settings.h"
#include "core/save_settings.h"
#include "core/read_setting.h"
#include "core/ui_font.h"
#include "core/settings_schema.h"

namespace dovrel::ctl {

void loadSettingsOrFail() {
    if (const auto problem = LoadSettingsAtStart()) failWith(*problem, kExitFileUnreadable);
}

void failWith(const std::string& text, int code) {
    std::cerr << "dovrelctl: " << text << std::endl;
    if (jsonOutput()) printJson({{"error", text}, {"exit_code", code}});
    throw CLI::RuntimeError(code);
}

namespace {

std::string masked(const std::string& secret) { return secret.empty() ? "" : "********"; }

void addShow(CLI::App& app) {
    auto* cmd = app.add_subcommand("show", "The four settings as start-up holds them (password masked)");
    auto reveal = std::make_shared<bool>(false);
    auto json = std::make_shared<bool>(false);
    cmd->add_flag("--reveal", *reveal, "Show the password in clear");
    cmd->add_flag("--json", *json, "Answer with one JSON object on stdout");
    cmd->callback([reveal, json] {
        setJsonOutput(*json);
        loadSettingsOrFail();
        const auto& s = runState().ConnectionSettings;
        if (*json) return printJson(settingsJson(s, *reveal));
        std::cout << "ServerName: " << s.ServerName << "\n"
                  << "DatabaseName: " << s.DatabaseName << "\n"
                  << "UserName: " << s.UserName << "\n"
                  << "UserPassword: " << (*reveal ? s.UserPassword : masked(s.UserPassword)) << std::endl;
    });
}

void addSet(CLI::App& app) {
    auto* cmd = app.add_subcommand("set", "Write settings as the save command does (credentials encrypted)");
    auto o = std::make_shared<SettingsToSave>();
    cmd->add_option("--server", o->server, "SQL Server host, host\\instance or host,port");
    cmd->add_option("--database", o->database, "Database name");
    cmd->add_option("--user", o->user, "SQL login");
    cmd->add_option("--password", o->password,
                    "SQL password (stored as given; one that begins with \"-\": --password=-x9)");
    cmd->add_flag("--plain", o->storeCredentialsInClear, "Store login and password in clear");
    cmd->callback([o] {
        const std::vector<SaveFailure> failures = SaveSettings(*o);
        for (const SaveFailure& failure : failures) {
            if (failure.code == kNotRestorable) {
                std::cerr << "dovrelctl: the " << (failure.valueName == value_name::User ? "login" : "password")
                          << " cannot be stored encrypted (the cipher cannot restore it); use --plain to store it "
                             "in clear\n";
            } else {
                std::cerr << "dovrelctl: writing " << failure.valueName << " failed (code " << failure.code << ": "
                          << StoreCodeReason(failure.code) << ")\n";
            }
        }
        if (!failures.empty())
            throw CLI::RuntimeError(failures.front().code == kNotRestorable ? kExitDataRefused : kExitFileUnreadable);
    });
}
void addCipher(CLI::App& app, const std::string& name, const std::string& mode, const std::string& help) {
    auto* cmd = app.add_subcommand(name, help);
    auto text = std::make_shared<std::string>();
    cmd->add_option("TEXT", *text, "The text (one that begins with \"-\" after \"--\")")->required();
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
        if (int32_t code = ReadSetting(kSettingsKey, *name, result, ""); code != 0)
            failWith("reading " + *name + " failed (code " + std::to_string(code) + ": " + StoreCodeReason(code) + ")",
                     kExitFileUnreadable);
        std::cout << result << std::endl;
    });
    auto* put = cmd->add_subcommand("put", "Write a value");
    put->add_option("NAME", *name, "Value name")->required();
    put->add_option("VALUE", *value, "Value")->required();
    put->callback([name, value] {
        if (int32_t code = WriteSetting(kSettingsKey, *name, *value); code != 0)
            failWith("writing " + *name + " failed (code " + std::to_string(code) + ": " + StoreCodeReason(code) + ")",
                     kExitFileUnreadable);
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
