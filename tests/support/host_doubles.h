// The host doubles shared by the tests and the fuzz targets: tracking memory
// whose handles are not addresses, recording symbol-size and event routines,
// a configuration object and helpers for VARIANT text. Nothing here needs a
// test framework; test_host.h adds the fixture.
#pragma once

#include "uvt.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace uvt_test {

// ---------------------------------------------------------------------------
// Memory: handles are small numbers that no resolve-free use can survive;
// blocks are filled with garbage when handed out; every release is checked
// against the size the block was obtained with.
// ---------------------------------------------------------------------------
class TrackingMemory {
public:
    static TrackingMemory& instance();

    void reset();
    // Fails the n-th allocation from now on (1 = the next); 0 turns it off.
    // Growing reallocations count as allocations.
    void failAllocation(int n);
    // Fails every allocation from the n-th on.
    void failFrom(int n);
    // Refuses every allocation while this many blocks are live, as a host
    // whose memory has run out would; 0 turns it off.
    void limitLiveBlocks(std::size_t limit) { liveLimit_ = limit; }
    int allocationsMade() const { return allocationCount_; }
    // Allocations refused so far (by failAllocation, failFrom or the limit).
    int allocationsRefused() const { return refusedCount_; }

    std::size_t liveBlocks() const { return blocks_.size(); }
    int32_t sizeOf(uintptr_t handle) const;
    const std::vector<std::string>& faults() const { return faults_; }
    // Hands over the faults seen so far and forgets them, for a test that
    // provokes one on purpose (such as a handle the host does not know).
    std::vector<std::string> takeFaults();
    // Sizes passed to allocate, in call order.
    const std::vector<int32_t>& allocationSizes() const { return allocationSizes_; }
    int reallocations() const { return reallocationCount_; }
    // Calls of resolve so far, for checks on how a call's cost grows.
    long resolves() const { return resolveCount_; }
    // When set, allocations of a size it answers true for are refused.
    std::function<bool(int32_t size)> refuseSize;
    // When set, live blocks of a size it answers true for do not count
    // against limitLiveBlocks, so that a run with such blocks and a run
    // that is refused them run out of memory at the same point.
    std::function<bool(int32_t size)> outsideLiveLimit;
    // While on, every allocate, reallocate and release goes into the trail
    // in call order, with sizes and blocks named by the order in which the
    // trail first met them ("allocate 44 = #1", "release #1 44", "allocate 44
    // refused"; a reallocation is "reallocate #0 8 16" followed by the
    // allocation and release it makes), so that two runs doing the
    // same with different handles give the same trail. Turning it on starts
    // a new trail.
    void recordTrail(bool on);
    // The same trail, written into `log` instead, in one order with whatever
    // else the test logs there (the host calls of a HostRecorder, say).
    void recordTrailInto(std::vector<std::string>& log);
    const std::vector<std::string>& trail() const { return trail_; }

    template <class T>
    T* view(uintptr_t handle) {
        return static_cast<T*>(resolve(handle));
    }

    static uintptr_t UVT_HOSTCALL allocate(int32_t size);
    static void UVT_HOSTCALL release(uintptr_t handle, int32_t size);
    static void* UVT_HOSTCALL resolve(uintptr_t handle);
    static uintptr_t UVT_HOSTCALL reallocate(uintptr_t handle, int32_t oldSize, int32_t newSize);

private:
    struct Block {
        void* data;
        int32_t size;
    };
    bool nextAllocationFails();
    bool countsAgainstLimit(int32_t size) const { return !outsideLiveLimit || !outsideLiveLimit(size); }
    std::string blockName(uintptr_t handle);
    void note(std::string entry) {
        if (trailTarget_ != nullptr) trailTarget_->push_back(std::move(entry));
    }

    std::map<uintptr_t, Block> blocks_;
    uintptr_t nextHandle_ = 0x100;
    int allocationCount_ = 0;
    int failAt_ = 0;
    int failFrom_ = 0;
    std::size_t liveLimit_ = 0;
    std::size_t uncountedLive_ = 0;  // live blocks outside the limit
    int refusedCount_ = 0;
    int reallocationCount_ = 0;
    long resolveCount_ = 0;
    std::vector<int32_t> allocationSizes_;
    std::vector<std::string> faults_;
    std::vector<std::string>* trailTarget_ = nullptr;
    std::vector<std::string> trail_;
    std::map<uintptr_t, int> trailNames_;
    int nextTrailName_ = 0;
};

