// layout: binds the table with host routines of the tool's own and reports
// where every value goes, read back through the run-time exports.
#include "commands.h"

#include "grid.h"
#include "input_output.h"
#include "json_form.h"
#include "memory_budget.h"
#include "text_table.h"

#include <algorithm>
#include <charconv>
#include <iostream>
#include <limits>
#include <set>
#include <sstream>
#include <unordered_map>

namespace uvt_tool {

namespace {

// ---------------------------------------------------------------------------
// Host routines: the counts come from the options; arrays may take any size.
// ---------------------------------------------------------------------------
std::map<int32_t, int32_t> gCounts;
std::set<int32_t> gAsked;

int32_t UVT_HOSTCALL querySize(int32_t* /*hostValues*/, int32_t code) {
    gAsked.insert(code);
    const auto found = gCounts.find(code);
    return found == gCounts.end() ? 1 : found->second;
}

const char* UVT_HOSTCALL resizeArray(int32_t* /*hostValues*/, int32_t /*array*/, int32_t /*count*/) {
    return nullptr;
}

const char* UVT_HOSTCALL storeElement(int32_t* /*hostValues*/, int32_t /*array*/, int32_t /*element*/,
                                      const void* /*value*/) {
    return nullptr;
}

struct CountName {
    int32_t code;
    const char* key;  // the option's name, also the JSON key
    const char* text;
};
const CountName kCountNames[] = {
    {-2, "components", "Number of Components"},
    {-13, "inlet", "Number of Inlet Streams"},
    {-14, "material-inlet", "Number of Material Inlet Streams"},
    {-15, "heat-inlet", "Number of Heat Inlet Streams"},
    {-16, "work-inlet", "Number of Work Inlet Streams"},
    {-23, "outlet", "Number of Outlet Streams"},
    {-24, "material-outlet", "Number of Material Outlet Streams"},
    {-25, "heat-outlet", "Number of Heat Outlet Streams"},
    {-26, "work-outlet", "Number of Work Outlet Streams"},
};

const char* const kTypeTexts[] = {"Integer", "Real", "Character"};
const char* const kIoTexts[] = {"", "Input Only", "Output Only", "Input and Output"};

std::string typeText(int32_t type) { return type >= 0 && type <= 2 ? kTypeTexts[type] : "?"; }
std::string ioText(int32_t io) { return io >= 1 && io <= 3 ? kIoTexts[io] : "?"; }

// ---------------------------------------------------------------------------
// The facts of one value, as the run-time exports give them.
// ---------------------------------------------------------------------------
struct ValueFacts {
    std::string label;
    int32_t type = 0;
    int32_t io = 0;
    int32_t place = 0;
    int32_t element = 0;
    int32_t inputRow = -1;
    int32_t outputRow = -1;
    bool set = false;
    int32_t integer = 0;
    double real = 0.0;
    std::string text;
};

[[noreturn]] void libraryFailed(const std::string& what, const char* message) {
    throw ToolError("the library refused " + what + ": " + message);
}

std::string realText(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string valueText(const ValueFacts& facts) {
    if (!facts.set) return "-";
    switch (facts.type) {
        case UVT_TYPE_INTEGER: return std::to_string(facts.integer);
        case UVT_TYPE_REAL: return realText(facts.real);
        default: return "\"" + facts.text + "\"";
    }
}

Json valueJson(const ValueFacts& facts) {
    if (!facts.set) return nullptr;
    switch (facts.type) {
        case UVT_TYPE_INTEGER: return facts.integer;
        case UVT_TYPE_REAL: return jsonReal(facts.real);
        default: return jsonText(facts.text);
    }
}

std::string rowText(int32_t row) { return row < 0 ? "-" : std::to_string(row); }
Json rowJson(int32_t row) { return row < 0 ? Json(nullptr) : Json(row); }

struct Layout {
    std::vector<ValueFacts> values;
    std::unordered_map<uintptr_t, std::size_t> byHandle;
    int32_t sizes[3] = {0, 0, 0};
    int32_t inputRows = 0;
    int32_t outputRows = 0;
};

// What the tool keeps per value, for the memory budget: the facts, the
// handle's entry and the label's text.
constexpr uint64_t kBytesPerValue = sizeof(ValueFacts) + 64 + 48;

// One walk over the values in tree order, and one per direction: the n-th
// value that a direction's filter passes is its run-time row n, and a
// value in both directions is Input and Output. No export that searches
// the table per value is asked, so the work grows with the values.
Layout readLayout(uintptr_t table) {
    Layout layout;
    uint64_t total = 0;
    for (int32_t type = 0; type < 3; ++type) {
        layout.sizes[type] = rtmGetLimit(table, type);
        total += static_cast<uint64_t>(layout.sizes[type] > 0 ? layout.sizes[type] : 0);
    }
    chargeToolMemory(total * kBytesPerValue);
    // Only a hint: a 32-bit build cannot even count more values than its
    // size type holds, and the budget above stops such tables first.
    const auto expected = static_cast<std::size_t>(std::min<uint64_t>(total, std::numeric_limits<std::size_t>::max()));
    layout.values.reserve(expected);
    layout.byHandle.reserve(expected);
    uintptr_t handle = 0;
    if (const char* message = rtmGetFirstHandle(table, -1, &handle)) libraryFailed("the first handle", message);
    char label[512];
    int32_t placed[3] = {0, 0, 0};
    uintptr_t lastOfType[3] = {0, 0, 0};
    while (rtmIsHandleValid(table, handle) != 0) {
        ValueFacts facts;
        label[0] = '\0';
        if (const char* m = rtmGetLabelByHandle(table, handle, label, 0)) libraryFailed("a label", m);
        facts.label = label;
        if (const char* m = rtmGetTypeByHandle(table, handle, &facts.type)) libraryFailed("a type", m);
        // A value's place is its rank among the values of its type in tree
        // order, which the walk follows; the library's own answer is
        // compared below for the last value of each type.
        if (facts.type < 0 || facts.type > 2) throw ToolError("the library gives a value of type " + std::to_string(facts.type));
        facts.place = placed[facts.type]++;
        facts.element = facts.place + 1;
        lastOfType[facts.type] = handle;
        void* value = nullptr;
        if (const char* m = rtmGetValueByHandle(table, handle, &value)) libraryFailed("a value", m);
        facts.set = value != nullptr;
        if (value != nullptr) {
            if (facts.type == UVT_TYPE_INTEGER) facts.integer = *static_cast<const int32_t*>(value);
            if (facts.type == UVT_TYPE_REAL) facts.real = *static_cast<const double*>(value);
            if (facts.type == UVT_TYPE_CHARACTER) facts.text = static_cast<const char*>(value);
        }
        if (!layout.byHandle.emplace(handle, layout.values.size()).second) {
            throw ToolError("the library gives one handle to two values");
        }
        layout.values.push_back(std::move(facts));
        if (const char* m = rtmGetNextHandle(table, handle, -1, &handle)) libraryFailed("the next handle", m);
    }
    for (int32_t type = 0; type < 3; ++type) {
        int32_t element = 0;
        if (placed[type] != layout.sizes[type]) {
            throw ToolError("the library counts " + std::to_string(layout.sizes[type]) + " values of type " +
                            typeText(type) + " but lists " + std::to_string(placed[type]));
        }
        if (placed[type] == 0) continue;
        if (const char* m = rtmGetElementByHandle(table, lastOfType[type], -1, &element)) libraryFailed("an element", m);
        if (element != placed[type]) throw ToolError("the library places the values of type " + typeText(type) + " differently");
    }
    layout.inputRows = rtmGetNumberOfRows(table, 0);
    layout.outputRows = rtmGetNumberOfRows(table, 1);
    // Filter 0 passes every value but the Output Only ones, filter 1 every
    // value but the Input Only ones.
    for (int32_t direction = 0; direction < 2; ++direction) {
        int32_t row = 0;
        uintptr_t at = 0;
        if (const char* m = rtmGetFirstHandle(table, direction, &at)) libraryFailed("a run-time row", m);
        while (rtmIsHandleValid(table, at) != 0) {
            const auto found = layout.byHandle.find(at);
            if (found == layout.byHandle.end()) throw ToolError("a run-time row names no value");
            ValueFacts& facts = layout.values[found->second];
            (direction == 0 ? facts.inputRow : facts.outputRow) = row++;
            if (const char* m = rtmGetNextHandle(table, at, direction, &at)) libraryFailed("the next run-time row", m);
        }
        if (row != (direction == 0 ? layout.inputRows : layout.outputRows)) {
            throw ToolError("the library counts the run-time rows differently from its values");
        }
    }
    for (ValueFacts& facts : layout.values) {
        facts.io = facts.inputRow >= 0 ? (facts.outputRow >= 0 ? UVT_IO_BOTH : UVT_IO_INPUT) : UVT_IO_OUTPUT;
    }
    return layout;
}

// ---------------------------------------------------------------------------
// --set NAME=VALUE: NAME is a label; its last name is the variable and its
// element numbers make the index list, outermost first.
// ---------------------------------------------------------------------------
void applySetting(uintptr_t table, const std::string& setting) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw ToolError("--set " + setting + ": give NAME=VALUE");
    }
    // Names are stored in upper case, whatever case they were typed in.
    std::string path = setting.substr(0, equals);
    for (char& c : path) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    const std::string text = setting.substr(equals + 1);
    const std::string what = "--set " + setting + ": ";
    std::string name;
    std::vector<int32_t> indexes;
    std::string part;
    auto take = [&] {
        if (part.empty()) return;
        int32_t number = 0;
        const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), number);
        if (error == std::errc() && end == part.data() + part.size() && number >= 1) {
            indexes.push_back(number - 1);
        } else {
            name = part;
        }
        part.clear();
    };
    for (char c : path) {
        if (c == '.' || c == '(' || c == ')') {
            take();
        } else {
            part.push_back(c);
        }
    }
    take();
    uintptr_t handle = 0;
    if (name.empty() || rtmHandleByName(table, path.c_str(), &handle) != nullptr) {
        throw ToolError(what + "no variable or element is named " + path);
    }
    int32_t type = 0;
    if (rtmGetTypeByHandle(table, handle, &type) != nullptr) {
        throw ToolError(what + path + " is a structure or an array; name one value, such as " + path + "(1)");
    }
    int32_t integer = 0;
    double real = 0.0;
    const void* value = text.c_str();
    const char* end = text.data() + text.size();
    if (type == UVT_TYPE_INTEGER) {
        const auto [stop, error] = std::from_chars(text.data(), end, integer);
        if (text.empty() || error != std::errc() || stop != end) throw ToolError(what + "not a 32-bit integer");
        value = &integer;
    } else if (type == UVT_TYPE_REAL) {
        const auto [stop, error] = std::from_chars(text.data(), end, real);
        if (text.empty() || error != std::errc() || stop != end) throw ToolError(what + "not a number");
        value = &real;
    }
    if (indexes.empty()) indexes.push_back(0);  // a variable in no array: the list is not read
    if (const char* message = rtmSetVarValueByName(table, name.c_str(), indexes.data(), value)) {
        throw ToolError(what + message);
    }
}

