#include "host_doubles.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <utility>

namespace uvt_test {

// ---------------------------------------------------------------------------
TrackingMemory& TrackingMemory::instance() {
    static TrackingMemory memory;
    return memory;
}

void TrackingMemory::reset() {
    for (auto& [handle, block] : blocks_) std::free(block.data);
    blocks_.clear();
    allocationCount_ = 0;
    failAt_ = 0;
    failFrom_ = 0;
    liveLimit_ = 0;
    uncountedLive_ = 0;
    outsideLiveLimit = nullptr;
    refusedCount_ = 0;
    reallocationCount_ = 0;
    resolveCount_ = 0;
    allocationSizes_.clear();
    faults_.clear();
    refuseSize = nullptr;
    recordTrail(false);
}

void TrackingMemory::recordTrail(bool on) {
    trail_.clear();
    recordTrailInto(trail_);
    if (!on) trailTarget_ = nullptr;
}

void TrackingMemory::recordTrailInto(std::vector<std::string>& log) {
    trailTarget_ = &log;
    trailNames_.clear();
    nextTrailName_ = 0;
}

std::string TrackingMemory::blockName(uintptr_t handle) {
    const auto [it, fresh] = trailNames_.emplace(handle, nextTrailName_);
    if (fresh) ++nextTrailName_;
    std::string name(1, '#');
    name += std::to_string(it->second);
    return name;
}

void TrackingMemory::failAllocation(int n) { failAt_ = n == 0 ? 0 : allocationCount_ + n; }
void TrackingMemory::failFrom(int n) { failFrom_ = n == 0 ? 0 : allocationCount_ + n; }

bool TrackingMemory::nextAllocationFails() {
    ++allocationCount_;
    if (liveLimit_ != 0 && blocks_.size() - uncountedLive_ >= liveLimit_) return true;
    return allocationCount_ == failAt_ || (failFrom_ != 0 && allocationCount_ >= failFrom_);
}

std::vector<std::string> TrackingMemory::takeFaults() {
    std::vector<std::string> taken;
    taken.swap(faults_);
    return taken;
}

int32_t TrackingMemory::sizeOf(uintptr_t handle) const {
    auto it = blocks_.find(handle);
    return it == blocks_.end() ? -1 : it->second.size;
}

uintptr_t UVT_HOSTCALL TrackingMemory::allocate(int32_t size) {
    TrackingMemory& m = instance();
    m.allocationSizes_.push_back(size);
    if (size < 0) {
        m.faults_.push_back("allocate with negative size " + std::to_string(size));
        return 0;
    }
    if (m.nextAllocationFails() || (m.refuseSize && m.refuseSize(size))) {
        ++m.refusedCount_;
        m.note("allocate " + std::to_string(size) + " refused");
        return 0;
    }
    void* data = std::malloc(size == 0 ? 1 : static_cast<std::size_t>(size));
    // Garbage, so that a field the library forgets to set shows.
    std::memset(data, 0xA5, size == 0 ? 1 : static_cast<std::size_t>(size));
    const uintptr_t handle = m.nextHandle_;
    m.nextHandle_ += 0x10;
    m.blocks_[handle] = Block{data, size};
    if (!m.countsAgainstLimit(size)) ++m.uncountedLive_;
    // A handle given out again is a new block.
    if (m.trailTarget_ != nullptr) {
        m.trailNames_.erase(handle);
        m.note("allocate " + std::to_string(size) + " = " + m.blockName(handle));
    }
    return handle;
}

void UVT_HOSTCALL TrackingMemory::release(uintptr_t handle, int32_t size) {
    TrackingMemory& m = instance();
    if (m.trailTarget_ != nullptr) m.note("release " + m.blockName(handle) + " " + std::to_string(size));
    auto it = m.blocks_.find(handle);
    if (it == m.blocks_.end()) {
        m.faults_.push_back("release of unknown handle " + std::to_string(handle));
        return;
    }
    if (it->second.size != size) {
        m.faults_.push_back("release of a " + std::to_string(it->second.size) + "-byte block with size " +
                            std::to_string(size));
    }
    // Overwritten before it goes, so that a use after release shows.
    std::memset(it->second.data, 0x5A, it->second.size == 0 ? 1 : static_cast<std::size_t>(it->second.size));
    std::free(it->second.data);
    if (!m.countsAgainstLimit(it->second.size) && m.uncountedLive_ > 0) --m.uncountedLive_;
    m.blocks_.erase(it);
}

void* UVT_HOSTCALL TrackingMemory::resolve(uintptr_t handle) {
    TrackingMemory& m = instance();
    ++m.resolveCount_;
    auto it = m.blocks_.find(handle);
    if (it == m.blocks_.end()) {
        if (handle != 0) m.faults_.push_back("resolve of unknown handle " + std::to_string(handle));
        return nullptr;
    }
    return it->second.data;
}

uintptr_t UVT_HOSTCALL TrackingMemory::reallocate(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    TrackingMemory& m = instance();
    ++m.reallocationCount_;
    if (m.trailTarget_ != nullptr) {
        m.note("reallocate " + m.blockName(handle) + " " + std::to_string(oldSize) + " " + std::to_string(newSize));
    }
    auto it = m.blocks_.find(handle);
    if (it == m.blocks_.end()) {
        m.faults_.push_back("reallocate of unknown handle " + std::to_string(handle));
        return 0;
    }
    if (it->second.size != oldSize) {
        m.faults_.push_back("reallocate of a " + std::to_string(it->second.size) + "-byte block as " +
                            std::to_string(oldSize));
    }
    const uintptr_t fresh = allocate(newSize);
    if (fresh == 0) return 0;
    const int32_t common = std::min(it->second.size, newSize);
    if (common > 0) std::memcpy(m.blocks_[fresh].data, m.blocks_[handle].data, static_cast<std::size_t>(common));
    release(handle, m.blocks_[handle].size);
    return fresh;
}

// ---------------------------------------------------------------------------
FlatMemory& FlatMemory::instance() {
    static FlatMemory memory;
    return memory;
}

uintptr_t UVT_HOSTCALL FlatMemory::allocate(int32_t size) {
    FlatMemory& m = instance();
    if (size < 0) return 0;
    uintptr_t handle;
    if (!m.free_.empty()) {
        handle = m.free_.back();
        m.free_.pop_back();
    } else {
        handle = m.blocks_.size();
        m.blocks_.emplace_back();
    }
    m.blocks_[handle] = Block{std::malloc(size == 0 ? 1 : static_cast<std::size_t>(size)), size};
    return handle;
}

void UVT_HOSTCALL FlatMemory::release(uintptr_t handle, int32_t size) {
    FlatMemory& m = instance();
    if (handle == 0 || handle >= m.blocks_.size() || m.blocks_[handle].data == nullptr ||
        m.blocks_[handle].size != size) {
        std::abort();
    }
    std::free(m.blocks_[handle].data);
    m.blocks_[handle] = Block{};
    m.free_.push_back(handle);
}

void* UVT_HOSTCALL FlatMemory::resolve(uintptr_t handle) {
    FlatMemory& m = instance();
    return handle < m.blocks_.size() ? m.blocks_[handle].data : nullptr;
}

uintptr_t UVT_HOSTCALL FlatMemory::reallocate(uintptr_t handle, int32_t oldSize, int32_t newSize) {
    FlatMemory& m = instance();
    if (handle == 0 || handle >= m.blocks_.size() || m.blocks_[handle].size != oldSize) std::abort();
    void* grown = std::realloc(m.blocks_[handle].data, newSize == 0 ? 1 : static_cast<std::size_t>(newSize));
    if (grown == nullptr) return 0;
    m.blocks_[handle] = Block{grown, newSize};
    return handle;
}

// ---------------------------------------------------------------------------
HostRecorder& HostRecorder::instance() {
    static HostRecorder recorder;
    return recorder;
}

void HostRecorder::reset() {
    log.clear();
    sizes.clear();
    releaseEvents = 0;
    replacePhases.clear();
    lastHostValues = nullptr;
    resizeAnswer = nullptr;
    storeAnswer = nullptr;
}

std::vector<std::string> HostRecorder::entries(const std::string& kind) const {
    std::vector<std::string> result;
    for (const std::string& entry : log) {
        if (entry.compare(0, kind.size(), kind) == 0 && entry.size() > kind.size() &&
            (entry[kind.size()] == '(' || kind == entry)) {
            result.push_back(entry);
        } else if (entry == kind) {
            result.push_back(entry);
        }
    }
    return result;
}

int32_t UVT_HOSTCALL HostRecorder::querySize(int32_t* hostValues, int32_t code) {
    HostRecorder& r = instance();
    r.lastHostValues = hostValues;
    r.log.push_back("query(" + std::to_string(code) + ")");
    auto it = r.sizes.find(code);
    return it == r.sizes.end() ? 1 : it->second;
}

const char* UVT_HOSTCALL HostRecorder::resizeArray(int32_t* hostValues, int32_t array, int32_t count) {
    HostRecorder& r = instance();
    r.lastHostValues = hostValues;
    r.log.push_back("resize(" + std::to_string(array) + "," + std::to_string(count) + ")");
    return r.resizeAnswer ? r.resizeAnswer(array, count) : nullptr;
}

const char* UVT_HOSTCALL HostRecorder::storeElement(int32_t* hostValues, int32_t array, int32_t element,
                                                    const void* value) {
    HostRecorder& r = instance();
    r.lastHostValues = hostValues;
    std::ostringstream entry;
    entry << "store(" << array << "," << element << ",";
    if (value == nullptr) {
        entry << "null";
    } else if (array == 0) {
        entry << "i:" << *static_cast<const int32_t*>(value);
    } else if (array == 1) {
        entry << "r:" << *static_cast<const double*>(value);
    } else if (array == 2) {
        entry << "s:" << static_cast<const char*>(value);
    } else {
        entry << "?";
    }
    entry << ")";
    r.log.push_back(entry.str());
    return r.storeAnswer ? r.storeAnswer(array, element, value) : nullptr;
}

void UVT_HOSTCALL HostRecorder::releaseEvent() {
    HostRecorder& r = instance();
    ++r.releaseEvents;
    r.log.push_back("release");
}

void UVT_HOSTCALL HostRecorder::replaceEvent(int32_t phase) {
    HostRecorder& r = instance();
    r.replacePhases.push_back(phase);
    r.log.push_back("replace(" + std::to_string(phase) + ")");
}

// ---------------------------------------------------------------------------
const UvtConfigInterfaceVtbl ConfigObject::kVtbl = {
    &ConfigObject::queryInterface, &ConfigObject::addRef,         &ConfigObject::releaseRef,
    &ConfigObject::beginSave,      nullptr,                       &ConfigObject::restoreBytesRB,
    &ConfigObject::saveBytes,      &ConfigObject::beginRestoreRB, nullptr,
    &ConfigObject::restoreBytes,   &ConfigObject::beginRestore,
};

ConfigObject::ConfigObject() : com_{&kVtbl, this} {}

std::string ConfigObject::saved() const {
    std::string all;
    for (const std::string& piece : pieces) all += piece;
    return all;
}

int32_t UVT_CALL ConfigObject::queryInterface(UvtConfigInterface* com, const GUID* iid, void** out) {
    static const GUID kWanted = UVT_CONFIG_INTERFACE_ID_INIT;
    ConfigObject* me = self(com);
    me->calls.emplace_back("QueryInterface");
    if (iid != nullptr) me->lastIid = *iid;
    if (out == nullptr) return static_cast<int32_t>(0x80004003u);
    if (!me->offersInterface || iid == nullptr || std::memcmp(iid, &kWanted, sizeof kWanted) != 0) {
        *out = nullptr;
        return static_cast<int32_t>(0x80004002u);
    }
    ++me->references;
    *out = com;
    return 0;
}

uint32_t UVT_CALL ConfigObject::addRef(UvtConfigInterface* com) {
    self(com)->calls.emplace_back("AddRef");
    return static_cast<uint32_t>(++self(com)->references);
}

uint32_t UVT_CALL ConfigObject::releaseRef(UvtConfigInterface* com) {
    self(com)->calls.emplace_back("Release");
    return static_cast<uint32_t>(--self(com)->references);
}

int32_t UVT_CALL ConfigObject::beginSave(UvtConfigInterface* com) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("BeginSave");
    ++me->beginSaves;
    me->pieces.clear();
    if (me->onBeginSave) me->onBeginSave();
    return 0;
}

