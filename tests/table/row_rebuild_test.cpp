// The row rebuild of restore, FORTRAN load and import against a reference
// play: the same rows rebuilt the plain way, one grid operation at a time
// through the exports, where every cell check walks the whole table. On
// random tables with invalid codes, duplicate and over-long names, forward
// references, early ends and refused allocations, the host must see exactly
// the same: the memory calls in order with their sizes, the events, the
// bytes saved through a configuration interface, and the rows that result.
#include "test_host.h"

#include "../fortran/fortran_files.h"
#include "../persist/random_tables.h"

#include <cstring>
#include <regex>
#include <string>
#include <vector>

namespace {

using namespace uvt_test;
using uvt_persist_test::Rng;

// One row as the saved-state string or the FORTRAN file carries it.
struct StoredRow {
    std::string name;
    int32_t type;
    int32_t dimension;  // a code below 0, or a row number among the stored rows
    int32_t depth;
    int32_t io;
};

// Names from a small alphabet, so that duplicates (also in other case)
// come up by themselves; now and then a name the grid refuses.
std::string randomName(Rng& rng, uint32_t longest) {
    static const char kFirst[] = "ABCab";
    static const char kRest[] = "ABab1_";
    switch (rng.below(12)) {
        case 0: return "";
        case 1: return "9LIVES";
        case 2: return "A-B";
        case 3: return std::string(longest, 'L');
        default: break;
    }
    std::string name(1, kFirst[rng.below(sizeof kFirst - 1)]);
    const uint32_t length = 1 + rng.below(3);
    while (name.size() < length) name.push_back(kRest[rng.below(sizeof kRest - 1)]);
    return name;
}

std::vector<StoredRow> randomRows(Rng& rng, uint32_t longestName) {
    static const int32_t kCodes[] = {-1, -2, -13, -14, -15, -16, -23, -24, -25, -26, -3, -7};
    std::vector<StoredRow> rows(rng.below(30));
    const auto count = static_cast<uint32_t>(rows.size());
    for (StoredRow& row : rows) {
        row.name = randomName(rng, longestName);
        // Integer and Structure rows often, so that dimensions and depths find rows.
        row.type = rng.chance(80) ? static_cast<int32_t>(rng.below(4)) : static_cast<int32_t>(4 + rng.below(3));
        row.dimension = rng.chance(40) ? kCodes[rng.below(sizeof kCodes / sizeof kCodes[0])]
                                       : static_cast<int32_t>(rng.below(count + 3));
        row.depth = rng.chance(90) ? static_cast<int32_t>(rng.below(4)) : static_cast<int32_t>(rng.below(13));
        row.io = static_cast<int32_t>(rng.below(5));
    }
    return rows;
}

// The texts the grid is given for stored codes.
const char* typeText(int32_t code) {
    switch (code) {
        case 0: return "Integer";
        case 2: return "Character";
        case 3: return "Structure";
        default: return "Real";
    }
}

const char* dimensionText(int32_t code) {
    static const std::pair<int32_t, const char*> kTexts[] = {
        {-1, "Scalar"},
        {-2, "Number of Components"},
        {-13, "Number of Inlet Streams"},
        {-14, "Number of Material Inlet Streams"},
        {-15, "Number of Heat Inlet Streams"},
        {-16, "Number of Work Inlet Streams"},
        {-23, "Number of Outlet Streams"},
        {-24, "Number of Material Outlet Streams"},
        {-25, "Number of Heat Outlet Streams"},
        {-26, "Number of Work Outlet Streams"},
    };
    for (const auto& [value, text] : kTexts) {
        if (value == code) return text;
    }
    return "";
}

const char* ioText(int32_t code) {
    switch (code) {
        case 1: return "Input Only";
        case 2: return "Output Only";
        case 3: return "Input and Output";
        default: return "";
    }
}

// The reference play's cells, each one grid operation through the exports.
class ReferencePlay {
public:
    explicit ReferencePlay(uintptr_t table) : table_(table) {}

