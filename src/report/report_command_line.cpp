#include "report/report_command_line.h"

#include "report/report_options.h"

#include <algorithm>
#include <ostream>
#include <string_view>

#ifndef QA_TUTOR_VERSION
#define QA_TUTOR_VERSION "unknown"
#endif

namespace
{

constexpr std::string_view kProgram = "qa-tutor-report";
constexpr std::size_t kWidth = 80;

constexpr std::string_view kAbout =
    "qa-tutor-report: reads the record files of qa-tutor (Precalculus I) that students send "
    "and prints, per student and assignment, each run's questions answered, critiques, "
    "ratings, the questions rated 0 or 1, notes and first and last time stamp.\n"
    "A folder is read for its send files (send_*.txt); master and notes files are read when "
    "named. A ZIP archive (FILE.zip) is read as a folder, at any depth, without unpacking it; "
    "a member is told as ARCHIVE.zip:folder/send_MMDDName.txt. A copy suffix (\" (1)\", "
    "\"-1\") or a course site's prefix ending in \"_\", \" - \" or a blank is no part of a "
    "file's name. A record found in two of a student's files counts once. A record that "
    "cannot be read is told on standard error with its file and line; another .txt file in "
    "a folder or archive is told as skipped.\n"
    "With a class list (--roster), each file's student is found on it by name, and the "
    "summary, the page and the gradebook show every student on it, those who sent nothing "
    "too.\n";

constexpr std::string_view kExitStatus =
    "Exit status: 0 when everything was read (a file skipped for its name is no failure), 1 "
    "when a file, member or record was skipped, when no send file was found or the class "
    "list could not be read, 2 for a usage error.\n";

// Words wrapped to the width, from `column` on, each line after the first
// indented by `indent`.
std::string wrapped(std::string_view text, std::size_t column, std::size_t indent)
{
    std::string out;
    for (bool first = true; !text.empty(); first = false) {
        const std::size_t end = std::min(text.find(' '), text.size());
        const std::string_view word = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (!first && column + 1 + word.size() > kWidth) {
            out += '\n' + std::string(indent, ' ');
            column = indent;
        } else if (!first) {
            out += ' ';
            ++column;
        }
        out += word;
        column += word.size();
    }
    return out;
}

// Each line of `text` a paragraph, a blank line between two.
std::string paragraphs(std::string_view text)
{
    std::string out;
    for (std::size_t end; (end = text.find('\n')) != std::string_view::npos;) {
        out += (out.empty() ? "" : "\n") + wrapped(text.substr(0, end), 0, 0) + '\n';
        text.remove_prefix(end + 1);
    }
    return out;
}

std::string usage()
{
    std::string words;
    for (const ReportOption& option : reportOptions()) {
        words += '[' + std::string(option.name) +
                 (option.argument.empty() ? "" : '\x01' + std::string(option.argument)) + "] ";
    }
    words += "FILE_OR_FOLDER...";
    const std::string prefix = "Usage: " + std::string(kProgram) + ' ';
    std::string text = prefix + wrapped(words, prefix.size(), prefix.size()) + '\n';
    // An option and its argument stay on one line.
    for (char& c : text) {
        c = c == '\x01' ? ' ' : c;
    }
    return text;
}

std::string help()
{
    std::string text = usage() + '\n' + paragraphs(kAbout) + "\nOptions:\n";
    constexpr std::size_t kColumn = 24;
    const auto entry = [&](std::string_view name, std::string_view argument,
                           std::string_view what) {
        std::string head = "  " + std::string(name);
        if (!argument.empty()) {
            head += ' ' + std::string(argument);
        }
        head += std::string(head.size() + 2 > kColumn ? 2 : kColumn - head.size(), ' ');
        text += head + wrapped(what, head.size(), kColumn) + '\n';
    };
    for (const ReportOption& option : reportOptions()) {
        entry(option.name, option.argument, option.help);
    }
    entry("--help", "", "show this help and exit");
    entry("--version", "", "show the version and exit");
    return text + '\n' + paragraphs(kExitStatus);
}

int usageError(std::ostream& err, std::string_view what)
{
    err << kProgram << ": " << what << '\n'
        << usage() << "Try '" << kProgram << " --help' for more information.\n";
    return 2;
}

} // namespace

std::variant<ReportOptions, int> parseReportCommandLine(int argc, const char* const* argv,
                                                        std::ostream& out, std::ostream& err)
{
    ReportOptions options;
    bool optionsEnd = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const ReportOption* option = optionsEnd ? nullptr : reportOption(arg);
        if (optionsEnd || arg == "-" || !arg.starts_with('-')) {
            options.paths.emplace_back(arg);
        } else if (arg == "--") {
            optionsEnd = true;
        } else if (arg == "--help" && argc == 2) {
            out << help();
            return 0;
        } else if (arg == "--version" && argc == 2) {
            out << kProgram << ' ' << QA_TUTOR_VERSION << '\n';
            return 0;
        } else if (option && option->on) {
            options.*option->on = true;
        } else if (option) {
            if (i + 1 == argc || std::string_view(argv[i + 1]).empty()) {
                const std::string_view needs = option->argument == "FILE" ? "a file" : "a value";
                return usageError(err,
                                  "option '" + std::string(arg) + "' needs " + std::string(needs));
            }
            options.*option->text = argv[++i];
        } else {
            return usageError(err, "unexpected argument '" + std::string(arg) + "'");
        }
    }
    if (options.paths.empty()) {
        return usageError(err, "no file or folder to read");
    }
    if (const std::string conflict = optionsConflict(options); !conflict.empty()) {
        return usageError(err, conflict);
    }
    return options;
}
