// melvarin-cli settings dump | get FIELD | set FIELD VALUE
// Works on the current profile's settings file, as the GUI loads and saves it.
#include <ostream>
#include <string>
#include <vector>

#include "app/SettingsFields.h"
#include "app/SettingsFile.h"
#include "cli/CliCommand.h"

namespace melvarin {
namespace {

int usage(CliContext& ctx, const std::string& why) {
    *ctx.err << "melvarin-cli settings: " << why << "\n"
             << "usage: melvarin-cli settings dump | get FIELD | set FIELD VALUE\n";
    return kCliUsage;
}

// A field or value the command line got wrong: the reason alone.
int badArgument(CliContext& ctx, const std::string& why) {
    *ctx.err << "melvarin-cli settings: " << why << '\n';
    return kCliUsage;
}

int runSettings(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.empty()) return usage(ctx, "missing action");
    const std::string& action = args[0];
    const std::size_t wanted = action == "dump" ? 1 : action == "get" ? 2 : action == "set" ? 3 : 0;
    if (wanted == 0) return usage(ctx, "unknown action \"" + action + "\"");
    if (args.size() != wanted) return usage(ctx, "wrong number of arguments for \"" + action + "\"");

    const SettingsProfileList profiles = SettingsFile::loadProfileList();
    SettingsRecord record = SettingsFile::LoadSettings(profiles.currentFileName()).record;

    if (action == "dump") {
        for (const auto& field : SettingsFields::all())
            *ctx.out << field.name << '=' << SettingsFields::format(record, {&field, {}}) << '\n';
        return kCliDone;
    }

    std::string error;
    const auto ref = SettingsFields::resolve(args[1], error);
    if (!ref) return badArgument(ctx, error);
    if (action == "get") {
        *ctx.out << SettingsFields::format(record, *ref) << '\n';
        return kCliDone;
    }
    if (!SettingsFields::parse(record, *ref, args[2], error)) return badArgument(ctx, error);
    const SettingsSaveResult saved = SettingsFile::SaveCurrentSettings(record, profiles);
    if (!saved.ok) {
        *ctx.err << "melvarin-cli settings: " << saved.error << '\n';
        return kCliFailed;
    }
    return kCliDone;
}

MELVARIN_CLI_COMMAND("settings", "dump | get FIELD | set FIELD VALUE", runSettings);

}  // namespace
}  // namespace melvarin