// ---------------------------------------------------------------------------
// The layout tree, rebuilt from the rows and asked of the library node by
// node: element counts by rtmArrayLength, values by rtmHandleByName.
// ---------------------------------------------------------------------------
struct TreeNode {
    std::string name;
    std::string kind;  // "structure", "array", "structure array", "element", "value"
    std::string dimension;
    const ValueFacts* facts = nullptr;
    std::vector<TreeNode> children;
};

struct TreeBuilder {
    uintptr_t table;
    const std::vector<GridRow>& rows;
    const Layout& layout;

    int depthOf(std::size_t r) const { return std::atoi(rows[r].depth.c_str()); }

    std::vector<TreeNode> members(std::ptrdiff_t parent, const std::string& prefix,
                                  const std::vector<int32_t>& indexes) const {
        std::vector<TreeNode> nodes;
        const int depth = parent < 0 ? 0 : depthOf(static_cast<std::size_t>(parent)) + 1;
        for (std::size_t r = static_cast<std::size_t>(parent + 1); r < rows.size(); ++r) {
            const int d = depthOf(r);
            if (d < depth) break;
            if (d == depth) nodes.push_back(node(r, prefix, indexes));
        }
        return nodes;
    }

    TreeNode leaf(const std::string& name, const std::string& path) const {
        TreeNode node{name, "value", {}, nullptr, {}};
        uintptr_t handle = 0;
        if (rtmHandleByName(table, path.c_str(), &handle) == nullptr) {
            const auto found = layout.byHandle.find(handle);
            if (found != layout.byHandle.end()) node.facts = &layout.values[found->second];
        }
        if (node.facts == nullptr) throw ToolError("the library finds no value at " + path);
        return node;
    }

