// End-to-end tests of what the uvt program tells about the files it reads
// and writes: exit statuses, cells the reader refused or changed, broken
// and unreadable inputs, lost output, the standard streams, the options
// and their refusals, the JSON form and diff.
#include "tool_fixture.h"

#include "uvt.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>

#include <chrono>
#include <random>
#include <thread>

extern char** environ;

namespace {

using namespace uvt_tool_test;
using Json = nlohmann::json;

// ---------------------------------------------------------------------------
// Exit statuses: the same meaning for every command.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, EveryCommandExitsZeroOneOrTwoAlike) {
    struct Case {
        std::string file;
        int status;  // what every command answers
    };
    const std::vector<Case> cases = {
        {example("mixer.f"), 0},
        {data("nameless.txt"), 1},   // incomplete
        {data("badcells.f"), 1},     // complete, but cells were changed on reading
        {data("truncated.state"), 2},
        {data("missing.f"), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        EXPECT_EQ(run({"show", c.file}).status, c.status);
        EXPECT_EQ(run({"check", c.file}).status, c.status);
        EXPECT_EQ(run({"show", "--json", c.file}).status, c.status);
        EXPECT_EQ(run({"convert", c.file, "--to", "state"}).status, c.status);
        EXPECT_EQ(run({"diff", c.file, c.file}).status, c.status);
    }
    // An incomplete table is still written, and what is wrong is said.
    const Outcome r = run({"convert", data("nameless.txt"), "--to", "text", "-o", temp("out.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(fs::exists(temp("out.txt")));
    EXPECT_EQ(r.err, "uvt: " + data("nameless.txt") + ": not complete: row 2 (no name): Invalid variable name\n");
    // Usage errors are 2 as well.
    EXPECT_EQ(run({"show"}).status, 2);
    EXPECT_EQ(run({"convert", example("mixer.f"), "--to", "pdf"}).status, 2);
    EXPECT_EQ(run({}).status, 2);
}

TEST_F(ToolTest, HelpAndManPageStateTheSameExitStatuses) {
    const Outcome help = run({"--help"});
    ASSERT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Exit status: 0 done and every table complete; 1 done, but a table is not complete"),
              std::string::npos)
        << help.out;
    const std::string man = readAll(std::string(UVT_TOOL_SOURCES) + "/uvt.1");
    const std::string completion = readAll(std::string(UVT_TOOL_SOURCES) + "/uvt.bash-completion");
    for (const char* command : {"show", "check", "diff", "layout", "convert", "help"}) {
        SCOPED_TRACE(command);
        EXPECT_NE(help.out.find(std::string("  ") + command), std::string::npos);
        EXPECT_NE(man.find(std::string(".B ") + command), std::string::npos);
        EXPECT_NE(completion.find(command), std::string::npos);
    }
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n"}) EXPECT_NE(man.find(status), std::string::npos) << status;
}

// ---------------------------------------------------------------------------
// Cells that the reader refused or changed, with their places in the file.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, CheckGivesThePlaceWhereAFortranFileCannotBeRead) {
    const std::string unreadable =
        "not a readable FORTRAN table function: it needs INTEGER FUNCTION, a DATA IVARIABLES list of well-formed "
        "rows and a DATA IVRSN statement; ";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"baddim.f", "line 3: the dimension of a row is not a number; the library stops reading here"},
        {"lowercase.f",
         "line 1: the keyword FUNCTION in lower case: the library takes keywords in upper case only and passes over "
         "it"},
        // A "!" comment after a row: the library reads its text as the next row.
        {"rowcomment.f",
         "line 5: \"!\" in column 62 begins a comment for FORTRAN compilers; the library reads the rest of the line, "
         "without its blanks, as row data of the DATA IVARIABLES list; line 5: the dimension of a row is not a number; "
         "the library stops reading here"},
    };
    for (const auto& [file, place] : cases) {
        SCOPED_TRACE(file);
        const Outcome r = run({"check", data(file)});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "uvt: " + data(file) + ": " + unreadable + place + "\n");
    }
}