int32_t UVT_CALL ConfigObject::saveBytes(UvtConfigInterface* com, const char* bytes, int32_t length) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("SaveBytes");
    me->pieces.emplace_back(bytes, static_cast<std::size_t>(length));
    me->everyPiece.push_back(me->pieces.back());
    return me->saveResult;
}

// The most bytes the next read may deliver; -1 for no limit.
int32_t ConfigObject::readLimit() {
    if (readSizes.empty()) return bytesPerRead > 0 ? bytesPerRead : -1;
    const int32_t limit = readSizes[nextReadSize_ % readSizes.size()];
    ++nextReadSize_;
    return limit < 0 ? 0 : limit;
}

int32_t ConfigObject::read(std::string& from, std::size_t& position, int32_t limit, char* buffer, int32_t count,
                           int32_t* delivered) {
    std::size_t n = count < 0 ? 0 : static_cast<std::size_t>(count);
    if (limit >= 0 && n > static_cast<std::size_t>(limit)) n = static_cast<std::size_t>(limit);
    if (n > from.size() - position) n = from.size() - position;
    std::memcpy(buffer, from.data() + position, n);
    position += n;
    *delivered = static_cast<int32_t>(n);
    return 0;
}

int32_t UVT_CALL ConfigObject::restoreBytes(UvtConfigInterface* com, char* buffer, int32_t count,
                                            int32_t* delivered) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("RestoreBytes");
    me->readCounts.push_back(count);
    return read(me->primary, me->primaryPosition, me->readLimit(), buffer, count, delivered);
}

