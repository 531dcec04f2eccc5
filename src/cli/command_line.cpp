#include "cli/command_line.h"

#include <algorithm>

namespace kv::cli {
namespace {

const Option* findOption(std::span<const Option> options, std::string_view name) {
    auto found =
        std::find_if(options.begin(), options.end(), [name](const Option& option) { return option.name == name; });
    return found == options.end() ? nullptr : &*found;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

class Parser {
public:
    Parser(std::span<const std::string> arguments, std::span<const Option> globalOptions,
           const SubcommandLookup& lookup)
        : arguments_(arguments), globalOptions_(globalOptions), lookup_(lookup) {}

    CommandLine parse() {
        for (next_ = 0; next_ < arguments_.size();) {
            const std::string& argument = arguments_[next_++];
            if (argument == "--help")
                line_.help = true;
            else if (argument.starts_with("--"))
                takeOption(argument);
            else if (!syntax_)
                takeSubcommand(argument);
            else
                takeArgument(argument);
        }
        requireWhatTheSubcommandNeeds();
        return line_;
    }

private:
    void takeSubcommand(const std::string& name) {
        syntax_ = lookup_(name);
        if (!syntax_) throw UsageError("unknown subcommand " + quoted(name));
        line_.subcommand = name;
    }

    void takeArgument(const std::string& argument) {
        const bool takesMore = !syntax_->arguments.empty() && syntax_->arguments.back().ends_with("...");
        if (line_.arguments.size() >= syntax_->arguments.size() && !takesMore)
            throw UsageError("unexpected argument " + quoted(argument));
        line_.arguments.push_back(argument);
    }

    void takeOption(const std::string& argument) {
        const std::size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        const Option* option = findOption(globalOptions_, name);
        if (!option && syntax_) option = findOption(syntax_->options, name);
        if (!option)
            throw UsageError(syntax_ ? std::string(syntax_->name) + " has no option " + name
                                     : "unknown option " + name);
        if (line_.has(name)) throw UsageError(name + " is given twice");

        if (option->kind != OptionKind::Value) {
            if (equals != std::string::npos) throw UsageError(name + " takes no value");
            line_.options[name];
        } else if (equals != std::string::npos) {
            line_.options[name] = argument.substr(equals + 1);
        } else {
            if (next_ == arguments_.size())
                throw UsageError(name + " needs a value (" + std::string(option->valueName) + ")");
            line_.options[name] = arguments_[next_++];
        }
    }

    void requireWhatTheSubcommandNeeds() const {
        if (line_.help) return;
        if (!syntax_) throw UsageError("no subcommand given");
        if (line_.arguments.size() < syntax_->arguments.size())
            throw UsageError(std::string(syntax_->name) + " needs " +
                             std::string(syntax_->arguments[line_.arguments.size()]));
        for (std::string_view required : syntax_->requiredOptions) {
            const Option* option = findOption(globalOptions_, required);
            if (!option) option = findOption(syntax_->options, required);
            if (!line_.has(required))
                throw UsageError(std::string(syntax_->name) + " needs " + std::string(required) + " " +
                                 std::string(option->valueName));
        }
    }

    std::span<const std::string> arguments_;
    std::span<const Option> globalOptions_;
    const SubcommandLookup& lookup_;
    const SubcommandSyntax* syntax_ = nullptr;
    std::size_t next_ = 0;
    CommandLine line_;
};

}  // namespace

std::optional<std::string> CommandLine::value(std::string_view option) const {
    auto found = options.find(option);
    if (found == options.end()) return std::nullopt;
    return found->second;
}

CommandLine parseCommandLine(std::span<const std::string> arguments, std::span<const Option> globalOptions,
                             const SubcommandLookup& subcommand) {
    return Parser(arguments, globalOptions, subcommand).parse();
}

}  // namespace kv::cli