// ---------------------------------------------------------------------------
// Memory for measurements: handles are indexes into one table of blocks, so
// that resolve costs the same at every table size and a benchmark measures
// the library rather than the host's bookkeeping. Sizes are still checked:
// a release with the wrong size aborts.
// ---------------------------------------------------------------------------
class FlatMemory {
public:
    static FlatMemory& instance();
    std::size_t liveBlocks() const { return blocks_.size() - free_.size() - 1; }

    static uintptr_t UVT_HOSTCALL allocate(int32_t size);
    static void UVT_HOSTCALL release(uintptr_t handle, int32_t size);
    static void* UVT_HOSTCALL resolve(uintptr_t handle);
    static uintptr_t UVT_HOSTCALL reallocate(uintptr_t handle, int32_t oldSize, int32_t newSize);

private:
    struct Block {
        void* data = nullptr;
        int32_t size = 0;
    };
    std::vector<Block> blocks_{Block{}};  // handle 0 is none
    std::vector<uintptr_t> free_;
};

// Installs the flat memory with the given symbol-size and event routines
// (a benchmark's own, which store into plain arrays as a real host would).
void installFlatHost(const UvtSymsizeRoutines& symsize, const UvtEventRoutines& events);

// ---------------------------------------------------------------------------
// Symbol sizes and events: every call goes into one ordered log of readable
// entries such as "query(-2)", "resize(1,4)", "store(1,2,null)",
// "store(0,0,i:2)", "store(2,1,s:AB)", "release", "replace(0)".
// ---------------------------------------------------------------------------
class HostRecorder {
public:
    static HostRecorder& instance();
    void reset();

    std::vector<std::string> log;
    std::map<int32_t, int32_t> sizes;  // querySize answers by code; 1 otherwise
    int releaseEvents = 0;
    std::vector<int32_t> replacePhases;
    const int32_t* lastHostValues = nullptr;

    // Answers: return a message to refuse, or nullptr to accept.
    std::function<const char*(int32_t array, int32_t count)> resizeAnswer;
    std::function<const char*(int32_t array, int32_t element, const void* value)> storeAnswer;

    // Calls of one kind ("resize", "store", ...), in order.
    std::vector<std::string> entries(const std::string& kind) const;
    void clearLog() { log.clear(); }

    static int32_t UVT_HOSTCALL querySize(int32_t* hostValues, int32_t code);
    static const char* UVT_HOSTCALL resizeArray(int32_t* hostValues, int32_t array, int32_t count);
    static const char* UVT_HOSTCALL storeElement(int32_t* hostValues, int32_t array, int32_t element,
                                                 const void* value);
    static void UVT_HOSTCALL releaseEvent();
    static void UVT_HOSTCALL replaceEvent(int32_t phase);
};

// ---------------------------------------------------------------------------
// Configuration object: records BeginSave/SaveBytes, serves two restore
// sources with a chosen number of bytes per read, counts references.
// ---------------------------------------------------------------------------
class ConfigObject {
public:
    ConfigObject();
    ConfigObject(const ConfigObject&) = delete;
    ConfigObject& operator=(const ConfigObject&) = delete;

    void* object() { return &com_; }

