// Runs the uvt program on the example tables and on broken files and checks
// what it prints and its exit status. The expected layouts are worked out
// from the tables' rows by hand (see the comments at each table).
#include "tool_fixture.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>
#include <sstream>

namespace {

using namespace uvt_tool_test;

// The rows of the value table that layout prints, keyed by label.
struct Facts {
    std::string type, io;
    int place, element, inputRow, outputRow;  // -1: no run-time row
    std::string value;
};
using FactsByLabel = std::vector<std::pair<std::string, Facts>>;

std::vector<std::string> words(const std::string& line) {
    // Columns are two blanks apart at least; "Input Only" has one.
    std::vector<std::string> cells;
    std::string cell;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == ' ' && i + 1 < line.size() && line[i + 1] == ' ') {
            if (!cell.empty()) cells.push_back(cell);
            cell.clear();
            while (i + 1 < line.size() && line[i + 1] == ' ') ++i;
        } else {
            cell += line[i];
        }
    }
    if (!cell.empty()) cells.push_back(cell);
    return cells;
}

FactsByLabel parseLayoutTable(const std::string& out) {
    FactsByLabel rows;
    std::istringstream in(out);
    std::string line;
    bool inTable = false;
    while (std::getline(in, line)) {
        if (line.rfind("LABEL", 0) == 0) {
            inTable = true;
            continue;
        }
        if (!inTable) continue;
        if (line.empty()) break;
        const std::vector<std::string> c = words(line);
        if (c.size() != 8) {
            ADD_FAILURE() << "unexpected layout line: " << line;
            continue;
        }
        auto row = [](const std::string& s) { return s == "-" ? -1 : std::stoi(s); };
        rows.push_back({c[0], Facts{c[1], c[2], std::stoi(c[3]), std::stoi(c[4]), row(c[5]), row(c[6]), c[7]}});
    }
    return rows;
}

void expectFacts(const FactsByLabel& actual, const FactsByLabel& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].first);
        EXPECT_EQ(actual[i].first, expected[i].first);
        const Facts& a = actual[i].second;
        const Facts& e = expected[i].second;
        EXPECT_EQ(a.type, e.type);
        EXPECT_EQ(a.io, e.io);
        EXPECT_EQ(a.place, e.place);
        EXPECT_EQ(a.element, e.element);
        EXPECT_EQ(a.inputRow, e.inputRow);
        EXPECT_EQ(a.outputRow, e.outputRow);
        EXPECT_EQ(a.value, e.value);
    }
}


// The repeated name A of incomplete.state, which the grid refuses: the
// table saves its row with an empty name where the file holds "1$A".
const std::string kIncompleteStateNotice =
    "byte 50: row 3 name: the file holds \"A\", refused with \"Variable already exists\"; the row has nothing";

// ---------------------------------------------------------------------------
// show
// ---------------------------------------------------------------------------
TEST_F(ToolTest, ShowPrintsTheGridWithNameAndDate) {
    const Outcome r = run({"show", example("mixer.f")});
    ASSERT_EQ(r.status, 0) << r.err;
    // The file's DATA IVRSN/1796861260/ is the time stamp; date -u gives the date.
    EXPECT_EQ(r.out,
              "Function:   MIXER\n"
              "Time stamp: 1796861260 (2026-12-10 00:07:40 UTC)\n"
              "Rows:       7\n"
              "\n"
              "ROW  NAME   TYPE       DIMENSION             DEPTH  IO\n"
              "  1  FEEDZ  Real       Number of Components      0  Input Only\n"
              "  2  TEMP   Real       Scalar                    0  Input Only\n"
              "  3  PRES   Real       Scalar                    0  Input Only\n"
              "  4  PRODZ  Real       Number of Components      0  Output Only\n"
              "  5  DUTY   Real       Scalar                    0  Output Only\n"
              "  6  NITER  Integer    Scalar                    0  Input and Output\n"
              "  7  TAG    Character  Scalar                    0  Input Only\n"
              "\n"
              "Complete.\n");
    EXPECT_EQ(r.err, "");
}

