#pragma once
// The query tool's command line, read as getopt_long reads one: "--name
// value" and "--name=value", "-f json" and "-fjson", "--" before arguments
// that are all queries.
#include <string>
#include <vector>

#include "app/cli/InstanceFormat.h"

namespace cli {

struct QueryOptions {
    std::string host = ".";
    std::string root;
    std::vector<std::string> queries;
    std::string page;
    std::string csvFile;
    bool listPages = false;
    bool listClasses = false;
    bool help = false;
    bool version = false;
    Format format = Format::Table;
    // Whether --format was given, as --csv FILE takes only csv.
    bool formatGiven = false;
};

// The arguments after the program's name. Returns what is wrong with them,
// or empty when they are good. --help and --version end the reading: what
// follows them is not looked at.
std::string ParseQueryArguments(const std::vector<std::string>& args, QueryOptions& options);

}  // namespace cli