    TreeNode node(std::size_t r, const std::string& prefix, const std::vector<int32_t>& indexes) const {
        const GridRow& row = rows[r];
        const std::string path = prefix.empty() ? row.name : prefix + "." + row.name;
        const bool structure = row.type == "Structure";
        if (row.dimension == "Scalar") {
            if (!structure) return leaf(row.name, path);
            return TreeNode{row.name, "structure", {}, nullptr, members(static_cast<std::ptrdiff_t>(r), path, indexes)};
        }
        TreeNode array{row.name, structure ? "structure array" : "array", row.dimension, nullptr, {}};
        std::vector<int32_t> way = indexes;
        if (way.empty()) way.push_back(0);  // read only for arrays on the way
        const int32_t count = rtmArrayLength(table, row.name.c_str(), way.data());
        for (int32_t i = 1; i <= count; ++i) {
            const std::string elementPath = path + "(" + std::to_string(i) + ")";
            if (structure) {
                std::vector<int32_t> inner = indexes;
                inner.push_back(i - 1);
                array.children.push_back(TreeNode{std::to_string(i), "element", {}, nullptr,
                                                  members(static_cast<std::ptrdiff_t>(r), elementPath, inner)});
            } else {
                TreeNode element = leaf(std::to_string(i), elementPath);
                array.children.push_back(std::move(element));
            }
        }
        return array;
    }
};