    bool insert(int32_t row) { return dfnInsertRow(table_, row) != 0; }
    void codes(int32_t row, const StoredRow& stored) {
        setCell(table_, 0, row, stored.name.c_str());
        setCell(table_, 1, row, typeText(stored.type));
    }
    void dimensionCode(int32_t row, int32_t code) { setCell(table_, 2, row, dimensionText(code)); }
    // The name of table row `named` as the grid shows it, or Scalar.
    void dimensionToRow(int32_t row, int32_t named) {
        if (named < 0 || named >= dfnCountRows(table_)) {
            setCell(table_, 2, row, "Scalar");
            return;
        }
        const RowView& target = uvt_test::row(table_, named);
        setCell(table_, 2, row, std::string(target.name, strnlen(target.name, 19)).c_str());
    }
    void depth(int32_t row, int32_t value) { setCell(table_, 3, row, std::to_string(value).c_str()); }
    void io(int32_t row, int32_t value) { setCell(table_, 4, row, ioText(value)); }

private:
    uintptr_t table_;
};

// ---------------------------------------------------------------------------
// The saved-state string, and the reference restore over it.
// ---------------------------------------------------------------------------
const std::string kStateHeaderTail = "$7#1234#4$FUNC";

std::string savedState(const std::vector<StoredRow>& rows) {
    std::string text = std::to_string(rows.size()) + kStateHeaderTail;
    for (const StoredRow& row : rows) {
        text += std::to_string(row.name.size()) + "$" + row.name + std::to_string(row.type) + "$" +
                std::to_string(row.dimension) + "$" + std::to_string(row.depth) + "$" + std::to_string(row.io) + "$";
    }
    return text;
}

// Reads the row pieces byte by byte as the string's reader does.
class StateCursor {
public:
    StateCursor(const std::string& text, std::size_t position) : text_(text), position_(position) {}