int32_t UVT_CALL ConfigObject::restoreBytesRB(UvtConfigInterface* com, char* buffer, int32_t count,
                                              int32_t* delivered) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("RestoreBytesRB");
    me->readCounts.push_back(count);
    return read(me->second, me->secondPosition, me->readLimit(), buffer, count, delivered);
}

int32_t UVT_CALL ConfigObject::beginRestore(UvtConfigInterface* com) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("BeginRestore");
    ++me->beginRestores;
    me->primaryPosition = 0;
    return 0;
}

int32_t UVT_CALL ConfigObject::beginRestoreRB(UvtConfigInterface* com) {
    ConfigObject* me = self(com);
    me->calls.emplace_back("BeginRestoreRB");
    ++me->beginRestoresRB;
    me->secondPosition = 0;
    return 0;
}

// ---------------------------------------------------------------------------
Bstr::Bstr(const std::u16string& text)
    : text_(SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()), static_cast<uint32_t>(text.size()))) {}

Bstr::Bstr(const char* ascii) : text_(nullptr) {
    std::u16string wide;
    for (const char* p = ascii; *p != 0; ++p) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(*p)));
    text_ = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<uint32_t>(wide.size()));
}

Bstr::~Bstr() { SysFreeString(text_); }

VARIANT Bstr::variant() const {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = text_;
    return v;
}