std::string factsText(const ValueFacts& f) {
    std::ostringstream out;
    out << oneLine(f.label) << "  " << typeText(f.type) << ", " << ioText(f.io) << ", place " << f.place << ", element "
        << f.element << ", input row " << rowText(f.inputRow) << ", output row " << rowText(f.outputRow)
        << ", value " << oneLine(valueText(f));
    return out.str();
}

void printTree(std::ostream& out, const std::vector<TreeNode>& nodes, const std::string& indent) {
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode& node = nodes[i];
        const bool last = i + 1 == nodes.size();
        out << indent << (last ? "`-- " : "|-- ");
        // A value shows its label, which names it; an element its number.
        const std::string name = node.kind == "element" ? "(" + node.name + ")" : node.name;
        if (node.kind == "value") {
            out << factsText(*node.facts) << '\n';
        } else if (node.kind == "element") {
            out << name << '\n';
        } else {
            out << name << "  " << node.kind;
            if (!node.dimension.empty()) {
                out << ", " << node.children.size() << (node.children.size() == 1 ? " element" : " elements")
                    << " (" << node.dimension << ")";
            }
            out << '\n';
        }
        printTree(out, node.children, indent + (last ? "    " : "|   "));
    }
}

Json factsJson(const ValueFacts& f) {
    return {{"label", jsonText(f.label)},
            {"type", typeText(f.type)},
            {"io", ioText(f.io)},
            {"place", f.place},
            {"element", f.element},
            {"inputRow", rowJson(f.inputRow)},
            {"outputRow", rowJson(f.outputRow)},
            {"value", valueJson(f)}};
}

Json treeJson(const std::vector<TreeNode>& nodes) {
    Json list = Json::array();
    for (const TreeNode& node : nodes) {
        Json item = {{"name", node.name}, {"kind", node.kind}};
        if (node.facts != nullptr) item.update(factsJson(*node.facts));
        if (!node.dimension.empty()) {
            item["dimension"] = node.dimension;
            item["elements"] = node.children.size();
        }
        if (node.kind != "value") item["children"] = treeJson(node.children);
        list.push_back(std::move(item));
    }
    return list;
}

// Every row's values multiplied along its way down: a host count gives its
// number, an array sized by an Integer row at least none, saturating at a
// number no budget reaches.
uint64_t leastValues(const std::vector<GridRow>& rows) {
    constexpr uint64_t kMany = uint64_t{1} << 50;
    auto times = [](uint64_t a, uint64_t b) { return b != 0 && a > kMany / b ? kMany : a * b; };
    std::vector<uint64_t> along(10, 1);  // the product down to each depth
    uint64_t total = 0;
    for (const GridRow& row : rows) {
        const std::size_t depth = static_cast<std::size_t>(std::min(std::max(std::atoi(row.depth.c_str()), 0), 8));
        uint64_t count = row.dimension == "Scalar" ? 1 : 0;
        for (const CountName& name : kCountNames) {
            if (row.dimension == name.text) {
                const auto found = gCounts.find(name.code);
                count = static_cast<uint64_t>(found == gCounts.end() ? 1 : std::max(found->second, 0));
            }
        }
        const uint64_t here = times(along[depth], count);
        along[depth + 1] = here;
        if (row.type != "Structure") total = std::min(kMany, total + here);
    }
    return total;
}

}  // namespace

void installHostCounts(const std::map<int32_t, int32_t>& counts) {
    gCounts = counts;
    const UvtSymsizeRoutines routines = {&querySize, &resizeArray, &storeElement};
    SetExtSymsize(&routines);
}

