// uvt: show, check, lay out and convert variable tables from the command
// line, through the library's public exports only.
#include "commands.h"

#include <CLI/CLI.hpp>

#include <clocale>
#include <cstdio>
#include <iostream>

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

CLI::Option* addFrom(CLI::App* command, std::string& from) {
    return command
        ->add_option("--from", from, "Read FILE in this form instead of telling it from the content")
        ->check(CLI::IsMember({"fortran", "state", "text"}));
}

std::optional<Form> formOf(const std::string& name) { return name.empty() ? std::nullopt : formFromName(name); }

}  // namespace

int main(int argc, char** argv) {
    // Names and paths pass through the library's locale conversions.
    std::setlocale(LC_CTYPE, "");
#ifdef _WIN32
    // Forms go to the standard output byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
#endif

    CLI::App app{
        "uvt - show, check, lay out and convert variable tables.\n"
        "A table file is a FORTRAN function file, a saved-state string or the text form;\n"
        "the form is told from the content unless --from names it.",
        "uvt"};
    app.set_version_flag("--version", std::string("uvt ") + UVT_TOOL_VERSION);
    app.require_subcommand(1);
    app.footer(
        "Exit status: 0 done (tables complete), 1 a table is not complete, 2 a file cannot be read\n"
        "or written, or the command line is wrong.\n"
        "Run 'uvt COMMAND --help' for the options of a command.");

    std::string file;
    std::vector<std::string> files;
    std::string from;

    CLI::App* show = app.add_subcommand("show", "Print the table as the design grid shows it, with its incomplete rows");
    show->add_option("FILE", file, "Table file")->required();
    addFrom(show, from);

    CLI::App* check = app.add_subcommand(
        "check", "Check that every table is complete: one line per file or per incomplete row");
    check->add_option("FILE", files, "Table files")->required();
    addFrom(check, from);
    check->footer("Exit status: 0 all complete, 1 some table is not complete, 2 some file cannot be read.");

    CLI::App* layout = app.add_subcommand(
        "layout", "Bind the table to host arrays and print where every value goes");
    layout->add_option("FILE", file, "Table file")->required();
    addFrom(layout, from);
    std::vector<int32_t> counts(std::size(kHostCounts), 1);
    for (std::size_t i = 0; i < std::size(kHostCounts); ++i) {
        layout->add_option(kHostCounts[i].flag, counts[i],
                           std::string("The host's ") + kHostCounts[i].meaning + " (default 1)")
            ->check(CLI::NonNegativeNumber);
    }
    LayoutOptions layoutOptions;
    layout->add_option("--set", layoutOptions.settings,
                       "Set a value after binding, in the order given; NAME is a label such as N, X(2) or "
                       "S.(2).N. Integers set this way size the arrays that they dimension")
        ->type_name("NAME=VALUE")
        ->allow_extra_args(false);
    layout->add_flag("--tree", layoutOptions.tree, "Draw the layout tree (structures, arrays, elements)");
    layout->add_flag("--json", layoutOptions.json, "Print the same facts as JSON");
    layout->footer(
        "For every value: its label, type, IO, place in its host array (from 0), element number (from 1),\n"
        "input and output run-time rows (from 0), and value; then the sizes of the Integer, Real and\n"
        "Character arrays. Exit status 1 when the table is not complete (it cannot be bound).");

    std::string to;
    std::string output;
    CLI::App* convert = app.add_subcommand("convert", "Write the table in another form");
    convert->add_option("FILE", file, "Table file")->required();
    addFrom(convert, from);
    convert->add_option("--to", to, "The form to write")->required()->check(CLI::IsMember({"fortran", "state", "text"}));
    convert->add_option("-o,--output", output,
                        "Write to this file (replacing it) instead of the standard output. A FORTRAN function "
                        "is named after this file's name, up to its first '.' and at most 8 characters; "
                        "without -o it keeps the table's function name");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        app.exit(e);
        return kFailed;
    }

    const std::string& current = files.empty() ? file : std::string();
    try {
        if (show->parsed()) return runShow(file, formOf(from));
        if (check->parsed()) return runCheck(files, formOf(from));
        if (convert->parsed()) return runConvert(file, formOf(from), *formFromName(to), output);
        if (layout->parsed()) {
            for (std::size_t i = 0; i < std::size(kHostCounts); ++i) {
                layoutOptions.hostCounts[kHostCounts[i].code] = counts[i];
            }
            return runLayout(file, formOf(from), layoutOptions);
        }
    } catch (const ToolError& error) {
        std::cout.flush();
        reportError(current, error.what());
        return kFailed;
    } catch (const std::exception& error) {
        std::cout.flush();
        reportError(current, std::string("unexpected failure: ") + error.what());
        return kFailed;
    }
    return kFailed;
}