// ---------------------------------------------------------------------------
// Cells that the reader refused or changed, with their places in the file, and
// the FORTRAN text that compilers read differently.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, CheckGivesThePlaceOfEveryCellReadDifferently) {
    struct Case {
        std::string file;
        std::vector<std::string> lines;  // check's output, after "FILE: "
    };
    const std::vector<Case> cases = {
        // IO 7, type 9 and dimension -99 on row A: the grid keeps its defaults.
        {"badcells.f",
         {"line 5: row 1 type: the file holds \"9\"; the row has \"Real\"",
          "line 5: row 1 dimension: the file holds \"-99\", refused with \"Invalid dimension. Dimension "
          "unchanged.\"; the row has \"Scalar\"",
          "line 5: row 1 IO: the file holds \"7\", refused with \"Invalid IO, setting to default (Input Only)\"; "
          "the row has \"Input Only\"",
          "complete, 2 rows"}},
        // The same cells in a saved state, each at the byte where its field
        // begins, and a second A that the grid refuses.
        {"badcells.state",
         {"byte 24: row 1 type: the file holds \"9\"; the row has \"Real\"",
          "byte 26: row 1 dimension: the file holds \"-99\", refused with \"Invalid dimension. Dimension "
          "unchanged.\"; the row has \"Scalar\"",
          "byte 32: row 1 IO: the file holds \"7\", refused with \"Invalid IO, setting to default (Input Only)\"; "
          "the row has \"Input Only\"",
          "byte 36: row 2 name: the file holds \"A\", refused with \"Variable already exists\"; the row has nothing",
          "row 2 (no name): Invalid variable name"}},
        // The text form takes records as they are; a dimension naming no row shows as Scalar.
        {"badcells.txt", {"line 3: the table reads dimension -1 where the file holds -99", "complete, 2 rows"}},
        // Columns 73 to 80 are not part of a FORTRAN statement, but the
        // library reads them: every line of this file has a sequence field.
        {"sequence.f",
         {"line 1: text in columns 73 and after \"MIX00000\", which FORTRAN compilers ignore, is read by the "
          "library as part of the statement",
          "line 2: text in columns 73 and after \"MIX00010\", which FORTRAN compilers ignore, is read by the "
          "library as part of the statement"}},
        // A function name longer than the library keeps, in either form, and
        // a time stamp with letters O for zeros.
        {"longname.state",
         {"byte 19: function name: the file holds \"HEATEXCHANGERNETWORK\", longer than the 15 characters the "
          "library keeps; the table has \"HEATEXCHANGERNE\"",
          "complete, 1 row"}},
        {"stamp.state",
         {"byte 5: time stamp: the file holds \"17OO000000\", which the library does not read as written (it counts "
          "a byte other than a digit as 0 and wraps past 32 bits); the table has \"1700000000\"",
          "complete, 1 row"}},
        // "!" comments on the function line and after the list, which the
        // library reads as text to search.
        {"comments.f",
         {"line 1: function name: the file holds \"CONDENSER\", longer than the 8 characters the library keeps; the "
          "table has \"CONDENSE\"",
          "line 1: \"!\" in column 52 begins a comment for FORTRAN compilers; the library reads the rest of the line, "
          "without its blanks, as statement text in which it looks for its keywords",
          "line 6: \"!\" in column 62 begins a comment for FORTRAN compilers; the library reads the rest of the line, "
          "without its blanks, as statement text in which it looks for its keywords",
          "complete, 2 rows"}},
        // A 20-character name and a duplicate, each refused on its line.
        {"badnames.f",
         {"line 5: row 1 name: the file holds \"LONGNAMEOFTWENTYC\", refused with \"Variable names are limited to "
          "16 characters. Please check the variable and enter again.\"; the row has nothing",
          "line 7: row 3 name: the file holds \"A\", refused with \"Variable already exists\"; the row has nothing",
          "row 1 (no name): Invalid variable name"}},
        // Comment markers other than "C" and a tab-form row line: the row
        // line loses its first six characters, so the table loads empty.
        {"markers.f",
         {"line 1: \"c\" in column 1 marks a comment for FORTRAN compilers; the library reads the line from column 7 "
          "as a statement (only \"C\" marks a comment for it)",
          "line 2: \"*\" in column 1 marks a comment for FORTRAN compilers; the library reads the line from column 7 "
          "as a statement (only \"C\" marks a comment for it)",
          "line 3: \"!\" in column 1 marks a comment for FORTRAN compilers; the library reads the line from column 7 "
          "as a statement (only \"C\" marks a comment for it)",
          "line 8: a tab in columns 1 to 6: FORTRAN compilers start the statement after it, the library counts it as "
          "one column and skips the line's first six characters",
          "Empty form"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Outcome r = run({"check", data(c.file)});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "");
        std::istringstream out(r.out);
        std::string got;
        std::size_t n = 0;
        for (; std::getline(out, got) && n < c.lines.size(); ++n) EXPECT_EQ(got, data(c.file) + ": " + c.lines[n]);
        EXPECT_EQ(n, c.lines.size());
    }
    // show lists the same under its own heading.
    const Outcome r = run({"show", data("badcells.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Refused or changed on reading:\n  line 3: the table reads dimension -1 where the file holds -99\n"),
              std::string::npos)
        << r.out;
    const Outcome cut = run({"show", data("longname.state")});
    EXPECT_EQ(cut.status, 1);
    EXPECT_EQ(line(cut.out, "Function:"), "Function:   HEATEXCHANGERNE");
    EXPECT_NE(cut.out.find("Refused or changed on reading:\n  byte 19: function name: the file holds "
                           "\"HEATEXCHANGERNETWORK\""),
              std::string::npos)
        << cut.out;
}

TEST_F(ToolTest, FormIsToldByTheFirstLineThatIsNotBlank) {
    struct Case {
        std::string bytes;
        std::string function;
    };
    const std::vector<Case> cases = {
        {"\n\n" + readAll(example("mixer.f")), "MIXER"},                   // FORTRAN after empty lines
        {"   \n" + readAll(example("splitter.state")), "SPLITTER"},        // state after a blank line
        {"COLUMN 1 1\n0 A 0 -1 0 1 -50\n", "COLUMN"},                      // text form without its empty line
        {"\n  {\"function\": \"J\", \"timeStamp\": 5, \"rows\": []}", "J"},  // JSON
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.function);
        writeAll(temp("t"), c.bytes);
        const Outcome r = run({"show", temp("t")});
        EXPECT_EQ(line(r.out, "Function:"), "Function:   " + c.function) << r.err;
    }
}