    int32_t references = 1;  // the creator's own reference
    bool offersInterface = true;
    int beginSaves = 0;
    std::vector<std::string> pieces;  // SaveBytes calls since the last reset
    std::vector<std::string> everyPiece;  // every SaveBytes call, across saves
    int32_t saveResult = 1;
    int beginRestores = 0;
    int beginRestoresRB = 0;
    std::string primary;   // read by RestoreBytes
    std::string second;    // read by RestoreBytesRB
    std::size_t primaryPosition = 0;
    std::size_t secondPosition = 0;
    int32_t bytesPerRead = 0;  // 0: as many as asked for
    // When not empty, the most bytes each read delivers, taken in turn and
    // from the start again (0 delivers nothing); overrides bytesPerRead.
    std::vector<int32_t> readSizes;
    std::vector<int32_t> readCounts;  // counts asked for, both sources
    // Every slot called, in order: "QueryInterface", "AddRef", "Release",
    // "BeginSave", "SaveBytes", "BeginRestore", "RestoreBytes",
    // "BeginRestoreRB", "RestoreBytesRB".
    std::vector<std::string> calls;
    GUID lastIid{};  // what the last QueryInterface asked for
    // Called at each BeginSave, for a host that acts on the table while it
    // is being saved.
    std::function<void()> onBeginSave;

    std::string saved() const;  // the concatenated pieces
    void clearSaves() {
        beginSaves = 0;
        pieces.clear();
    }

private:
    struct Com {
        const UvtConfigInterfaceVtbl* vtbl;
        ConfigObject* owner;
    };
    static ConfigObject* self(UvtConfigInterface* com) { return reinterpret_cast<Com*>(com)->owner; }
    int32_t readLimit();
    static int32_t read(std::string& from, std::size_t& position, int32_t limit, char* buffer, int32_t count,
                        int32_t* delivered);
    std::size_t nextReadSize_ = 0;

    static int32_t UVT_CALL queryInterface(UvtConfigInterface*, const GUID*, void**);
    static uint32_t UVT_CALL addRef(UvtConfigInterface*);
    static uint32_t UVT_CALL releaseRef(UvtConfigInterface*);
    static int32_t UVT_CALL beginSave(UvtConfigInterface*);
    static int32_t UVT_CALL restoreBytesRB(UvtConfigInterface*, char*, int32_t, int32_t*);
    static int32_t UVT_CALL saveBytes(UvtConfigInterface*, const char*, int32_t);
    static int32_t UVT_CALL beginRestoreRB(UvtConfigInterface*);
    static int32_t UVT_CALL restoreBytes(UvtConfigInterface*, char*, int32_t, int32_t*);
    static int32_t UVT_CALL beginRestore(UvtConfigInterface*);

    static const UvtConfigInterfaceVtbl kVtbl;
    Com com_;
};

// ---------------------------------------------------------------------------
// VARIANT and BSTR helpers.
// ---------------------------------------------------------------------------
class Bstr {
public:
    explicit Bstr(const std::u16string& text);
    explicit Bstr(const char* ascii);
    ~Bstr();
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }
    VARIANT variant() const;
    std::string ascii() const;

private:
    BSTR text_;
};

// "<EMPTY>" for VT_EMPTY, otherwise the text (non-ASCII as '?'); frees the
// VARIANT's string.
inline constexpr const char* kEmpty = "<EMPTY>";
std::string take(VARIANT value);
// The text of a VT_BSTR VARIANT as it is, with every UTF-16 unit and up to
// its BSTR length; u"<EMPTY>" for VT_EMPTY. Frees the VARIANT's string.
std::u16string takeWide(VARIANT value);
std::string toAscii(const OLECHAR* text);

// Design-time shorthands through the exports.
std::string setCell(uintptr_t table, int32_t column, int32_t row, const char* text);
std::string setCellNull(uintptr_t table, int32_t column, int32_t row);
std::string getCell(uintptr_t table, int32_t column, int32_t row);

struct RowSpec {
    const char* name;
    const char* type = "Real";
    const char* dimension = "Scalar";
    const char* depth = "0";
    const char* io = "Input Only";
};
// The sample table of the run-time tests, the sweeps and the fuzz targets: NC sizes the structure array S,
// X is sized by the host's component count.
inline const std::vector<RowSpec> kSampleRows = {
    {"NC", "Integer", "Scalar", "0", "Input Only"},
    {"X", "Real", "Number of Components", "0", "Input Only"},
    {"S", "Structure", "NC", "0", "Input Only"},
    {"A", "Integer", "Scalar", "1", "Input Only"},
    {"B", "Character", "Scalar", "1", "Input and Output"},
    {"Y", "Real", "Scalar", "0", "Output Only"},
};