std::string Bstr::ascii() const { return toAscii(text_); }

std::string toAscii(const OLECHAR* text) {
    std::string result;
    if (text == nullptr) return result;
    for (; *text != 0; ++text) result.push_back(*text < 128 ? static_cast<char>(*text) : '?');
    return result;
}

std::string take(VARIANT value) {
    std::string result = kEmpty;
    if (value.vt == VT_BSTR) result = toAscii(value.bstrVal);
    else if (value.vt != VT_EMPTY) result = "<vt " + std::to_string(value.vt) + ">";
    VariantClear(&value);
    return result;
}

std::u16string takeWide(VARIANT value) {
    std::u16string result = u"<EMPTY>";
    if (value.vt == VT_BSTR) {
        const auto* text = reinterpret_cast<const char16_t*>(value.bstrVal);
        result.assign(text == nullptr ? u"" : text, text == nullptr ? 0 : SysStringLen(value.bstrVal));
    } else if (value.vt != VT_EMPTY) {
        result = u"<vt>";
    }
    VariantClear(&value);
    return result;
}

std::string setCell(uintptr_t table, int32_t column, int32_t row, const char* text) {
    Bstr value(text);
    int32_t reserved = 0;
    return take(dfnSetValue(table, column, row, value.variant(), &reserved));
}