    bool byte(char* c) {
        if (position_ >= text_.size()) return false;
        *c = text_[position_++];
        return true;
    }
    static void accumulate(uint32_t& value, char c) {
        const uint32_t digit = (c >= '0' && c <= '9') ? static_cast<uint32_t>(c - '0') : 0;
        value = value > 100000000u ? 1000000000u : value * 10 + digit;
    }
    bool nameLength(uint32_t* length) {
        char c = 0;
        uint32_t value = 0;
        if (!byte(&c)) return false;
        accumulate(value, c);
        for (;;) {
            if (!byte(&c)) return false;
            if (c == '$') break;
            accumulate(value, c);
        }
        *length = value;
        return true;
    }
    bool bytes(uint32_t count, std::string* out) {
        if (text_.size() - position_ < count) {
            position_ = text_.size();
            return false;
        }
        *out = text_.substr(position_, count);
        position_ += count;
        return true;
    }
    bool field(int32_t* result) {
        bool first = true;
        bool negative = false;
        uint32_t value = 0;
        char c = 0;
        for (;;) {
            if (!byte(&c)) return false;
            if (c == '$') break;
            if (c == '-') {
                if (first) negative = true;
            } else {
                accumulate(value, c);
            }
            first = false;
        }
        const int32_t magnitude = value > 1000000000u ? 1000000000 : static_cast<int32_t>(value);
        *result = negative ? -magnitude : magnitude;
        return true;
    }

private:
    const std::string& text_;
    std::size_t position_;
};

void referenceRestore(uintptr_t table, const std::string& text, int32_t announced) {
    StateCursor in(text, std::to_string(announced).size() + kStateHeaderTail.size());
    ReferencePlay play(table);
    std::vector<std::pair<int32_t, int32_t>> forward;
    int32_t restored = 0;
    for (int32_t k = 0; k < announced; ++k) {
        uint32_t length = 0;
        if (!in.nameLength(&length) || length >= 20) break;
        if (!play.insert(k)) break;
        std::string name;
        if (!in.bytes(length, &name)) break;
        setCell(table, 0, k, name.c_str());
        int32_t value = 0;
        if (!in.field(&value)) break;
        setCell(table, 1, k, typeText(value));
        if (!in.field(&value)) break;
        if (value < 0) {
            play.dimensionCode(k, value);
        } else if (value > k && value < announced) {
            forward.emplace_back(k, value);
        } else {
            play.dimensionToRow(k, value);
        }
        if (!in.field(&value)) break;
        play.depth(k, value);
        if (!in.field(&value)) break;
        play.io(k, value);
        restored = k + 1;
    }
    for (const auto& [row, target] : forward) {
        if (target < restored) play.dimensionToRow(row, target);
    }
}

// ---------------------------------------------------------------------------
// The FORTRAN file, laid out as the writer lays it out, and the reference
// load and import over its rows.
// ---------------------------------------------------------------------------
enum class FileEnd { Complete, NoVersion, BadValue };

struct FortranFile {
    std::vector<StoredRow> rows;
    FileEnd end = FileEnd::Complete;
    std::size_t badRow = 0;    // with BadValue: the row whose value is malformed
    int badValue = 0;          // 0 dimension, 1 depth, 2 IO
};

std::string fortranText(const FortranFile& file) {
    std::string text = "      INTEGER FUNCTION RB(NVARS,ICOL,IROW)\n";
    text += "      PARAMETER (IPARAM_NVARS=" + std::to_string(file.rows.size()) + ")\n";
    text += "      INTEGER IVARIABLES(8,IPARAM_NVARS), IVRSN\n      DATA IVARIABLES/\n";
    if (file.rows.empty()) text += "     1  8*0/\n\n";
    for (std::size_t i = 0; i < file.rows.size(); ++i) {
        const StoredRow& row = file.rows[i];
        text += "     1  ";
        for (std::size_t c = 0; c < 16; ++c) {
            if (c == 0) {
                text += "4H";
            } else if (c % 4 == 0) {
                text += ",  4H";
            }
            text += c < row.name.size() ? row.name[c] : ' ';
        }
        std::string values[3] = {std::to_string(row.dimension), std::to_string(row.depth), std::to_string(row.io)};
        if (file.end == FileEnd::BadValue && i == file.badRow) values[file.badValue] = "X";
        text += ",  " + std::to_string(row.type) + ",  " + values[0] + ",  " + values[1] + ",  " + values[2];
        text += i + 1 == file.rows.size() ? "/\n\n" : ",\n";
    }
    if (file.end != FileEnd::NoVersion) text += "      DATA IVRSN/77/\n";
    text += "      END\n";
    return text;
}

// True when every row was read: the rows the reference play set stay.
bool referenceRows(uintptr_t table, const FortranFile& file, int32_t firstRow) {
    ReferencePlay play(table);
    std::vector<std::pair<int32_t, int32_t>> forward;
    bool complete = true;
    for (std::size_t i = 0; i < file.rows.size() && complete; ++i) {
        const StoredRow& stored = file.rows[i];
        const auto k = static_cast<int32_t>(i);
        const int32_t row = firstRow + k;
        if (!play.insert(row)) {
            complete = false;
            break;
        }
        play.codes(row, stored);
        const bool bad = file.end == FileEnd::BadValue && i == file.badRow;
        if (bad && file.badValue == 0) {
            complete = false;
            break;
        }
        if (stored.dimension < 0) {
            play.dimensionCode(row, stored.dimension);
        } else if (stored.dimension <= k) {
            play.dimensionToRow(row, firstRow + stored.dimension);
        } else {
            forward.emplace_back(row, stored.dimension);
        }
        if (bad && file.badValue == 1) {
            complete = false;
            break;
        }
        play.depth(row, stored.depth);
        if (bad && file.badValue == 2) {
            complete = false;
            break;
        }
        play.io(row, stored.io);
    }
    for (const auto& [row, target] : forward) play.dimensionToRow(row, firstRow + target);
    return complete;
}

// A table begun for a load and never handed out goes back as the loader
// gives it back: its rows in order, their array, the header.
void discardAsLoaderDoes(uintptr_t table) {
    HeaderView& head = header(table);
    auto* slots = TrackingMemory::instance().view<uintptr_t>(head.rowArray);
    for (int32_t i = 0; slots != nullptr && i < head.rowCount; ++i) {
        if (slots[i] != 0) TrackingMemory::release(slots[i], 44);
    }
    if (head.rowArray != 0) {
        const int32_t slotCount = head.reserved[0] > 0 ? head.reserved[0] : std::max(head.rowCount, 1);
        TrackingMemory::release(head.rowArray, slotCount * static_cast<int32_t>(sizeof(uintptr_t)));
    }
    TrackingMemory::release(table, static_cast<int32_t>(sizeof(HeaderView)));
}

uintptr_t referenceLoad(const FortranFile& file) {
    const uintptr_t table = CreateUVT(nullptr);
    if (table == 0) return 0;
    if (!referenceRows(table, file, 0) || file.end != FileEnd::Complete) {
        discardAsLoaderDoes(table);
        return 0;
    }
    return table;
}

// ---------------------------------------------------------------------------
// What the host saw of one run.
// ---------------------------------------------------------------------------
std::vector<std::string> lines;
void UVT_HOSTCALL collectLine(const char* line) { lines.emplace_back(line); }

struct Seen {
    std::vector<std::string> memory;
    std::vector<std::string> events;
    std::vector<std::string> saved;
    std::vector<std::string> rows;  // the text form without its header line
    bool operator==(const Seen&) const = default;
};

void PrintTo(const Seen& seen, std::ostream* out) {
    const auto list = [&](const char* title, const std::vector<std::string>& entries) {
        *out << "\n" << title << ":";
        for (const std::string& entry : entries) *out << "\n  " << entry;
    };
    list("memory", seen.memory);
    list("events", seen.events);
    list("saved", seen.saved);
    list("rows", seen.rows);
}

class RowRebuildTest : public UvtTest {
protected:
    // Starts recording a run.
    void begin() {
        memory.recordTrail(true);
        host.clearLog();
    }