int runLayout(const std::string& file, std::optional<Form> from, const LayoutOptions& options) {
    installHostCounts(options.hostCounts);
    LoadedTable loaded = loadTable(file, from);
    const int readStatus = reportNotices(file, loaded.notices);
    const uintptr_t handle = loaded.table.handle();
    const std::vector<GridRow> rows = loaded.grid();
    if (!loaded.problem().empty()) {
        finishStandardOutput();
        if (rows.empty()) reportError(file, "the table has no rows, so it cannot be bound");
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!rows[r].problem.empty()) {
                reportError(file, "cannot be bound: row " + std::to_string(r + 1) + " (" + rowLabel(rows[r]) +
                                      "): " + flatMessage(rows[r].problem));
            }
        }
        return kIncomplete;
    }
    // The values the layout holds at least, from the rows and the host
    // counts: a count too large for the budget ends here, before the
    // library builds anything.
    checkMemory(leastValues(rows) * kBytesPerValue);
    gAsked.clear();
    rtmInitArrays(handle);
    if (memoryBudgetExceeded()) {
        throw ToolError("the layout needs more memory than the budget of " + memorySizeText(memoryBudget()) +
                        " (--max-memory)");
    }
    for (const std::string& setting : options.settings) {
        applySetting(handle, setting);
        if (memoryBudgetExceeded()) {
            throw ToolError("--set " + setting + ": the layout needs more memory than the budget of " +
                            memorySizeText(memoryBudget()) + " (--max-memory)");
        }
    }
    const Layout layout = readLayout(handle);
    const TableHeader header = readHeader(handle);
    std::vector<TreeNode> tree;
    if (options.tree) tree = TreeBuilder{handle, rows, layout}.members(-1, "", {});

    std::vector<const CountName*> asked;
    for (const CountName& count : kCountNames) {
        if (gAsked.count(count.code) != 0) asked.push_back(&count);
    }
    auto countOf = [&](int32_t code) {
        const auto found = gCounts.find(code);
        return found == gCounts.end() ? 1 : found->second;
    };

    if (options.json) {
        Json out;
        out["function"] = jsonText(header.functionName);
        out["timeStamp"] = header.timeStamp;
        out["date"] = formatTimeStamp(header.timeStamp);
        out["hostCounts"] = Json::object();
        for (const CountName* count : asked) out["hostCounts"][count->key] = countOf(count->code);
        out["arraySizes"] = {{"Integer", layout.sizes[0]}, {"Real", layout.sizes[1]}, {"Character", layout.sizes[2]}};
        out["runTimeRows"] = {{"input", layout.inputRows}, {"output", layout.outputRows}};
        out["values"] = Json::array();
        for (const ValueFacts& facts : layout.values) out["values"].push_back(factsJson(facts));
        if (options.tree) out["tree"] = treeJson(tree);
        out["notices"] = noticesJson(loaded.notices);
        std::cout << dumpJson(out);
        return readStatus;
    }

    std::cout << "Function:      " << (header.functionName.empty() ? "(none)" : oneLine(header.functionName)) << '\n'
              << "Time stamp:    " << header.timeStamp << " (" << formatTimeStamp(header.timeStamp) << ")\n"
              << "Host counts:   ";
    if (asked.empty()) std::cout << "none asked";
    for (std::size_t i = 0; i < asked.size(); ++i) {
        std::cout << (i > 0 ? ", " : "") << asked[i]->text << " " << countOf(asked[i]->code);
    }
    std::cout << '\n'
              << "Array sizes:   Integer " << layout.sizes[0] << ", Real " << layout.sizes[1] << ", Character "
              << layout.sizes[2] << '\n'
              << "Run-time rows: input " << layout.inputRows << ", output " << layout.outputRows << "\n\n";
    if (options.tree) {
        std::cout << "$TOP$\n";
        printTree(std::cout, tree, "");
        return readStatus;
    }
    if (layout.values.empty()) {
        std::cout << "No values.\n";
        return readStatus;
    }
    // Measured first and printed line by line: a million values need not
    // be kept twice as text.
    TextTable lines({"LABEL", "TYPE", "IO", "PLACE", "ELEMENT", "IN-ROW", "OUT-ROW", "VALUE"},
                    {false, false, false, true, true, true, true, false});
    auto cells = [](const ValueFacts& f) {
        return std::vector<std::string>{f.label, typeText(f.type), ioText(f.io), std::to_string(f.place),
                                        std::to_string(f.element), rowText(f.inputRow), rowText(f.outputRow),
                                        valueText(f)};
    };
    for (const ValueFacts& f : layout.values) lines.measure(cells(f));
    lines.printHeadings(std::cout);
    for (const ValueFacts& f : layout.values) lines.printLine(std::cout, cells(f));
    std::cout << "\nPlaces and run-time rows count from 0, elements from 1.\n";
    return readStatus;
}

}  // namespace uvt_tool