// ---------------------------------------------------------------------------
// Inputs that cannot be read, outputs that cannot be written.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, DirectoriesAndUnreadableFilesAreNamedAndCheckGoesOn) {
    writeAll(temp("locked.f"), readAll(example("mixer.f")));
    ::chmod(temp("locked.f").c_str(), 0);
    const bool unreadable = !std::ifstream(temp("locked.f")).good();  // not so for root
    const Outcome r = run({"check", example("host"), temp("locked.f"), example("mixer.f")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, (unreadable ? "" : temp("locked.f") + ": complete, 7 rows\n") + example("mixer.f") +
                         ": complete, 7 rows\n");
    EXPECT_EQ(r.err, "uvt: " + example("host") + ": is a directory, not a table file\n" +
                         (unreadable ? "uvt: " + temp("locked.f") + ": cannot open: Permission denied\n" : ""));
    const Outcome show = run({"show", dir_.string()});
    EXPECT_EQ(show.status, 2);
    EXPECT_EQ(show.err, "uvt: " + dir_.string() + ": is a directory, not a table file\n");
}

TEST_F(ToolTest, LostOutputIsAnError) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"show", example("mixer.f")},
             {"check", example("mixer.f")},
             {"convert", example("mixer.f"), "--to", "fortran"},
             {"layout", example("mixer.f"), "--json"},
             {"help"}}) {
        SCOPED_TRACE(args[0]);
        const Outcome r = run(args, std::nullopt, true);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "uvt: cannot write to the standard output: No space left on device\n");
    }
    const Outcome r = run({"convert", example("mixer.f"), "--to", "state", "-o", dir_.string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + dir_.string() + ": is a directory, not a file to write\n");
}

