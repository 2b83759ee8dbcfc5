#include "cli/CliCommand.h"

#include <algorithm>

namespace melvarin {
namespace {

std::vector<CliCommandInfo>& table() {
    static std::vector<CliCommandInfo> commands;
    return commands;
}

}  // namespace

std::optional<CliArgs> CliArgs::parse(const std::vector<std::string>& args,
                                      const std::set<std::string>& valueOptions,
                                      const std::set<std::string>& flags, std::string& error) {
    CliArgs out;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.rfind("--", 0) == 0) {
            std::string name = a.substr(2);
            std::optional<std::string> inlineValue;
            if (const auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
            if (valueOptions.count(name)) {
                if (inlineValue) {
                    out.values_[name] = *inlineValue;
                } else if (i + 1 < args.size()) {
                    out.values_[name] = args[++i];
                } else {
                    error = "option --" + name + " needs a value";
                    return std::nullopt;
                }
            } else if (flags.count(name) && !inlineValue) {
                out.flags_.insert(name);
            } else {
                error = "unknown option --" + name;
                return std::nullopt;
            }
        } else {
            out.positional_.push_back(a);
        }
    }
    return out;
}

std::optional<CliArgs> CliArgs::parseOptions(const std::string& command, const std::vector<std::string>& args,
                                             const std::set<std::string>& valueOptions,
                                             const std::set<std::string>& flags, std::ostream& err) {
    std::string error;
    auto parsed = parse(args, valueOptions, flags, error);
    if (parsed && !parsed->positional().empty()) {
        parsed.reset();
        error = "no arguments expected";
    }
    if (!parsed) err << "melvarin-cli " << command << ": " << error << '\n';
    return parsed;
}

std::optional<std::string> CliArgs::value(const std::string& name) const {
    const auto it = values_.find(name);
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

bool CliRegistry::add(CliCommandInfo info) {
    auto& t = table();
    t.push_back(std::move(info));
    std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return true;
}

const CliCommandInfo* CliRegistry::find(const std::string& name) {
    for (const auto& c : table())
        if (c.name == name) return &c;
    return nullptr;
}

const std::vector<CliCommandInfo>& CliRegistry::all() { return table(); }

}  // namespace melvarin