std::string setCellNull(uintptr_t table, int32_t column, int32_t row) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = nullptr;
    int32_t reserved = 0;
    return take(dfnSetValue(table, column, row, value, &reserved));
}

std::string getCell(uintptr_t table, int32_t column, int32_t row) { return take(dfnGetValue(table, column, row)); }

std::string tryAppendRow(uintptr_t table, const RowSpec& wanted) {
    const int32_t index = dfnCountRows(table);
    if (dfnInsertRow(table, index) == 0) return "row not inserted";
    const char* cells[] = {wanted.name, wanted.type, wanted.dimension, wanted.depth, wanted.io};
    for (int32_t column = 0; column < 5; ++column) {
        std::string answer = setCell(table, column, index, cells[column]);
        if (answer != kEmpty) return std::string(wanted.name) + ": " + answer;
    }
    return std::string();
}

namespace {
// The tokens that the next UVTFromText call reads, one per request.
struct PendingToken {
    bool isText;
    std::string text;
    int32_t number;
};
std::vector<PendingToken> pendingTokens;
std::size_t nextToken = 0;

int32_t UVT_HOSTCALL recordSource(int32_t kind, void* destination) {
    if (nextToken >= pendingTokens.size()) return 0;
    const PendingToken& token = pendingTokens[nextToken++];
    if (token.isText != (kind == 0)) return 0;
    if (token.isText) {
        std::memcpy(destination, token.text.c_str(), token.text.size() + 1);
    } else {
        std::memcpy(destination, &token.number, sizeof token.number);
    }
    return 1;
}
}  // namespace

int32_t fillFromRecords(uintptr_t table, const std::vector<RecordSpec>& rows) {
    pendingTokens.clear();
    nextToken = 0;
    const auto text = [](const char* value) { pendingTokens.push_back({true, value, 0}); };
    const auto number = [](int32_t value) { pendingTokens.push_back({false, std::string(), value}); };
    text("");
    number(header(table).timeStamp);
    number(static_cast<int32_t>(rows.size()));
    for (const RecordSpec& wanted : rows) {
        number(wanted.id);
        text(wanted.name);  // at most 19 characters: the field holds 20 bytes
        number(wanted.type);
        number(wanted.dimension);
        number(wanted.depth);
        number(wanted.io);
        number(wanted.parentId);
    }
    return UVTFromText(table, &recordSource);
}

HeaderView& header(uintptr_t table) { return *TrackingMemory::instance().view<HeaderView>(table); }

RowView& row(uintptr_t table, int32_t index) {
    HeaderView& h = header(table);
    auto* slots = TrackingMemory::instance().view<uintptr_t>(h.rowArray);
    return *TrackingMemory::instance().view<RowView>(slots[index]);
}

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The size an allocation ("allocate 44 = #1", "allocate 44 refused") or a
// release ("release #1 44") of the trail is about; nullopt for other entries.
std::optional<int32_t> trailEntrySize(const std::string& entry) {
    if (startsWith(entry, "allocate ")) return std::atoi(entry.c_str() + 9);
    if (startsWith(entry, "release #")) {
        const std::size_t space = entry.rfind(' ');
        return std::atoi(entry.c_str() + space + 1);
    }
    return std::nullopt;
}

}  // namespace

std::string pointedValue(const void* pointer, int32_t type) {
    if (pointer == nullptr) return "null";
    if (type == 0) return "i:" + std::to_string(*static_cast<const int32_t*>(pointer));
    if (type == 1) return "r:" + std::to_string(*static_cast<const double*>(pointer));
    if (type == 2) return std::string("s:").append(static_cast<const char*>(pointer));
    return "?";
}