// ---------------------------------------------------------------------------
// The standard streams, and no copies left in the temporary directory.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, DashIsTheStandardInputAndOutput) {
    Outcome r = run({"convert", "-", "--to", "state", "-o", "-"}, readAll(example("mixer.f")));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string state = r.out;
    r = run({"convert", example("mixer.f"), "--to", "state"});
    EXPECT_EQ(r.out, state);
    r = run({"show", "-"}, state);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(line(r.out, "Function:"), "Function:   MIXER");
    r = run({"check", "-"}, "garbage");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("uvt: (standard input): not a table"), std::string::npos) << r.err;
}

// A FORTRAN function of `rows` rows with names AAAA, AAAB, ...: a big input
// the library takes a while to read.
std::string bigFortran(int rows) {
    std::string text = "      INTEGER FUNCTION BIG(NVARS,ICOL,IROW)\n      DATA IVARIABLES/\n";
    for (int r = 0; r < rows; ++r) {
        std::string name(4, 'A');
        for (int i = 3, rest = r; i >= 0; --i, rest /= 26) {
            name[static_cast<std::size_t>(i)] = static_cast<char>('A' + rest % 26);
        }
        text.append("     1  4H").append(name).append(",  4H    ,  4H    ,  4H    ,  1,  -1,  0,  1");
        text.append(r + 1 == rows ? "/\n" : ",\n");
    }
    return text + "      DATA IVRSN/1700000000/\n      END\n";
}

// Whether a file stands in a directory in `dir`, as a temporary copy does.
bool holdsTemporaryFile(const fs::path& dir) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error)) {
        if (!entry.is_directory(error)) return true;
        for (const auto& inner : fs::directory_iterator(entry.path(), error)) {
            (void)inner;
            return true;
        }
    }
    return false;
}

// Runs `uvt check FILE` with TMPDIR=tmp and the input from `input`, given
// as the file "-" on the standard input or through the FIFO `fifo`, and
// gives its wait status. With a signal, it is sent as soon as the
// temporary copy exists (polled, not slept for); the run may have ended
// before that.
int checkThroughCopy(const fs::path& tmp, const std::string& input, const std::optional<fs::path>& fifo,
                     int signal) {
    const fs::path inputFile = tmp.parent_path() / "input.f";
    writeAll(inputFile, input);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!fifo) posix_spawn_file_actions_addopen(&actions, 0, inputFile.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> environment{"TMPDIR=" + tmp.string()};
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::string(*e).rfind("TMPDIR=", 0) != 0) environment.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (std::string& e : environment) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string program = UVT_TOOL, command = "check", file = fifo ? fifo->string() : "-";
    char* argv[] = {program.data(), command.data(), file.data(), nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    if (spawned != 0) return -1;
    if (fifo) {
        // Opening blocks until the tool opens its end; it reads all before
        // it copies.
        std::ofstream(*fifo, std::ios::binary) << input;
    }
    int status = 0;
    if (signal == 0) {
        ::waitpid(pid, &status, 0);
        return status;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (!holdsTemporaryFile(tmp)) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return status;
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "no temporary copy appeared";
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return status;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ::kill(pid, signal);
    ::waitpid(pid, &status, 0);
    return status;
}

TEST_F(ToolTest, TemporaryFilesGoOnEveryPath) {
    const fs::path tmp = dir_ / "tmp";
    fs::create_directories(tmp);
    const_cast<std::string&>(environment_) = "TMPDIR=" + quote(tmp.string()) + " ";
    // A file read in place needs no copy; the standard input does, and a
    // FORTRAN function is always written through one.
    EXPECT_EQ(run({"check", example("mixer.f"), data("noversion.f")}).status, 2);
    EXPECT_EQ(run({"check", "-"}, readAll(example("mixer.f"))).status, 0);
    EXPECT_EQ(run({"check", "-"}, readAll(data("noversion.f"))).status, 2);
    EXPECT_EQ(run({"convert", example("mixer.f"), "--to", "fortran"}).status, 0);
    EXPECT_TRUE(fs::is_empty(tmp));
    // A FIFO gives its bytes once, to the tool: the library reads a copy.
    const fs::path fifo = dir_ / "table.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int status = checkThroughCopy(tmp, readAll(example("mixer.f")), fifo, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(fs::is_empty(tmp));
}

TEST_F(ToolTest, InterruptedCheckLeavesNoTemporaryCopy) {
    // The standard input and a FIFO need a copy for the library to read;
    // whichever signal ends the run, the copy goes with it, and the tool
    // dies of that signal, so that a shell reports 128 + its number.
    const fs::path tmp = dir_ / "tmp";
    fs::create_directories(tmp);
    const fs::path fifo = dir_ / "table.fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        const char* what;
        std::optional<fs::path> fifo;
        int signal;
    };
    for (const Case& c : {Case{"standard input, SIGINT", std::nullopt, SIGINT},
                          Case{"standard input, SIGTERM", std::nullopt, SIGTERM},
                          Case{"FIFO, SIGINT", fifo, SIGINT}, Case{"FIFO, SIGTERM", fifo, SIGTERM}}) {
        SCOPED_TRACE(c.what);
        // A run that ends before the signal reaches it proves nothing: the
        // input grows until the signal comes in the middle of the work.
        bool interrupted = false;
        for (int rows = 2000; rows <= 64000 && !interrupted; rows *= 2) {
            const int status = checkThroughCopy(tmp, bigFortran(rows), c.fifo, c.signal);
            interrupted = !WIFEXITED(status);
            if (interrupted) {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.signal) << status;
            }
            EXPECT_TRUE(fs::is_empty(tmp)) << rows << " rows";
            fs::remove_all(tmp);
            fs::create_directories(tmp);
        }
        EXPECT_TRUE(interrupted);
    }
}

