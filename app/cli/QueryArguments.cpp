#include "app/cli/QueryArguments.h"

#include <optional>
#include <string_view>

#include "app/cli/NearestNames.h"

namespace cli {

namespace {

enum class Takes { Text, FormatName, Flag };

struct OptionSpec {
    const char* longName;
    char shortName;  // 0: none
    Takes takes;
    std::string QueryOptions::*text;
    bool QueryOptions::*flag;
    // What "needs ..." says when the value is missing.
    const char* needs;
    // Only a host may be empty: "" names this computer, as "." does.
    bool emptyAllowed;
};

constexpr OptionSpec kOptions[] = {
    {"host", 'H', Takes::Text, &QueryOptions::host, nullptr, "a value", true},
    {"root", 'r', Takes::Text, &QueryOptions::root, nullptr, "a value", false},
    {"format", 'f', Takes::FormatName, nullptr, nullptr, "a value", false},
    {"page", 0, Takes::Text, &QueryOptions::page, nullptr, "a name", false},
    {"csv", 0, Takes::Text, &QueryOptions::csvFile, nullptr, "a file", false},
    {"pages", 0, Takes::Flag, nullptr, &QueryOptions::listPages, nullptr, false},
    {"classes", 0, Takes::Flag, nullptr, &QueryOptions::listClasses, nullptr, false},
    {"help", 'h', Takes::Flag, nullptr, &QueryOptions::help, nullptr, false},
    {"version", 0, Takes::Flag, nullptr, &QueryOptions::version, nullptr, false},
};

const OptionSpec* FindLong(std::string_view name) {
    for (const OptionSpec& spec : kOptions)
        if (name == spec.longName) return &spec;
    return nullptr;
}

const OptionSpec* FindShort(char name) {
    for (const OptionSpec& spec : kOptions)
        if (spec.shortName && name == spec.shortName) return &spec;
    return nullptr;
}

std::string UnknownLong(const std::string& name) {
    std::vector<std::string> known;
    for (const OptionSpec& spec : kOptions) known.push_back(std::string("--") + spec.longName);
    const std::string hint = DidYouMean(NearestNames(name, known));
    return "unknown option " + name + (hint.empty() ? "" : " (" + hint + ")");
}

// Stores one option; spelled is the option as the user wrote it, for messages.
std::string Apply(const OptionSpec& spec, const std::string& spelled, const std::optional<std::string>& value,
                  QueryOptions& options) {
    switch (spec.takes) {
        case Takes::Flag:
            if (value) return spelled + " takes no value";
            options.*spec.flag = true;
            return {};
        case Takes::FormatName:
            if (!value || !ParseFormat(*value, options.format)) return spelled + " is one of table, csv, mof, json";
            options.formatGiven = true;
            return {};
        case Takes::Text:
            // An empty --root would read this machine instead of the tree asked for.
            if (!value || (value->empty() && !spec.emptyAllowed)) return spelled + " needs " + spec.needs;
            options.*spec.text = *value;
            return {};
    }
    return {};
}

// What the options together cannot mean.
std::string CheckCombination(const QueryOptions& options) {
    if (!options.listPages && !options.listClasses && options.page.empty() && options.queries.empty())
        return "no query given";
    if (!options.csvFile.empty() && options.page.empty()) return "--csv FILE goes with --page";
    if (!options.page.empty() && !options.queries.empty()) return "--page and a query do not go together";
    if (!options.page.empty() && options.format == Format::Mof) return "--page prints as table, csv or json";
    if (!options.csvFile.empty() && options.formatGiven && options.format != Format::Csv)
        return "--csv FILE writes CSV, whatever --format says";
    return {};
}

}  // namespace

std::string ParseQueryArguments(const std::vector<std::string>& args, QueryOptions& options) {
    for (size_t n = 0; n < args.size(); ++n) {
        const std::string& a = args[n];
        // The value after the option, when its own argument holds none.
        auto next = [&]() -> std::optional<std::string> {
            if (n + 1 >= args.size()) return std::nullopt;
            return args[++n];
        };
        std::string problem;
        if (a == "--") {
            options.queries.insert(options.queries.end(), args.begin() + static_cast<long>(n) + 1, args.end());
            break;
        } else if (a.rfind("--", 0) == 0) {
            const size_t equals = a.find('=');
            const std::string name = a.substr(0, equals);
            const OptionSpec* spec = FindLong(std::string_view(name).substr(2));
            if (!spec) return UnknownLong(name);
            std::optional<std::string> value;
            if (equals != std::string::npos)
                value = a.substr(equals + 1);
            else if (spec->takes != Takes::Flag)
                value = next();
            problem = Apply(*spec, name, value, options);
        } else if (a.size() > 1 && a[0] == '-') {
            const OptionSpec* spec = FindShort(a[1]);
            if (!spec || (spec->takes == Takes::Flag && a.size() > 2)) return "unknown option " + a;
            const std::string name = a.substr(0, 2);
            std::optional<std::string> value;
            if (spec->takes != Takes::Flag) value = a.size() > 2 ? std::optional(a.substr(2)) : next();
            problem = Apply(*spec, name, value, options);
        } else if (a == "-") {
            return "unknown option -";
        } else {
            options.queries.push_back(a);
        }
        if (!problem.empty()) return problem;
        if (options.help || options.version) return {};
    }
    return CheckCombination(options);
}

}  // namespace cli