TEST_F(ToolTest, ShowNamesADimensionByItsIntegerRow) {
    const Outcome r = run({"show", example("column.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "  2"), "  2  TSTAGE  Real       NSTAGE         0  Output Only");
    EXPECT_EQ(line(r.out, "  4"), "  4  STAGE   Structure  NSTAGE         0  Input Only");
    EXPECT_EQ(line(r.out, "  5"), "  5  EFF     Real       Scalar         1  Input Only");
}

TEST_F(ToolTest, ShowListsEveryIncompleteRow) {
    // Row B has depth 1 under an Integer; row 3 repeats the name A, which the
    // grid refuses, leaving it without a name.
    const Outcome r = run({"show", data("incomplete.state")});
    ASSERT_EQ(r.status, 1) << r.err;
    EXPECT_NE(r.out.find("Refused or changed on reading:\n  " + kIncompleteStateNotice + "\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Incomplete rows:\n"
                         "  row 2 (B): Parent of this row is missing, must set the depth to 0\n"
                         "  row 3 (no name): Invalid variable name\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(line(r.out, "Function:"), "Function:   BROKEN");
}

TEST_F(ToolTest, TimeStampsBecomeUtcDates) {
    struct Case {
        const char* stamp;
        const char* date;
    };
    const Case cases[] = {
        {"0", "1970-01-01 00:00:00 UTC"},          {"-1", "1969-12-31 23:59:59 UTC"},
        {"951782400", "2000-02-29 00:00:00 UTC"},  {"2147483647", "2038-01-19 03:14:07 UTC"},
        {"-2147483648", "1901-12-13 20:45:52 UTC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stamp);
        writeAll(temp("t.txt"), std::string("\nT ") + c.stamp + " 1\n0 A 0 -1 0 1 -50\n");
        const Outcome r = run({"show", temp("t.txt")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(line(r.out, "Time stamp:"), std::string("Time stamp: ") + c.stamp + " (" + c.date + ")");
    }
}

// ---------------------------------------------------------------------------
// check
// ---------------------------------------------------------------------------
TEST_F(ToolTest, CheckExitStatusTellsCompleteIncompleteAndUnreadable) {
    struct Case {
        std::vector<std::string> files;
        int status;
        std::string out;
        std::string errPart;
    };
    const std::vector<Case> cases = {
        {{example("mixer.f"), example("splitter.state"), example("column.txt")},
         0,
         example("mixer.f") + ": complete, 7 rows\n" + example("splitter.state") + ": complete, 7 rows\n" +
             example("column.txt") + ": complete, 6 rows\n",
         ""},
        {{example("mixer.f"), data("incomplete.state")},
         1,
         example("mixer.f") + ": complete, 7 rows\n" + data("incomplete.state") + ": " + kIncompleteStateNotice +
             "\n" + data("incomplete.state") + ": row 2 (B): Parent of this row is missing, must set the depth to 0\n" + data("incomplete.state") +
             ": row 3 (no name): Invalid variable name\n",
         ""},
        {{data("nameless.txt")}, 1, data("nameless.txt") + ": row 2 (no name): Invalid variable name\n", ""},
        {{data("norows.txt")}, 1, data("norows.txt") + ": Empty form\n", ""},
        {{data("incomplete.state"), data("missing.f"), example("column.txt")},
         2,
         data("incomplete.state") + ": " + kIncompleteStateNotice + "\n" + data("incomplete.state") +
             ": row 2 (B): Parent of this row is missing, must set the depth to 0\n" + data("incomplete.state") +
             ": row 3 (no name): Invalid variable name\n" + example("column.txt") +
             ": complete, 6 rows\n",
         "uvt: " + data("missing.f") + ": cannot open: No such file or directory\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"check"};
        args.insert(args.end(), c.files.begin(), c.files.end());
        const Outcome r = run(args);
        SCOPED_TRACE(c.files.back());
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.err, c.errPart);
    }
}

TEST_F(ToolTest, BrokenFilesAreNamedWithWhatIsWrong) {
    struct Case {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"truncated.state", "damaged saved-state string: it announces 2 rows, but only 1 could be read (the string ends early)"},
        // A row name of 20 characters ends the restore where its length stands.
        {"longrow.state",
         "damaged saved-state string: it announces 2 rows, but only 1 could be read; byte 39: a row name of 20 bytes, "
         "longer than a row name can be (19): the library stops reading here"},
        {"trailing.state", "damaged saved-state string: 12 bytes follow the rows it announces (1)"},
        {"garbage.txt",
         "not a table in any form this tool knows (a FORTRAN function, a saved-state string, the text form or "
         "JSON); --from names the form"},
        {"empty.txt", "the file is empty"},
        {"noversion.f",
         "not a readable FORTRAN table function: it needs INTEGER FUNCTION, a DATA IVARIABLES list of well-formed "
         "rows and a DATA IVRSN statement"},
        {"badtype.txt", "line 3: type 7 is not 0 to 3"},
        {"extrarow.txt", "line 4: more rows than the 1 the header announces"},
        {"missing.f", "cannot open: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        for (const char* command : {"show", "check", "layout"}) {
            const Outcome r = run({command, data(c.file)});
            EXPECT_EQ(r.status, 2) << command;
            EXPECT_EQ(r.err, "uvt: " + data(c.file) + ": " + c.message + "\n") << command;
            EXPECT_EQ(r.out, "") << command;
        }
        const Outcome r = run({"convert", data(c.file), "--to", "text"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "uvt: " + data(c.file) + ": " + c.message + "\n");
    }
}

TEST_F(ToolTest, FromForcesTheForm) {
    // A saved-state string read as text has no header line of three fields.
    Outcome r = run({"show", "--from", "text", example("splitter.state")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 1: the header must hold"), std::string::npos) << r.err;
    r = run({"show", "--from", "state", example("splitter.state")});
    EXPECT_EQ(r.status, 0);
    r = run({"show", "--from", "cobol", example("splitter.state")});
    EXPECT_EQ(r.status, 2);
}

// ---------------------------------------------------------------------------
// layout
// ---------------------------------------------------------------------------
TEST_F(ToolTest, LayoutOfComponentArrays) {
    // 3 components. Reals in row order: FEEDZ(1..3) 0-2, TEMP 3, PRES 4,
    // PRODZ(1..3) 5-7, DUTY 8; the Integer NITER and the Character TAG are
    // the first of their types. Inputs: FEEDZ 0-2, TEMP 3, PRES 4, NITER 5,
    // TAG 6; outputs: PRODZ 0-2, DUTY 3, NITER 4 (Input and Output).
    const Outcome r = run({"layout", example("mixer.f"), "--components", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "Host counts:"), "Host counts:   Number of Components 3");
    EXPECT_EQ(line(r.out, "Array sizes:"), "Array sizes:   Integer 1, Real 9, Character 1");
    EXPECT_EQ(line(r.out, "Run-time rows:"), "Run-time rows: input 7, output 5");
    expectFacts(parseLayoutTable(r.out),
                {{"FEEDZ(1)", {"Real", "Input Only", 0, 1, 0, -1, "-"}},
                 {"FEEDZ(2)", {"Real", "Input Only", 1, 2, 1, -1, "-"}},
                 {"FEEDZ(3)", {"Real", "Input Only", 2, 3, 2, -1, "-"}},
                 {"TEMP", {"Real", "Input Only", 3, 4, 3, -1, "-"}},
                 {"PRES", {"Real", "Input Only", 4, 5, 4, -1, "-"}},
                 {"PRODZ(1)", {"Real", "Output Only", 5, 6, -1, 0, "-"}},
                 {"PRODZ(2)", {"Real", "Output Only", 6, 7, -1, 1, "-"}},
                 {"PRODZ(3)", {"Real", "Output Only", 7, 8, -1, 2, "-"}},
                 {"DUTY", {"Real", "Output Only", 8, 9, -1, 3, "-"}},
                 {"NITER", {"Integer", "Input and Output", 0, 1, 5, 4, "-"}},
                 {"TAG", {"Character", "Input Only", 0, 1, 6, -1, "-"}}});
}

TEST_F(ToolTest, LayoutOfAStructureArrayOverInletStreams) {
    // 2 inlet streams of FLOW, T, X(components = 2), ID; 3 outlet splits;
    // LOSS. Each element holds 4 Reals and 1 Character; scalar members of an
    // element are labelled FEED.(n).M, arrays in it FEED(n).X(k).
    const Outcome r = run({"layout", example("splitter.state"), "--inlet", "2", "--components", "2", "--outlet", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "Host counts:"),
              "Host counts:   Number of Components 2, Number of Inlet Streams 2, Number of Outlet Streams 3");
    EXPECT_EQ(line(r.out, "Array sizes:"), "Array sizes:   Integer 0, Real 12, Character 2");
    EXPECT_EQ(line(r.out, "Run-time rows:"), "Run-time rows: input 13, output 1");
    expectFacts(parseLayoutTable(r.out), {{"FEED.(1).FLOW", {"Real", "Input Only", 0, 1, 0, -1, "-"}},
                                          {"FEED.(1).T", {"Real", "Input Only", 1, 2, 1, -1, "-"}},
                                          {"FEED(1).X(1)", {"Real", "Input Only", 2, 3, 2, -1, "-"}},
                                          {"FEED(1).X(2)", {"Real", "Input Only", 3, 4, 3, -1, "-"}},
                                          {"FEED.(1).ID", {"Character", "Input Only", 0, 1, 4, -1, "-"}},
                                          {"FEED.(2).FLOW", {"Real", "Input Only", 4, 5, 5, -1, "-"}},
                                          {"FEED.(2).T", {"Real", "Input Only", 5, 6, 6, -1, "-"}},
                                          {"FEED(2).X(1)", {"Real", "Input Only", 6, 7, 7, -1, "-"}},
                                          {"FEED(2).X(2)", {"Real", "Input Only", 7, 8, 8, -1, "-"}},
                                          {"FEED.(2).ID", {"Character", "Input Only", 1, 2, 9, -1, "-"}},
                                          {"SPLIT(1)", {"Real", "Input Only", 8, 9, 10, -1, "-"}},
                                          {"SPLIT(2)", {"Real", "Input Only", 9, 10, 11, -1, "-"}},
                                          {"SPLIT(3)", {"Real", "Input Only", 10, 11, 12, -1, "-"}},
                                          {"LOSS", {"Real", "Output Only", 11, 12, -1, 0, "-"}}});
}

TEST_F(ToolTest, LayoutUnspecifiedHostCountsAreOne) {
    const Outcome r = run({"layout", example("splitter.state")});
    ASSERT_EQ(r.status, 0) << r.err;
    // One stream of FLOW, T, X(1), ID; SPLIT(1); LOSS.
    EXPECT_EQ(line(r.out, "Array sizes:"), "Array sizes:   Integer 0, Real 5, Character 1");
    EXPECT_EQ(line(r.out, "Host counts:"),
              "Host counts:   Number of Components 1, Number of Inlet Streams 1, Number of Outlet Streams 1");
}

TEST_F(ToolTest, LayoutArraysSizedByAnIntegerSetOnTheCommandLine) {
    // Unset, NSTAGE sizes TSTAGE and STAGE to nothing.
    Outcome r = run({"layout", example("column.txt")});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "Host counts:"), "Host counts:   none asked");
    expectFacts(parseLayoutTable(r.out), {{"NSTAGE", {"Integer", "Input Only", 0, 1, 0, -1, "-"}},
                                          {"FEEDST", {"Integer", "Input Only", 1, 2, 1, -1, "-"}}});
    // NSTAGE = 3: TSTAGE(1..3) are Reals 0-2 and outputs 0-2; each STAGE
    // element holds EFF (Reals 3-5) and LABEL (Characters 0-2).
    r = run({"layout", example("column.txt"), "--set", "NSTAGE=3", "--set", "STAGE.(2).EFF=0.75", "--set",
             "STAGE(3).LABEL=top tray"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(line(r.out, "Array sizes:"), "Array sizes:   Integer 2, Real 6, Character 3");
    EXPECT_EQ(line(r.out, "Run-time rows:"), "Run-time rows: input 8, output 3");
    expectFacts(parseLayoutTable(r.out), {{"NSTAGE", {"Integer", "Input Only", 0, 1, 0, -1, "3"}},
                                          {"TSTAGE(1)", {"Real", "Output Only", 0, 1, -1, 0, "-"}},
                                          {"TSTAGE(2)", {"Real", "Output Only", 1, 2, -1, 1, "-"}},
                                          {"TSTAGE(3)", {"Real", "Output Only", 2, 3, -1, 2, "-"}},
                                          {"FEEDST", {"Integer", "Input Only", 1, 2, 1, -1, "-"}},
                                          {"STAGE.(1).EFF", {"Real", "Input Only", 3, 4, 2, -1, "-"}},
                                          {"STAGE.(1).LABEL", {"Character", "Input Only", 0, 1, 3, -1, "-"}},
                                          {"STAGE.(2).EFF", {"Real", "Input Only", 4, 5, 4, -1, "0.75"}},
                                          {"STAGE.(2).LABEL", {"Character", "Input Only", 1, 2, 5, -1, "-"}},
                                          {"STAGE.(3).EFF", {"Real", "Input Only", 5, 6, 6, -1, "-"}},
                                          {"STAGE.(3).LABEL", {"Character", "Input Only", 2, 3, 7, -1, "\"top tray\""}}});
    // Shrinking again drops the elements that the later settings would need.
    r = run({"layout", example("column.txt"), "--set", "NSTAGE=3", "--set", "NSTAGE=1", "--set", "TSTAGE(2)=1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + example("column.txt") + ": --set TSTAGE(2)=1: no variable or element is named TSTAGE(2)\n");
}

TEST_F(ToolTest, LayoutRefusesBadSettingsAndIncompleteTables) {
    struct Case {
        std::string setting;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"NSTAGE=three", "--set NSTAGE=three: not a 32-bit integer"},
        {"NSTAGE=99999999999", "--set NSTAGE=99999999999: not a 32-bit integer"},
        {"NOPE=1", "--set NOPE=1: no variable or element is named NOPE"},
        {"NSTAGE", "--set NSTAGE: give NAME=VALUE"},
    };
    for (const Case& c : cases) {
        const Outcome r = run({"layout", example("column.txt"), "--set", c.setting});
        EXPECT_EQ(r.status, 2) << c.setting;
        EXPECT_EQ(r.err, "uvt: " + example("column.txt") + ": " + c.message + "\n");
    }
    Outcome r = run({"layout", example("splitter.state"), "--set", "FEED=1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("FEED is a structure or an array"), std::string::npos) << r.err;

    r = run({"layout", data("incomplete.state")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "uvt: " + data("incomplete.state") + ": " + kIncompleteStateNotice + "\n" +
                         "uvt: " + data("incomplete.state") +
                         ": cannot be bound: row 2 (B): Parent of this row is missing, must set the depth to 0\n"
                         "uvt: " + data("incomplete.state") +
                         ": cannot be bound: row 3 (no name): Invalid variable name\n");
}

TEST_F(ToolTest, LayoutTreeShowsStructuresArraysAndElements) {
    const Outcome r = run({"layout", example("column.txt"), "--set", "NSTAGE=2", "--tree"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string tree = r.out.substr(r.out.find("$TOP$"));
    EXPECT_EQ(tree,
              "$TOP$\n"
              "|-- NSTAGE  Integer, Input Only, place 0, element 1, input row 0, output row -, value 2\n"
              "|-- TSTAGE  array, 2 elements (NSTAGE)\n"
              "|   |-- TSTAGE(1)  Real, Output Only, place 0, element 1, input row -, output row 0, value -\n"
              "|   `-- TSTAGE(2)  Real, Output Only, place 1, element 2, input row -, output row 1, value -\n"
              "|-- FEEDST  Integer, Input Only, place 1, element 2, input row 1, output row -, value -\n"
              "`-- STAGE  structure array, 2 elements (NSTAGE)\n"
              "    |-- (1)\n"
              "    |   |-- STAGE.(1).EFF  Real, Input Only, place 2, element 3, input row 2, output row -, value -\n"
              "    |   `-- STAGE.(1).LABEL  Character, Input Only, place 0, element 1, input row 3, output row -, "
              "value -\n"
              "    `-- (2)\n"
              "        |-- STAGE.(2).EFF  Real, Input Only, place 3, element 4, input row 4, output row -, value -\n"
              "        `-- STAGE.(2).LABEL  Character, Input Only, place 1, element 2, input row 5, output row -, "
              "value -\n");
}

TEST_F(ToolTest, LayoutJsonCarriesTheSameFactsAsTheText) {
    struct Case {
        std::string file;
        std::vector<std::string> options;
    };
    const std::vector<Case> cases = {
        {example("mixer.f"), {"--components", "4"}},
        {example("splitter.state"), {"--inlet", "3", "--components", "2", "--outlet", "2"}},
        {example("column.txt"), {"--set", "NSTAGE=2", "--set", "FEEDST=1", "--set", "TSTAGE(2)=350.5"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        std::vector<std::string> args{"layout", c.file};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const Outcome text = run(args);
        args.push_back("--json");
        args.push_back("--tree");
        const Outcome json = run(args);
        ASSERT_EQ(text.status, 0) << text.err;
        ASSERT_EQ(json.status, 0) << json.err;
        const nlohmann::json doc = nlohmann::json::parse(json.out);
        const FactsByLabel rows = parseLayoutTable(text.out);
        ASSERT_EQ(doc["values"].size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const nlohmann::json& v = doc["values"][i];
            const Facts& f = rows[i].second;
            SCOPED_TRACE(rows[i].first);
            EXPECT_EQ(v["label"], rows[i].first);
            EXPECT_EQ(v["type"], f.type);
            EXPECT_EQ(v["io"], f.io);
            EXPECT_EQ(v["place"], f.place);
            EXPECT_EQ(v["element"], f.element);
            EXPECT_EQ(v["inputRow"].is_null() ? -1 : v["inputRow"].get<int>(), f.inputRow);
            EXPECT_EQ(v["outputRow"].is_null() ? -1 : v["outputRow"].get<int>(), f.outputRow);
            if (f.value == "-") {
                EXPECT_TRUE(v["value"].is_null());
            } else if (v["value"].is_string()) {
                EXPECT_EQ(std::string("\"").append(v["value"].get<std::string>()).append("\""), f.value);
            } else {
                EXPECT_EQ(std::stod(f.value), v["value"].get<double>());
            }
        }
        EXPECT_EQ(line(text.out, "Array sizes:"),
                  "Array sizes:   Integer " + doc["arraySizes"]["Integer"].dump() + ", Real " +
                      doc["arraySizes"]["Real"].dump() + ", Character " + doc["arraySizes"]["Character"].dump());
        EXPECT_EQ(line(text.out, "Run-time rows:"), "Run-time rows: input " + doc["runTimeRows"]["input"].dump() +
                                                        ", output " + doc["runTimeRows"]["output"].dump());
        EXPECT_EQ(line(text.out, "Function:"), "Function:      " + doc["function"].get<std::string>());
        // Every value appears once in the tree, with the same facts.
        std::vector<nlohmann::json> leaves;
        std::function<void(const nlohmann::json&)> walk = [&](const nlohmann::json& nodes) {
            for (const auto& node : nodes) {
                if (node["kind"] == "value") {
                    leaves.push_back(node);
                } else {
                    if (node.contains("elements")) {
                        EXPECT_EQ(node["elements"], node["children"].size());
                    }
                    walk(node["children"]);
                }
            }
        };
        walk(doc["tree"]);
        ASSERT_EQ(leaves.size(), rows.size());
        for (std::size_t i = 0; i < leaves.size(); ++i) {
            EXPECT_EQ(leaves[i]["label"], doc["values"][i]["label"]);
            EXPECT_EQ(leaves[i]["place"], doc["values"][i]["place"]);
        }
    }
    // The counts asked: the mixer uses only the number of components.
    const Outcome r = run({"layout", example("mixer.f"), "--components", "4", "--inlet", "9", "--json"});
    const nlohmann::json doc = nlohmann::json::parse(r.out);
    EXPECT_EQ(doc["hostCounts"], nlohmann::json::parse(R"({"components": 4})"));
    EXPECT_EQ(doc["arraySizes"]["Real"], 11);  // 4 + 1 + 1 + 4 + 1
    EXPECT_EQ(doc["timeStamp"], 1796861260);
    EXPECT_EQ(doc["date"], "2026-12-10 00:07:40 UTC");
}

// ---------------------------------------------------------------------------
// convert
// ---------------------------------------------------------------------------
TEST_F(ToolTest, ConvertRoundTripsEveryExampleThroughEveryForm) {
    const char* forms[] = {"fortran", "state", "text"};
    for (const char* name : {"mixer.f", "splitter.state", "column.txt"}) {
        // A FORTRAN function takes the output file's name: give it the
        // table's own function name.
        const std::string stem = std::string(name).substr(0, std::string(name).find('.'));
        const Outcome before = run({"show", example(name)});
        ASSERT_EQ(before.status, 0);
        for (const char* first : forms) {
            for (const char* second : forms) {
                SCOPED_TRACE(std::string(name) + " -> " + first + " -> " + second);
                Outcome r = run({"convert", example(name), "--to", first});
                ASSERT_EQ(r.status, 0) << r.err;
                writeAll(temp("step1"), r.out);
                r = run({"convert", temp("step1"), "--to", second, "-o", temp(stem + ".out")});
                ASSERT_EQ(r.status, 0) << r.err;
                EXPECT_EQ(r.out, "");
                EXPECT_EQ(run({"show", temp("step1")}).out, before.out);
                EXPECT_EQ(run({"show", temp(stem + ".out")}).out, before.out);
            }
        }
        // Back to its own form gives the same bytes.
        const std::string own = std::string(name).substr(std::string(name).find('.'));
        const char* form = own == ".f" ? "fortran" : own == ".state" ? "state" : "text";
        const Outcome same = run({"convert", example(name), "--to", form});
        EXPECT_EQ(same.out, readAll(example(name))) << name;
    }
}

TEST_F(ToolTest, ConvertWritesTheFormsTheLibraryDefines) {
    // The splitter's saved-state string is the file itself; the mixer's text
    // form carries ids 0-6 and no parents.
    Outcome r = run({"convert", example("mixer.f"), "--to", "text"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "\nMIXER 1796861260 7\n0 FEEDZ 1 -2 0 1 -50\n1 TEMP 1 -1 0 1 -50\n2 PRES 1 -1 0 1 -50\n"
              "3 PRODZ 1 -2 0 2 -50\n4 DUTY 1 -1 0 2 -50\n5 NITER 0 -1 0 3 -50\n6 TAG 2 -1 0 1 -50\n");
    r = run({"convert", example("column.txt"), "--to", "state"});
    ASSERT_EQ(r.status, 0);
    // TSTAGE and STAGE are dimensioned by row 0 (NSTAGE).
    EXPECT_EQ(r.out,
              "6$0#1796861260#6$COLUMN6$NSTAGE0$-1$0$1$6$TSTAGE1$0$0$2$6$FEEDST0$-1$0$1$5$STAGE3$0$0$1$3$EFF1$-1$1$1$"
              "5$LABEL2$-1$1$1$");
}

TEST_F(ToolTest, ConvertNamesAFortranFunctionAfterTheOutputFile) {
    const Outcome r = run({"convert", example("column.txt"), "--to", "fortran", "-o", temp("Stage1.for")});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string written = readAll(temp("Stage1.for"));
    EXPECT_EQ(written.substr(0, written.find('\n')), "      INTEGER FUNCTION STAGE1(NVARS,ICOL,IROW)");
    EXPECT_NE(written.find("          STAGE1=IVRSN\n"), std::string::npos);
    EXPECT_EQ(line(run({"show", temp("Stage1.for")}).out, "Function:"), "Function:   STAGE1");
    // Without -o the function keeps its name.
    EXPECT_EQ(line(run({"convert", example("column.txt"), "--to", "fortran"}).out, "      INTEGER"),
              "      INTEGER FUNCTION COLUMN(NVARS,ICOL,IROW)");
}

TEST_F(ToolTest, ConvertLeavesItsInputAloneUnlessToldWithOutput) {
    fs::copy_file(example("splitter.state"), temp("s.state"));
    const std::string original = readAll(temp("s.state"));
    Outcome r = run({"convert", temp("s.state"), "--to", "text"});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(readAll(temp("s.state")), original);
    EXPECT_EQ(fs::directory_iterator(dir_) != fs::directory_iterator(), true);
    r = run({"convert", temp("s.state"), "--to", "text", "-o", temp("s.state")});
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(readAll(temp("s.state")).substr(0, 10), "\nSPLITTER ");
    r = run({"convert", example("mixer.f"), "--to", "state", "-o", temp("no/such/dir/out")});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "uvt: " + temp("no/such/dir/out") + ": cannot open for writing: No such file or directory\n");
}

// ---------------------------------------------------------------------------
// Help and version
// ---------------------------------------------------------------------------
TEST_F(ToolTest, HelpAndVersion) {
    Outcome r = run({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("uvt ", 0), 0u) << r.out;
    r = run({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* command : {"show", "check", "layout", "convert"}) {
        EXPECT_NE(r.out.find(command), std::string::npos) << command;
        const Outcome help = run({command, "--help"});
        EXPECT_EQ(help.status, 0) << command;
        EXPECT_NE(help.out.find("--from"), std::string::npos) << command;
    }
    r = run({"layout", "--help"});
    for (const char* option : {"--components", "--inlet", "--material-inlet", "--heat-inlet", "--work-inlet",
                               "--outlet", "--material-outlet", "--heat-outlet", "--work-outlet", "--set", "--tree",
                               "--json"}) {
        EXPECT_NE(r.out.find(option), std::string::npos) << option;
    }
    r = run({});
    EXPECT_EQ(r.status, 2);
    r = run({"frobnicate"});
    EXPECT_EQ(r.status, 2);
    r = run({"layout", example("mixer.f"), "--components", "-1"});
    EXPECT_EQ(r.status, 2);
    r = run({"convert", example("mixer.f")});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--to"), std::string::npos) << r.err;
}

}  // namespace
