// SPDX-License-Identifier: MIT
#include "Lint.h"

#include "document/Cp1251.h"
#include "project/ProjectChecks.h"

#include <ostream>

namespace tonvale {

namespace {

using namespace project;

constexpr const char* Usage =
    "Usage: tonvale-format --lint [--sound-dir DIR] [--format=json] [--disable=CHECK,...] PATH...\n"
    "Checks the scripts named by PATH (files, or folders searched for *.txt scripts and\n"
    "soundscapes_manifest.txt) as one project. Waves are looked up in DIR, else in a \"sound\"\n"
    "folder of a named folder or beside the manifest's folder; without one, waves are not looked up.\n"
    "Exit status: 0 no error found, 1 an error was found, 2 a usage error.\n"
    "Checks:\n";

struct LintOptions {
    std::string soundFolder;
    bool json = false;
    CheckOptions checks;
    std::vector<std::string> paths;
};

void printUsage(std::ostream& stream) {
    stream << Usage;
    for (const CheckInfo& info : Checks)
        stream << "  " << info.name << std::string(22 - info.name.size(), ' ')
               << (info.severity == Severity::Error ? "error    " : "warning  ") << info.summary << '\n';
}

bool disableChecks(std::string_view list, CheckOptions& checks, std::ostream& err) {
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = list.substr(0, comma);
        list = comma == std::string_view::npos ? std::string_view() : list.substr(comma + 1);
        if (name.empty())
            continue;
        const std::optional<Check> check = checkByName(name);
        if (!check) {
            err << "tonvale-format: unknown check \"" << name << "\"\n";
            return false;
        }
        checks.disable(*check);
    }
    return true;
}

// Reads the options; false on a usage error (already reported).
bool parseOptions(const std::vector<std::string>& args, LintOptions& options, std::ostream& err) {
    bool onlyPaths = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto valueOf = [&](std::string_view option, std::string& value) {
            if (arg == option && i + 1 < args.size()) {
                value = args[++i];
                return true;
            }
            if (arg.starts_with(std::string(option) + "=")) {
                value = arg.substr(option.size() + 1);
                return true;
            }
            return false;
        };
        std::string value;
        if (onlyPaths || !arg.starts_with("--")) {
            options.paths.push_back(arg);
        } else if (arg == "--") {
            onlyPaths = true;
        } else if (valueOf("--sound-dir", value)) {
            options.soundFolder = value;
        } else if (valueOf("--format", value)) {
            if (value != "json" && value != "text") {
                err << "tonvale-format: unknown format \"" << value << "\" (json or text)\n";
                return false;
            }
            options.json = value == "json";
        } else if (valueOf("--disable", value)) {
            if (!disableChecks(value, options.checks, err))
                return false;
        } else if (arg == "--sound-dir" || arg == "--format" || arg == "--disable") {
            err << "tonvale-format: option \"" << arg << "\" needs a value\n";
            return false;
        } else {
            err << "tonvale-format: unknown option \"" << arg << "\"\n";
            return false;
        }
    }
    if (options.paths.empty())
        err << "tonvale-format: no script or folder to check\n";
    return !options.paths.empty();
}

void appendJsonString(std::string& out, std::string_view text) {
    static const char* hex = "0123456789abcdef";
    out.push_back('"');
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(ch);
        } else if (c < 0x20) {
            out += "\\u00";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 0xF]);
        } else {
            out.push_back(ch);
        }
    }
    out.push_back('"');
}

void appendPlace(std::string& out, const std::string& file, SourcePosition at) {
    out += "\"file\":";
    appendJsonString(out, file);
    out += ",\"line\":" + std::to_string(at.line) + ",\"column\":" + std::to_string(at.column);
}

const char* severityName(Severity severity) {
    return severity == Severity::Error ? "error" : "warning";
}

std::string asJson(const std::vector<Problem>& problems, const ProblemCounts& counts, std::size_t scripts) {
    std::string out = "{\"problems\":[";
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const Problem& problem = problems[i];
        out += i == 0 ? "\n{" : ",\n{";
        appendPlace(out, problem.file, problem.at);
        out += std::string(",\"severity\":\"") + severityName(problem.severity) + "\",\"check\":\"";
        out += checkInfo(problem.check).name;
        out += "\",\"message\":";
        appendJsonString(out, problem.message);
        out += ",\"soundscape\":";
        appendJsonString(out, cp1251ToUtf8(problem.soundscape));
        out += ",\"related\":[";
        for (std::size_t r = 0; r < problem.related.size(); ++r) {
            out += r == 0 ? "{" : ",{";
            appendPlace(out, problem.related[r].file, problem.related[r].at);
            out += '}';
        }
        out += "]}";
    }
    out += "\n],\"errors\":" + std::to_string(counts.errors) +
           ",\"warnings\":" + std::to_string(counts.warnings) + ",\"scripts\":" + std::to_string(scripts) +
           "}\n";
    return out;
}

std::string asText(const std::vector<Problem>& problems) {
    std::string out;
    for (const Problem& problem : problems) {
        out += problem.file + ':' + std::to_string(problem.at.line) + ':' +
               std::to_string(problem.at.column) + ": " + severityName(problem.severity) + ": " +
               problem.message + " [";
        out += checkInfo(problem.check).name;
        out += "]\n";
    }
    return out;
}

} // namespace

int runLint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        printUsage(out);
        return LintClean;
    }
    LintOptions options;
    if (!parseOptions(args, options, err)) {
        printUsage(err);
        return LintUsage;
    }
    std::vector<std::string> missing;
    const Project project = projectFromPaths(options.paths, options.soundFolder, missing);
    for (const std::string& path : missing)
        err << "tonvale-format: " << path << ": no such file or folder\n";
    if (!missing.empty())
        return LintUsage;

    const ProjectIndex index = buildProjectIndex(project);
    const std::vector<Problem> problems = checkProject(project, index, options.checks);
    const ProblemCounts counts = countProblems(problems);
    const std::string text =
        options.json ? asJson(problems, counts, index.scripts().size()) : asText(problems);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (project.soundFolder.empty() && options.checks.enabled(Check::MissingWave))
        err << "tonvale-format: no sound folder: wave files were not looked up (see --sound-dir)\n";
    err << "tonvale-format: " << counts.errors << " error(s), " << counts.warnings << " warning(s) in "
        << index.scripts().size() << " script(s)\n";
    return counts.errors > 0 ? LintErrors : LintClean;
}

} // namespace tonvale