std::vector<std::string> withoutLayoutIndexBlocks(const std::vector<std::string>& log, int& indexBlocks) {
    std::vector<std::string> kept;
    kept.reserve(log.size());
    std::map<std::string, int> names;
    for (const std::string& entry : log) {
        const std::optional<int32_t> size = trailEntrySize(entry);
        if (size && isLayoutIndexSize(*size)) {
            if (startsWith(entry, "allocate ") && entry.find("refused") == std::string::npos) ++indexBlocks;
            continue;
        }
        if (!size && !startsWith(entry, "reallocate ")) {
            kept.push_back(entry);  // a host call or a note of the test, such as "/S/A#3", stays as it is
            continue;
        }
        std::string renamed;
        for (std::size_t at = 0; at < entry.size();) {
            const std::size_t mark = entry.find('#', at);
            if (mark == std::string::npos) {
                renamed.append(entry, at, std::string::npos);
                break;
            }
            std::size_t end = mark + 1;
            while (end < entry.size() && entry[end] >= '0' && entry[end] <= '9') ++end;
            renamed.append(entry, at, mark - at);
            const auto [name, fresh] = names.emplace(entry.substr(mark, end - mark), static_cast<int>(names.size()));
            renamed.append("#").append(std::to_string(name->second));
            at = end;
        }
        kept.push_back(std::move(renamed));
    }
    return kept;
}

uintptr_t layoutIndexOf(uintptr_t table) {
    const HeaderView* head = TrackingMemory::instance().view<HeaderView>(table);
    uintptr_t handle = 0;
    if (head != nullptr) std::memcpy(&handle, &head->reserved[2], sizeof handle);
    return handle;
}

std::size_t blocksHeldBy(uintptr_t table) {
    TrackingMemory& memory = TrackingMemory::instance();
    const HeaderView* head = memory.view<HeaderView>(table);
    if (head == nullptr) return 0;
    std::size_t blocks = 1;
    if (const auto* slots = memory.view<uintptr_t>(head->rowArray)) {
        ++blocks;
        for (int32_t i = 0; i < head->rowCount; ++i) blocks += slots[i] != 0 ? 1 : 0;
    }
    for (const uintptr_t array : head->elementArrays) blocks += array != 0 ? 1 : 0;
    blocks += layoutIndexOf(table) != 0 ? 1 : 0;
    // Iterative, and bounded by what the host holds, so that a broken tree
    // ends the count instead of the test.
    std::vector<uintptr_t> pending;
    if (head->runtimeRoot != 0) pending.push_back(head->runtimeRoot);
    while (!pending.empty() && blocks <= memory.liveBlocks()) {
        const uintptr_t handle = pending.back();
        pending.pop_back();
        const NodeView* node = memory.view<NodeView>(handle);
        if (node == nullptr) continue;
        blocks += 1 + (node->name != 0 ? 1 : 0);
        if (node->kind == 1 && node->leaf.valueType == 2 && node->leaf.value.text != 0) ++blocks;
        if (node->next != 0) pending.push_back(node->next);
        if (node->kind == 0 && node->first != 0) pending.push_back(node->first);
    }
    return blocks;
}

// ---------------------------------------------------------------------------
void installFlatHost(const UvtSymsizeRoutines& symsize, const UvtEventRoutines& events) {
    static const UvtMemoryRoutines kMemory = {&FlatMemory::allocate, &FlatMemory::release, &FlatMemory::resolve,
                                              &FlatMemory::reallocate};
    SetExtRoutines(&kMemory);
    SetExtSymsize(&symsize);
    SetExtUVTEvents(&events);
}

void installTestHost() {
    TrackingMemory::instance().reset();
    HostRecorder::instance().reset();
    static const UvtMemoryRoutines kMemory = {&TrackingMemory::allocate, &TrackingMemory::release,
                                              &TrackingMemory::resolve, &TrackingMemory::reallocate};
    static const UvtSymsizeRoutines kSymsize = {&HostRecorder::querySize, &HostRecorder::resizeArray,
                                                &HostRecorder::storeElement};
    static const UvtEventRoutines kEvents = {&HostRecorder::releaseEvent, &HostRecorder::replaceEvent};
    SetExtRoutines(&kMemory);
    SetExtSymsize(&kSymsize);
    SetExtUVTEvents(&kEvents);
}

}  // namespace uvt_test
