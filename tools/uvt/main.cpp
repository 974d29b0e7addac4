// uvt: show, check, compare, lay out and convert variable tables from the
// command line, through the library's public exports only.
#include "commands.h"
#include "input_output.h"
#include "memory_budget.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <iostream>
#include <limits>

#ifdef _WIN32
#  include <fcntl.h>
#  include <io.h>
#endif

#ifndef UVT_TOOL_VERSION
#  define UVT_TOOL_VERSION "0.0.0"
#endif

namespace {

using namespace uvt_tool;

struct HostCountOption {
    const char* flag;
    int32_t code;
    const char* meaning;
};

// Every host-supplied dimension of the code table has its option.
const HostCountOption kHostCounts[] = {
    {"--components", -2, "Number of Components"},
    {"--inlet", -13, "Number of Inlet Streams"},
    {"--material-inlet", -14, "Number of Material Inlet Streams"},
    {"--heat-inlet", -15, "Number of Heat Inlet Streams"},
    {"--work-inlet", -16, "Number of Work Inlet Streams"},
    {"--outlet", -23, "Number of Outlet Streams"},
    {"--material-outlet", -24, "Number of Material Outlet Streams"},
    {"--heat-outlet", -25, "Number of Heat Outlet Streams"},
    {"--work-outlet", -26, "Number of Work Outlet Streams"},
};

const char* const kExitStatus =
    "Exit status: 0 done and every table complete; 1 done, but a table is not complete, was read\n"
    "with cells refused or changed, or (diff) the tables differ; 2 an input could not be read,\n"
    "an output not written, or the command line is wrong.";

const std::vector<std::string> kForms = {"fortran", "state", "text", "json"};

CLI::Option* addFrom(CLI::App* command, std::string& from) {
    return command
        ->add_option("--from", from, "Read the input in this form instead of telling it from the content")
        ->transform(CLI::IsMember(kForms, CLI::ignore_case));
}

std::optional<Form> formOf(const std::string& name) { return name.empty() ? std::nullopt : formFromName(name); }

// The number of single-character edits between two words.
std::size_t editDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> previous(b.size() + 1), current(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
        }
        std::swap(previous, current);
    }
    return previous[b.size()];
}