// An exactly sized index list on the heap: reading past its end is caught
// by the address sanitizer.
inline std::unique_ptr<int32_t[]> indexList(std::initializer_list<int32_t> entries) {
    std::unique_ptr<int32_t[]> list(new int32_t[entries.size()]);
    std::copy(entries.begin(), entries.end(), list.get());
    return list;
}

// Appends a row and sets its five cells; the first message, or the empty
// text when every cell was taken.
std::string tryAppendRow(uintptr_t table, const RowSpec& row);

// Fills a table through UVTFromText with records taken exactly as given
// (no validation), for states that the grid cannot produce: over-long
// names, unknown codes, links to rows that never existed. Returns its result.
struct RecordSpec {
    int32_t id;
    const char* name;
    int32_t type = 1;
    int32_t dimension = -1;
    int32_t depth = 0;
    int32_t io = 1;
    int32_t parentId = -50;
};
int32_t fillFromRecords(uintptr_t table, const std::vector<RecordSpec>& rows);

// Read-only views of the records, for checks the exports cannot show.
struct HeaderView {
    int32_t rowCount;
    int32_t hostIds[2];
    int32_t timeStamp;
    char functionName[16];
    uintptr_t rowArray;
    uintptr_t runtimeRoot;
    int32_t reserved[4];
    int32_t nextRowId;
    void* configInterface;
    uintptr_t elementArrays[3];
    int32_t elementCounts[3];
};
struct RowView {
    int32_t id;
    char name[20];
    int32_t type;
    int32_t dimension;
    int32_t depth;
    int32_t io;
    int32_t parentId;
};
HeaderView& header(uintptr_t table);
RowView& row(uintptr_t table, int32_t index);

// Mirrors of a layout-tree node and of an element slot as the host's memory
// holds them.
struct LeafView {
    union {
        int32_t i;
        double r;
        uintptr_t text;
    } value;
    int32_t valueType;
    int32_t io;
    int32_t valueSet;
};

struct alignas(8) NodeView {
    int32_t kind;  // 0 group, 1 value leaf
    uintptr_t parent;
    uintptr_t next;
    uintptr_t first;
    int32_t tag;
    uintptr_t name;
    union {
        LeafView leaf;
        int32_t counters[6];  // values, inputs, outputs, Integer, Real, Character
    };
};
static_assert(sizeof(void*) != 4 || sizeof(NodeView) == 48, "a node is 48 bytes with 32-bit pointers");

struct alignas(8) SlotView {
    int32_t changed;
    int32_t valueType;
    int32_t hasValue;
    union {
        int32_t i;
        double r;
        uintptr_t text;
    } value;
};
static_assert(sizeof(SlotView) == 24, "an element slot is 24 bytes");

// The blocks a table holds: its header, row array and rows, element arrays,
// and every node of its layout tree with the node's name and Character
// value. With every table counted, this is what the host should have live.
std::size_t blocksHeldBy(uintptr_t table);

// The handle of the table's layout index (the bookkeeping block kept in the
// header's spare words 2 and 3), 0 when it has none. Its size is always 3
// more than a multiple of 256, which tells it apart in a memory log.
uintptr_t layoutIndexOf(uintptr_t table);
inline bool isLayoutIndexSize(int32_t size) { return size >= 259 && size % 256 == 3; }

// A value an export pointed to, as text for a log: "i:2", "r:1.500000",
// "s:AB" for types 0, 1 and 2, "null" for no pointer, "?" for another type.
std::string pointedValue(const void* pointer, int32_t type);

// A memory trail (with whatever else was logged into it) as it would be had
// no layout index block ever been asked for: every allocation, refusal and
// release of an index block's size goes, and the other blocks are named
// again by their order in what is left. `indexBlocks` is increased by the
// index blocks that were made. Two runs of one session, one of them refused
// every index block, must give the same result.
std::vector<std::string> withoutLayoutIndexBlocks(const std::vector<std::string>& log, int& indexBlocks);

// Resets the tracking memory and the recorder and installs them, with the
// recording event routines, as the host's routines.
void installTestHost();

}  // namespace uvt_test