// ---------------------------------------------------------------------------
// Options.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, OptionsAreRefusedPlainlyWithSuggestions) {
    struct Case {
        std::vector<std::string> args;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"layout", example("mixer.f"), "--components", "-1"},
         "uvt: --components: Value -1 not in range 0 to 2147483647\nRun 'uvt help layout' for more.\n"},
        {{"shwo", example("mixer.f")}, "uvt: unknown command shwo; did you mean show?\nRun 'uvt help' for the commands.\n"},
        {{"convrt"}, "uvt: unknown command convrt; did you mean convert?\nRun 'uvt help' for the commands.\n"},
        {{"frobnicate"}, "uvt: unknown command frobnicate\nRun 'uvt help' for the commands.\n"},
        {{"layout", example("mixer.f"), "--compnents", "3"},
         "uvt: unknown option --compnents; did you mean --components?\nRun 'uvt help layout' for more.\n"},
        {{"help", "lay"}, "uvt: unknown command lay; did you mean layout?\n"},
        {{"layout", example("mixer.f"), "--max-memory", "2T"},
         "uvt: --max-memory 2T: give a size in bytes, or with a K, M or G suffix, such as 512M or 2G\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args[0]);
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.err);
    }
}

TEST_F(ToolTest, HelpCommandVersionAndNamesInAnyCase) {
    Outcome r = run({"help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: uvt [OPTIONS] SUBCOMMAND"), std::string::npos) << r.out;
    r = run({"help", "diff"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Usage: uvt diff"), std::string::npos) << r.out;
    r = run({"--version"});
    EXPECT_EQ(r.out, std::string("uvt ") + UVT_VERSION + "\n");
    r = run({"SHOW", example("column.txt")});
    EXPECT_EQ(r.status, 0) << r.err;
    r = run({"layout", example("column.txt"), "--set", "nstage=2", "--set", "Tstage(2)=1.5"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("TSTAGE(2)        Real       Output Only      1        2       -        1  1.5"),
              std::string::npos)
        << r.out;
    r = run({"convert", example("column.txt"), "--to", "JSON"});
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(ToolTest, FortranFunctionNamesFollowTheCompilersRule) {
    const std::string rule =
        "a FORTRAN function name is a letter, then letters, digits or underscores, at most 8 characters";
    struct Case {
        std::vector<std::string> args;
        std::string err;  // empty: accepted
        std::string function;
    };
    const std::vector<Case> cases = {
        {{"-o", temp("my-mixer.f")}, "the function name my-mixer taken from -o " + temp("my-mixer.f") + ": " + rule + "; give one with --name NAME", ""},
        {{"-o", temp("2phase.f")}, "the function name 2phase taken from -o " + temp("2phase.f") + ": " + rule + "; give one with --name NAME", ""},
        {{"-o", temp("c\xc3\xb6lumn.f")}, "the function name c\xc3\xb6lumn taken from -o " + temp("c\xc3\xb6lumn.f") + ": " + rule + "; give one with --name NAME", ""},
        {{"--name", "toolongname"}, "--name toolongname: " + rule, ""},
        {{"--name", "_x"}, "--name _x: " + rule, ""},
        {{"-o", temp("my-mixer.f"), "--name", "my_mixer"}, "", "MY_MIXER"},
        {{"--name", "mix2"}, "", "MIX2"},
        {{}, "", "MIXER"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"convert", example("mixer.f"), "--to", "fortran"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(args.back());
        const Outcome r = run(args);
        if (!c.err.empty()) {
            EXPECT_EQ(r.status, 2);
            EXPECT_EQ(r.err, "uvt: " + example("mixer.f") + ": " + c.err + "\n");
            continue;
        }
        EXPECT_EQ(r.status, 0) << r.err;
        const auto o = std::find(args.begin(), args.end(), "-o");
        const std::string written = o != args.end() ? readAll(*(o + 1)) : r.out;
        EXPECT_EQ(line(written, "      INTEGER FUNCTION"), "      INTEGER FUNCTION " + c.function + "(NVARS,ICOL,IROW)");
    }
}

// ---------------------------------------------------------------------------
// layout: memory in budget.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, LayoutKeepsToItsMemoryBudget) {
    Outcome r = run({"layout", example("mixer.f"), "--components", "2000000000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + example("mixer.f") + ": the layout needs more memory than the budget of 2G (--max-memory)\n");
    r = run({"layout", example("mixer.f"), "--components", "20000", "--max-memory", "1M"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + example("mixer.f") + ": the layout needs more memory than the budget of 1M (--max-memory)\n");
    // The library's own blocks count as well: an Integer set to a large
    // count sizes its arrays only once the table is bound.
    r = run({"layout", example("column.txt"), "--set", "NSTAGE=2000000", "--max-memory", "4M"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("the layout needs more memory than the budget of 4M (--max-memory)"), std::string::npos) << r.err;
    r = run({"layout", example("mixer.f"), "--components", "20000", "--max-memory", "64M"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "Array sizes:"), "Array sizes:   Integer 1, Real 40003, Character 1");
}

// ---------------------------------------------------------------------------
// JSON.
// ---------------------------------------------------------------------------
TEST_F(ToolTest, JsonRefusalsNameTheirPath) {
    const Outcome r = run({"check", "--json", data("badcells.json")});
    EXPECT_EQ(r.status, 1);
    const Json out = Json::parse(r.out);
    ASSERT_EQ(out.size(), 1u);
    std::map<std::string, std::string> notices;
    for (const Json& notice : out[0]["notices"]) notices[notice["position"]] = notice["message"];
    const std::map<std::string, std::string> expected = {
        {"rows[2].unit", "not part of a row; ignored"},
        {"rows[1].name", "\"a\": Variable already exists"},
        {"rows[1].type", "\"Number\": Invalid type. Type will remain unchanged."},
        {"rows[2].name", "\"2PHASE\": Variable name must begin with a letter. Please check the variable and enter again."},
        {"rows[1].dimension", "\"Number of Pumps\": Invalid dimension. Dimension unchanged."},
        {"rows[1].depth", "\"9\": Invalid depth. Depth must be between 0 and 8. Setting depth to default value"},
        {"rows[1].io", "\"Both\": Invalid IO, setting to default (Input Only)"},
    };
    EXPECT_EQ(notices, expected);
    EXPECT_EQ(out[0]["complete"], false);
    EXPECT_EQ(out[0]["rows"], 3);

    struct Broken {
        std::string json;
        std::string message;
    };
    const std::vector<Broken> broken = {
        {"{\"rows\": 3}", "rows: must be a list of rows"},
        {"{\"rows\": [{\"name\": 5}]}", "rows[0].name: must be a text"},
        {"{\"timeStamp\": 1e3, \"rows\": []}", "timeStamp: must be a whole number"},
        {"{\"timeStamp\": 4294967296, \"rows\": []}", "timeStamp: must lie from -2147483648 to 2147483647"},
        {"{\"function\": \"A B\", \"rows\": []}", "function: blanks and control characters cannot be part of a function name"},
        {"{\"rows\": [", "not valid JSON: parse error at line 1, column 11: syntax error while parsing value - unexpected end of input; expected '[', '{', or a literal"},
    };
    for (const Broken& b : broken) {
        writeAll(temp("b.json"), b.json);
        const Outcome e = run({"show", "--from", "json", temp("b.json")});
        EXPECT_EQ(e.status, 2);
        EXPECT_EQ(e.err, "uvt: " + temp("b.json") + ": " + b.message + "\n");
    }
}

TEST_F(ToolTest, JsonKeepsNaNInfinitiesAndAnyBytesApart) {
    Outcome r = run({"layout", example("mixer.f"), "--json", "--set", "TEMP=nan", "--set", "PRES=inf", "--set",
                     "DUTY=-inf", "--set", "TAG=\xff\n\x01"});
    ASSERT_EQ(r.status, 0) << r.err;
    const Json out = Json::parse(r.out);
    std::map<std::string, Json> values;
    for (const Json& value : out["values"]) values[value["label"]] = value["value"];
    EXPECT_EQ(values["TEMP"], "NaN");
    EXPECT_EQ(values["PRES"], "Infinity");
    EXPECT_EQ(values["DUTY"], "-Infinity");
    EXPECT_EQ(values["FEEDZ(1)"], nullptr);
    EXPECT_EQ(values["TAG"], "\xc3\xbf\n\x01");  // the byte FF as the character U+00FF
    EXPECT_NE(r.out.find("\"\\u00ff\\n\\u0001\""), std::string::npos);
    // The text table keeps the value on its line.
    r = run({"layout", example("mixer.f"), "--set", "TAG=a\nb"});
    EXPECT_EQ(line(r.out, "TAG"), "TAG       Character  Input Only            0        1       4        -  \"a\\nb\"");
}

TEST_F(ToolTest, ShowAndCheckPrintJson) {
    Outcome r = run({"show", "--json", example("column.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    Json out = Json::parse(r.out);
    EXPECT_EQ(out["function"], "COLUMN");
    EXPECT_EQ(out["timeStamp"], 1796861260);
    EXPECT_EQ(out["complete"], true);
    EXPECT_EQ(out["rows"][4], Json::parse(R"({"name": "EFF", "type": "Real", "dimension": "Scalar", "depth": 1, "io": "Input Only"})"));
    r = run({"check", "--json", data("nameless.txt"), data("missing.f")});
    EXPECT_EQ(r.status, 2);
    out = Json::parse(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0]["problems"][0], Json::parse(R"({"row": 2, "name": "", "message": "Invalid variable name"})"));
    EXPECT_EQ(out[1]["error"], "cannot open: No such file or directory");
}

// Every form written and read again, FORTRAN to JSON to the saved state to
// the text form to FORTRAN, gives the FORTRAN file back byte for byte.
void expectRoundTrip(const ToolTest& test, const std::function<Outcome(const std::vector<std::string>&,
                                                                        const std::optional<std::string>&)>& run,
                     const std::string& fortran, const std::string& name) {
    std::string bytes = fortran;
    for (const char* form : {"json", "state", "text"}) {
        const Outcome r = run({"convert", "-", "--to", form}, bytes);
        ASSERT_EQ(r.status, 0) << form << ": " << r.err;
        bytes = r.out;
    }
    const Outcome r = run({"convert", "-", "--to", "fortran", "--name", name}, bytes);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, fortran);
    (void)test;
}

TEST_F(ToolTest, RoundTripThroughEveryFormIsExact) {
    auto runner = [this](const std::vector<std::string>& args, const std::optional<std::string>& input) {
        return run(args, input);
    };
    for (const auto& [file, name] : std::vector<std::pair<std::string, std::string>>{
             {"mixer.f", "MIXER"}, {"column.txt", "COLUMN"}, {"splitter.state", "SPLITTER"}}) {
        SCOPED_TRACE(file);
        const Outcome f = run({"convert", example(file), "--to", "fortran"});
        ASSERT_EQ(f.status, 0) << f.err;
        expectRoundTrip(*this, runner, f.out, name);
    }
    // Generated tables: rows of every type, host and Integer dimensions,
    // structures to depth 3, in the text form.
    std::mt19937 random(15);
    const int hostCodes[] = {-1, -1, -2, -13, -14, -15, -16, -23, -24, -25, -26};
    for (int table = 0; table < 4; ++table) {
        SCOPED_TRACE(table);
        const int rows = 3 + static_cast<int>(random() % 12);
        std::string text = "\nGEN" + std::to_string(table) + " " + std::to_string(1700000000 + table) + " " +
                           std::to_string(rows) + "\n";
        std::vector<int> integers, depths, types;
        for (int r = 0; r < rows; ++r) {
            int depth = 0;
            if (r > 0 && types[r - 1] == 3 && depths[r - 1] < 3) depth = depths[r - 1] + 1;
            else if (r > 0 && random() % 2 == 0) depth = depths[r - 1];
            const int type = random() % 4 == 0 ? 3 : static_cast<int>(random() % 3);
            int dimension = hostCodes[random() % std::size(hostCodes)];
            if (!integers.empty() && random() % 4 == 0) dimension = integers[random() % integers.size()];
            // The parent is the nearest earlier Structure row one level up.
            int parent = -50;
            for (int p = r - 1; p >= 0 && depth > 0; --p) {
                if (depths[p] == depth - 1) {
                    parent = types[p] == 3 ? p : -50;
                    break;
                }
            }
            if (depth > 0 && parent == -50) depth = 0;
            if (type == 0 && depth == 0) integers.push_back(r);
            depths.push_back(depth);
            types.push_back(type);
            text += std::to_string(r) + " V" + std::to_string(r) + " " + std::to_string(type) + " " +
                    std::to_string(dimension) + " " + std::to_string(depth) + " " + std::to_string(1 + random() % 3) +
                    " " + std::to_string(parent) + "\n";
        }
        const Outcome f = run({"convert", "-", "--to", "fortran", "--name", "GEN"}, text);
        ASSERT_EQ(f.status, 0) << f.err << text;
        expectRoundTrip(*this, runner, f.out, "GEN");
    }
}

// ---------------------------------------------------------------------------
// diff
// ---------------------------------------------------------------------------
TEST_F(ToolTest, DiffNamesAddedRemovedAndChangedRows) {
    Outcome r = run({"diff", example("column.txt"), "-"}, run({"convert", example("column.txt"), "--to", "json"}).out);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "The tables are the same.\n");
    writeAll(temp("b.txt"),
             "\nCOLUMN 1796861260 6\n"
             "0 NSTAGE 0 -1 0 1 -50\n"
             "1 TSTAGE 1 -2 0 3 -50\n"   // dimension and IO changed
             "2 FEEDS 0 -1 0 1 -50\n"    // FEEDST renamed: removed and added
             "3 STAGE 3 0 0 1 -50\n"
             "4 EFF 1 -1 1 1 3\n"
             "5 LABEL 2 -1 1 1 3\n");
    r = run({"diff", example("column.txt"), temp("b.txt")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "~ TSTAGE: dimension NSTAGE -> Number of Components; io Output Only -> Input and Output\n"
              "- FEEDST (row 3): Integer, Scalar, depth 0, Input Only\n"
              "+ FEEDS (row 3): Integer, Scalar, depth 0, Input Only\n");
    r = run({"diff", "--json", example("column.txt"), temp("b.txt")});
    EXPECT_EQ(r.status, 1);
    const Json out = Json::parse(r.out);
    EXPECT_EQ(out["same"], false);
    EXPECT_EQ(out["removed"], Json::parse(R"([{"name": "FEEDST", "row": 3}])"));
    EXPECT_EQ(out["added"], Json::parse(R"([{"name": "FEEDS", "row": 3}])"));
    EXPECT_EQ(out["changed"][0]["cells"][1], Json::parse(R"({"column": "io", "first": "Output Only", "second": "Input and Output"})"));
    r = run({"diff", example("mixer.f"), data("missing.f")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + data("missing.f") + ": cannot open: No such file or directory\n");
}

}  // namespace