    // Ends it: what the host saw, with the table's rows when there is one.
    Seen end(uintptr_t table, ConfigObject* config) {
        Seen seen{memory.trail(), host.log, {}, {}};
        memory.recordTrail(false);
        if (config != nullptr) {
            // The save step renews the time stamp: the saved bytes compare without it.
            static const std::regex kTime("^(-?[0-9]+\\$-?[0-9]+#)-?[0-9]+#");
            for (const std::string& piece : config->everyPiece) {
                seen.saved.push_back(std::regex_replace(piece, kTime, "$1T#"));
            }
            seen.saved.push_back(std::to_string(config->beginSaves) + " saves");
        }
        if (table != 0) {
            lines.clear();
            UVTToText(table, collectLine);
            seen.rows.assign(lines.begin() + (lines.empty() ? 0 : 1), lines.end());
        }
        return seen;
    }

    // Rows the table holds before the rebuild: valid ones typed in, or none.
    uintptr_t startingTable(uint32_t seed) {
        const uintptr_t table = CreateUVT(nullptr);
        if (seed % 3 == 0) {
            for (const RowSpec& row : kSampleRows) appendRow(table, row);
        }
        return table;
    }

    // Runs `play` with the host recording; some runs have one allocation
    // refused, somewhere among the first `allocations`. `play` answers the
    // table whose rows count, or 0.
    template <class Play>
    Seen record(uint32_t seed, int allocations, ConfigObject* config, Play&& play) {
        begin();
        if (seed % 4 == 1 && allocations > 0) memory.failAllocation(1 + static_cast<int>(seed / 4) % allocations);
        const uintptr_t table = play();
        memory.failAllocation(0);
        return end(table, config);
    }
};

TEST_F(RowRebuildTest, RestoreFromEitherSourceMatchesTheReferencePlay) {
    for (uint32_t seed = 0; seed < 200; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        const std::vector<StoredRow> rows = randomRows(rng, 17 + rng.below(4));
        std::string text = savedState(rows);
        // Some strings end early, anywhere after the header.
        const std::size_t headerLength = std::to_string(rows.size()).size() + kStateHeaderTail.size();
        if (rng.chance(20)) text.resize(headerLength + rng.below(static_cast<uint32_t>(text.size() - headerLength) + 1));
        const bool second = seed % 2 == 1;
        const int allocations = 2 * static_cast<int>(rows.size());

        const uintptr_t reference = startingTable(seed);
        const Seen expected = record(seed, allocations, nullptr, [&] {
            referenceRestore(reference, text, static_cast<int32_t>(rows.size()));
            return reference;
        });

        const uintptr_t table = startingTable(seed);
        ConfigObject config;
        UVTSetConfigInterface(table, config.object());
        (second ? config.second : config.primary) = text;
        const Seen seen = record(seed, allocations, nullptr, [&] {
            second ? UVTRestoreRB(table) : UVTRestore(table);
            return table;
        });

        EXPECT_EQ(seen, expected) << text;
        EXPECT_EQ(config.beginSaves, 0);
        DeleteUVT(table);
        DeleteUVT(reference);
    }
}

FortranFile randomFile(Rng& rng) {
    FortranFile file;
    file.rows = randomRows(rng, 16);
    if (!file.rows.empty() && rng.chance(25)) {
        file.end = FileEnd::BadValue;
        file.badRow = rng.below(static_cast<uint32_t>(file.rows.size()));
        file.badValue = static_cast<int>(rng.below(3));
    } else if (rng.chance(10)) {
        file.end = FileEnd::NoVersion;
    }
    return file;
}

TEST_F(RowRebuildTest, FortranLoadMatchesTheReferencePlay) {
    ScratchDirectory scratch;
    for (uint32_t seed = 0; seed < 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        const FortranFile file = randomFile(rng);
        const std::string text = fortranText(file);
        writeBytes(scratch.file("rb.f"), text);
        const int allocations = 1 + 2 * static_cast<int>(file.rows.size());

        uintptr_t reference = 0;
        const Seen expected = record(seed, allocations, nullptr, [&] { return reference = referenceLoad(file); });
        uintptr_t table = 0;
        const Seen seen =
            record(seed, allocations, nullptr, [&] { return table = loadFrom(scratch.file("rb.f")); });

        EXPECT_EQ(seen, expected) << text;
        EXPECT_EQ(table == 0, reference == 0);
        if (table != 0) DeleteUVT(table);
        if (reference != 0) DeleteUVT(reference);
    }
}

TEST_F(RowRebuildTest, FortranImportWithAndWithoutInterfaceMatchesTheReferencePlay) {
    ScratchDirectory scratch;
    for (uint32_t seed = 0; seed < 150; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        const FortranFile file = randomFile(rng);
        const std::string text = fortranText(file);
        writeBytes(scratch.file("rb.f"), text);
        const bool attached = seed % 2 == 0;
        const int allocations = 2 * static_cast<int>(file.rows.size());

        const uintptr_t reference = startingTable(seed);
        ConfigObject referenceConfig;
        if (attached) UVTSetConfigInterface(reference, referenceConfig.object());
        const Seen expected = record(seed, allocations, attached ? &referenceConfig : nullptr, [&] {
            // The import takes the file's function name, unsaved, when the table has none.
            if (header(reference).functionName[0] == 0) uvt_persist_test::setFunctionName(reference, "RB");
            referenceRows(reference, file, dfnCountRows(reference));
            return reference;
        });

        const uintptr_t table = startingTable(seed);
        ConfigObject config;
        if (attached) UVTSetConfigInterface(table, config.object());
        const Seen seen = record(seed, allocations, attached ? &config : nullptr, [&] {
            importFrom(table, scratch.file("rb.f"));
            return table;
        });

        EXPECT_EQ(seen, expected) << text;
        if (attached && !file.rows.empty()) {
            EXPECT_FALSE(config.everyPiece.empty());
        }
        DeleteUVT(table);
        DeleteUVT(reference);
    }
}

// A host that inserts a row from within a save of the import changes the
// table under the rebuild's feet; from then on it gets the answers that
// walking the rows gives, as it did before.
TEST_F(RowRebuildTest, ImportIntoATableTheHostChangesWhileSavingMatchesTheReferencePlay) {
    ScratchDirectory scratch;
    for (uint32_t seed = 0; seed < 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        Rng rng(seed);
        FortranFile file = randomFile(rng);
        file.end = FileEnd::Complete;
        // Counts and the rows they size, so that many cells ask for Integer rows by name.
        for (std::size_t k = 0; k < file.rows.size(); ++k) {
            StoredRow& row = file.rows[k];
            if (k % 2 == 0) {
                row.type = 0;
                row.name = "N" + std::to_string(k);
            } else {
                row.dimension = static_cast<int32_t>(k - 1);
            }
        }
        const std::string text = fortranText(file);
        writeBytes(scratch.file("rb.f"), text);
        const int insertAt = 2 + static_cast<int>(seed % 40);

        const auto run = [&](bool reference) {
            const uintptr_t table = CreateUVT(nullptr);
            for (const RowSpec& row : kSampleRows) appendRow(table, row);
            ConfigObject config;
            UVTSetConfigInterface(table, config.object());
            const int firstSave = config.beginSaves;
            bool inserted = false;
            config.onBeginSave = [&] {
                if (inserted || config.beginSaves - firstSave != insertAt) return;
                inserted = true;
                dfnInsertRow(table, 0);
            };
            const Seen seen = record(seed, 0, &config, [&] {
                if (reference) {
                    uvt_persist_test::setFunctionName(table, "RB");
                    referenceRows(table, file, static_cast<int32_t>(kSampleRows.size()));
                } else {
                    importFrom(table, scratch.file("rb.f"));
                }
                return table;
            });
            DeleteUVT(table);
            return seen;
        };
        const Seen expected = run(true);
        EXPECT_EQ(run(false), expected) << text;
    }
}

}  // namespace