// The known word nearest to a misspelt one, or nothing when none is near
// (at most a third of the word's letters wrong).
std::string closest(const std::string& word, const std::vector<std::string>& known) {
    std::string best;
    std::size_t bestDistance = std::max<std::size_t>(2, word.size() / 3) + 1;
    for (const std::string& candidate : known) {
        const std::size_t distance = editDistance(word, candidate);
        if (distance < bestDistance || (distance == bestDistance && candidate.rfind(word, 0) == 0)) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::vector<std::string> optionNames(const CLI::App* command) {
    std::vector<std::string> names;
    for (const CLI::Option* option : command->get_options()) {
        for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    }
    return names;
}

// A parse error said plainly, with the option or command that was meant
// when a word on the command line is near one.
int usageError(CLI::App& app, const CLI::ParseError& error, CLI::App* command) {
    std::string message = error.what();
    if (dynamic_cast<const CLI::ExtrasError*>(&error) != nullptr) {
        for (const std::string& extra : (command != nullptr ? command : &app)->remaining()) {
            if (extra.rfind("--", 0) != 0) continue;
            const std::string word = extra.substr(0, extra.find('='));
            const std::string meant = closest(word, optionNames(command != nullptr ? command : &app));
            message = "unknown option " + word + (meant.empty() ? "" : "; did you mean " + meant + "?");
            break;
        }
    }
    std::cerr << "uvt: " << message << '\n'
              << "Run 'uvt help" << (command != nullptr ? " " + command->get_name() : std::string()) << "' for more.\n";
    return kFailed;
}

}  // namespace

int main(int argc, char** argv) {
    // Names and paths pass through the library's locale conversions.
    std::setlocale(LC_CTYPE, "");
#ifdef _WIN32
    // Forms go to the standard output byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    CLI::App app{
        "uvt - show, check, compare, lay out and convert variable tables.\n"
        "A table file is a FORTRAN function file, a saved-state string, the text form or JSON;\n"
        "the form is told from its first line that is not blank unless --from names it.\n"
        "A file named - is the standard input (or, after -o, the standard output).",
        "uvt"};
    app.set_version_flag("--version", std::string("uvt ") + UVT_TOOL_VERSION);
    app.footer(std::string(kExitStatus) + "\nRun 'uvt help COMMAND' for the options of a command.");

    std::string file;
    std::vector<std::string> files;
    std::string from;
    bool json = false;

    CLI::App* show = app.add_subcommand("show", "Print the table as the design grid shows it, with its incomplete rows");
    show->add_option("FILE", file, "Table file, - for the standard input")->required();
    addFrom(show, from);
    show->add_flag("--json", json, "Print the same facts as JSON");

    CLI::App* check = app.add_subcommand(
        "check", "Check every table given: one line per file, per incomplete row and per cell read differently");
    check->add_option("FILE", files, "Table files, - for the standard input")->required();
    addFrom(check, from);
    check->add_flag("--json", json, "Print one JSON object per file");

    CLI::App* diff = app.add_subcommand(
        "diff", "Compare two tables in any forms: added, removed and changed rows by name");
    diff->add_option("FIRST", files, "Table files, - for the standard input (once)")->required()->expected(2);
    addFrom(diff, from);
    diff->add_flag("--json", json, "Print the differences as JSON");
    diff->footer("Exit status: 0 the same, 1 different (or read with cells refused or changed), 2 a file cannot be read.");

    CLI::App* layout = app.add_subcommand(
        "layout", "Bind the table to host arrays and print where every value goes");
    layout->add_option("FILE", file, "Table file, - for the standard input")->required();
    addFrom(layout, from);
    std::vector<int32_t> counts(std::size(kHostCounts), 1);
    for (std::size_t i = 0; i < std::size(kHostCounts); ++i) {
        layout->add_option(kHostCounts[i].flag, counts[i],
                           std::string("The host's ") + kHostCounts[i].meaning + ", 0 to 2147483647 (default 1)")
            ->check(CLI::Range(int32_t{0}, std::numeric_limits<int32_t>::max()));
    }
    LayoutOptions layoutOptions;
    layout->add_option("--set", layoutOptions.settings,
                       "Set a value after binding, in the order given; NAME is a label such as N, X(2) or "
                       "S.(2).N, in any case. Integers set this way size the arrays that they dimension")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    layout->add_flag("--tree", layoutOptions.tree, "Draw the layout tree (structures, arrays, elements)");
    layout->add_flag("--json", layoutOptions.json, "Print the same facts as JSON");
    std::string maxMemory = "2G";
    layout->add_option("--max-memory", maxMemory,
                       "The most memory the table's layout may take, in bytes or with a K, M or G suffix (default 2G)")
        ->type_name("SIZE");
    layout->footer(
        "For every value: its label, type, IO, place in its host array (from 0), element number (from 1),\n"
        "input and output run-time rows (from 0), and value; then the sizes of the Integer, Real and\n"
        "Character arrays. Exit status 1 when the table is not complete (it cannot be bound).");

    ConvertOptions convertOptions;
    std::string to;
    CLI::App* convert = app.add_subcommand("convert", "Write the table in another form");
    convert->add_option("FILE", file, "Table file, - for the standard input")->required();
    addFrom(convert, from);
    convert->add_option("--to", to, "The form to write")->required()->transform(CLI::IsMember(kForms, CLI::ignore_case));
    convert->add_option("-o,--output", convertOptions.output,
                        "Write to this file (replacing it) instead of the standard output; - is the standard output");
    convert->add_option("--name", convertOptions.functionName,
                        "The FORTRAN function's name: a letter, then letters, digits or underscores, at most 8. "
                        "Without it, the output file's name up to its first '.', or the table's own name");

    std::string helpTopic;
    CLI::App* help = app.add_subcommand("help", "Print the help of uvt or of one command");
    help->add_option("COMMAND", helpTopic, "A command");

    std::vector<std::string> commandNames;
    for (const CLI::App* command : app.get_subcommands({})) commandNames.push_back(command->get_name());

    // The first word names the command; a misspelt one is answered with
    // the nearest, before any of the command's options are looked at.
    if (argc < 2) {
        std::cerr << "uvt: a command is required: " << [&] {
            std::string list;
            for (const std::string& name : commandNames) list += (list.empty() ? "" : ", ") + name;
            return list;
        }() << "\nRun 'uvt help' for more.\n";
        return kFailed;
    }
    const std::string first = argv[1];
    if (first.empty() || first[0] != '-') {
        std::string lower = first;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
        if (std::find(commandNames.begin(), commandNames.end(), lower) == commandNames.end()) {
            const std::string meant = closest(first, commandNames);
            std::cerr << "uvt: unknown command " << first << (meant.empty() ? "" : "; did you mean " + meant + "?")
                      << "\nRun 'uvt help' for the commands.\n";
            return kFailed;
        }
        // The command itself is matched in any case.
        for (char* c = argv[1]; *c != '\0'; ++c) *c = static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }

    app.require_subcommand(1);
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        CLI::App* parsed = nullptr;
        for (CLI::App* command : app.get_subcommands({})) {
            if (command->parsed()) parsed = command;
        }
        return usageError(app, e, parsed);
    }

    if (help->parsed()) {
        if (helpTopic.empty()) {
            std::cout << app.get_formatter()->make_help(&app, "uvt", CLI::AppFormatMode::Normal);
        } else {
            CLI::App* topic = nullptr;
            for (CLI::App* command : app.get_subcommands({})) {
                if (command->check_name(helpTopic)) topic = command;
            }
            if (topic == nullptr) {
                const std::string meant = closest(helpTopic, commandNames);
                std::cerr << "uvt: unknown command " << helpTopic
                          << (meant.empty() ? "" : "; did you mean " + meant + "?") << '\n';
                return kFailed;
            }
            std::cout << topic->help("uvt");
        }
        try {
            finishStandardOutput();
        } catch (const ToolError& error) {
            reportError({}, error.what());
            return kFailed;
        }
        return kDone;
    }

    const std::optional<uint64_t> budget = parseMemorySize(maxMemory);
    if (!budget) {
        std::cerr << "uvt: --max-memory " << maxMemory
                  << ": give a size in bytes, or with a K, M or G suffix, such as 512M or 2G\n";
        return kFailed;
    }
    installMemoryBudget(*budget);

    const std::string current = files.empty() ? file : std::string();
    int status = kFailed;
    try {
        if (show->parsed()) status = runShow(file, formOf(from), json);
        if (check->parsed()) status = runCheck(files, formOf(from), json);
        if (diff->parsed()) status = runDiff(files[0], files[1], formOf(from), json);
        if (convert->parsed()) {
            convertOptions.to = *formFromName(to);
            status = runConvert(file, formOf(from), convertOptions);
        }
        if (layout->parsed()) {
            for (std::size_t i = 0; i < std::size(kHostCounts); ++i) {
                layoutOptions.hostCounts[kHostCounts[i].code] = counts[i];
            }
            status = runLayout(file, formOf(from), layoutOptions);
        }
        finishStandardOutput();
    } catch (const OutputError& error) {
        reportError({}, error.what());
        return kFailed;
    } catch (const ToolError& error) {
        std::cout.flush();
        reportError(current, error.what());
        return kFailed;
    } catch (const std::bad_alloc&) {
        std::cout.flush();
        reportError(current, "out of memory");
        return kFailed;
    } catch (const std::exception& error) {
        std::cout.flush();
        reportError(current, std::string("unexpected failure: ") + error.what());
        return kFailed;
    }
    return status;
}
