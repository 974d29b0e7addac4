#include "persist/saved_state.h"

#include "persist/config_interface.h"
#include "table/row_numbers.h"
#include "table/row_rebuild.h"
#include "table/table_access.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace uvt {
namespace {

// Every piece is composed in a buffer of this size; no piece comes near it.
constexpr std::size_t kPieceSize = 120;
// A row name of this length or more marks the string as corrupt.
constexpr uint32_t kCorruptNameLength = 20;

class Reader {
public:
    Reader(UvtConfigInterface* config, RestoreSource source) : config_(config), source_(source) {}

    void begin() {
        if (source_ == RestoreSource::Primary) {
            config_->vtbl->BeginRestore(config_);
        } else {
            config_->vtbl->BeginRestoreRB(config_);
        }
    }

    // Bytes delivered, never more than asked for.
    int32_t read(char* buffer, int32_t count) {
        int32_t delivered = 0;
        if (source_ == RestoreSource::Primary) {
            config_->vtbl->RestoreBytes(config_, buffer, count, &delivered);
        } else {
            config_->vtbl->RestoreBytesRB(config_, buffer, count, &delivered);
        }
        if (delivered < 0) return 0;
        const int32_t taken = delivered > count ? count : delivered;
        offset_ += taken;
        return taken;
    }

    // Bytes read so far: the offset of the next byte in the string.
    int64_t offset() const { return offset_; }

    bool readByte(char* byte) { return read(byte, 1) == 1; }

    // Reads until `count` bytes have come or the data ends; a host that hands
    // out fewer bytes per call than asked for still gives the whole field.
    // Bytes delivered, never more than asked for.
    int32_t readFully(char* buffer, int32_t count) {
        int32_t total = 0;
        while (total < count) {
            const int32_t got = read(buffer + total, count - total);
            if (got <= 0) break;
            total += got;
        }
        return total;
    }

    // Reads and drops `count` bytes; false when the data ends first.
    bool skip(uint32_t count) {
        char scratch[64];
        while (count > 0) {
            const int32_t want = count < sizeof scratch ? static_cast<int32_t>(count) : 64;
            const int32_t got = read(scratch, want);
            if (got <= 0) return false;
            count -= static_cast<uint32_t>(got);
        }
        return true;
    }

private:
    UvtConfigInterface* config_;
    RestoreSource source_;
    int64_t offset_ = 0;
};

// Decimal digits with every other byte counting as digit 0. Unsigned
// arithmetic wraps instead of overflowing; the value saturates above any
// count the reader cares about.
void accumulate(uint32_t& value, char byte) {
    const uint32_t digit = (byte >= '0' && byte <= '9') ? static_cast<uint32_t>(byte - '0') : 0;
    value = value > 100000000u ? 1000000000u : value * 10 + digit;
}

enum class HeaderState { Count, HostValue, TimeStamp, NameLength };

std::string storedName(const TableHeader& header) {
    return std::string(header.functionName, strnlen(header.functionName, sizeof header.functionName));
}

// The function name: `length` bytes, of which the field keeps 15. The rest
// are read and dropped, so that the rows still start where they should.
// With an observer, a name the table does not hold as the string does is
// reported at its first byte.
void readFunctionName(Reader& reader, TableHeader& header, uint32_t length, ReadObserver* observer) {
    constexpr uint32_t kRoom = kFunctionNameCapacity - 1;
    const uint32_t kept = length < kRoom ? length : kRoom;
    const ReadPosition start = reader.offset();
    std::memset(header.functionName, 0, sizeof header.functionName);
    const int32_t got = kept > 0 ? reader.readFully(header.functionName, static_cast<int32_t>(kept)) : 0;
    if (observer == nullptr) {
        if (length > kept) reader.skip(length - kept);
        return;
    }
    std::string held(header.functionName, static_cast<std::size_t>(got));
    uint32_t rest = length - kept;
    while (rest > 0) {
        char scratch[64];
        const int32_t want = rest < sizeof scratch ? static_cast<int32_t>(rest) : 64;
        const int32_t more = reader.read(scratch, want);
        if (more <= 0) break;
        held.append(scratch, static_cast<std::size_t>(more));
        rest -= static_cast<uint32_t>(more);
    }
    const std::string result = storedName(header);
    HeaderChange change = HeaderChange::Rewritten;
    if (held.size() < length) {
        change = HeaderChange::EndsEarly;
    } else if (length > kept) {
        change = HeaderChange::Cut;
    } else if (result == held) {
        return;
    }
    tellObserver(observer, [&] { return HeaderReport{start, HeaderField::FunctionName, change, held, result}; });
}

// Reads the header; false when the data ended within it. With an observer,
// a time stamp or function name that the table does not hold as the string
// does is reported where its field begins.
bool readHeader(Reader& reader, TableHeader& header, uint32_t* rowCount, ReadObserver* observer) {
    HeaderState state = HeaderState::Count;
    uint32_t value = 0;
    // The time stamp wraps like a 32-bit value. A "-" as its first byte
    // makes it negative: 32-bit time stamps turn negative in 2038, and the
    // writer then puts a sign in front, which must not be read as a digit.
    uint32_t timeValue = 0;
    bool timeFieldStarted = false;
    bool timeNegative = false;
    // With an observer: the time-stamp field's bytes, "$" included, and
    // where they begin.
    std::string timeText;
    ReadPosition fieldStart = 0;
    char byte = 0;
    const auto nextField = [&](HeaderState next) {
        state = next;
        value = 0;
        timeValue = 0;
        timeFieldStarted = false;
        timeNegative = false;
        fieldStart = reader.offset();
    };
    const auto timeStampReport = [&](HeaderChange change, const std::string& held) {
        return HeaderReport{fieldStart, HeaderField::TimeStamp, change, held, std::to_string(header.timeStamp)};
    };
    for (;;) {
        if (!reader.readByte(&byte)) {
            if (observer == nullptr) return false;
            if (state == HeaderState::TimeStamp) {
                tellObserver(observer, [&] { return timeStampReport(HeaderChange::EndsEarly, timeText); });
            } else if (state == HeaderState::NameLength) {
                tellObserver(observer, [&] {
                    return HeaderReport{fieldStart, HeaderField::FunctionName, HeaderChange::EndsEarly, "",
                                        storedName(header)};
                });
            } else {
                tellObserver(observer, [&] { return timeStampReport(HeaderChange::Missing, ""); });
            }
            return false;
        }
        if (observer != nullptr && state == HeaderState::TimeStamp && byte != '#') timeText.push_back(byte);
        if (byte != '#' && byte != '$') {
            accumulate(value, byte);
            if (state == HeaderState::TimeStamp && !timeFieldStarted && byte == '-') timeNegative = true;
            timeFieldStarted = true;
            const uint32_t digit = (byte >= '0' && byte <= '9') ? static_cast<uint32_t>(byte - '0') : 0;
            timeValue = timeValue * 10u + digit;
            continue;
        }
        switch (state) {
            case HeaderState::Count:
                if (byte == '$') {
                    *rowCount = value;
                    nextField(HeaderState::HostValue);
                }
                break;
            case HeaderState::HostValue:
                if (byte == '#') {
                    nextField(HeaderState::TimeStamp);  // the host value is not restored
                } else {
                    // No time stamp and no name.
                    if (observer != nullptr) {
                        fieldStart = reader.offset() - 1;
                        tellObserver(observer, [&] { return timeStampReport(HeaderChange::Missing, ""); });
                    }
                    return true;
                }
                break;
            case HeaderState::TimeStamp:
                if (byte == '#') {
                    header.timeStamp = static_cast<int32_t>(timeNegative ? 0u - timeValue : timeValue);
                    if (observer != nullptr && !isPlainDecimal(timeText, header.timeStamp)) {
                        tellObserver(observer, [&] { return timeStampReport(HeaderChange::Rewritten, timeText); });
                    }
                    nextField(HeaderState::NameLength);
                }
                break;
            case HeaderState::NameLength:
                if (byte == '$') {
                    readFunctionName(reader, header, value, observer);
                    return true;
                }
                break;
        }
    }
}

// A field up to its "$": a leading "-" makes it negative, other "-" are
// skipped, other bytes count as digit 0. False when the data ends first.
// With `text`, the field's bytes are appended to it.
bool readField(Reader& reader, int32_t* result, std::string* text) {
    bool first = true;
    bool negative = false;
    uint32_t value = 0;
    char byte = 0;
    for (;;) {
        if (!reader.readByte(&byte)) return false;
        if (byte == '$') break;
        if (text != nullptr) text->push_back(byte);
        if (byte == '-') {
            if (first) negative = true;
        } else {
            accumulate(value, byte);
        }
        first = false;
    }
    const int32_t magnitude = value > 1000000000u ? 1000000000 : static_cast<int32_t>(value);
    *result = negative ? -magnitude : magnitude;
    return true;
}

bool readNameLength(Reader& reader, uint32_t* length) {
    char byte = 0;
    uint32_t value = 0;
    if (!reader.readByte(&byte)) return false;
    accumulate(value, byte);  // the first byte always belongs to the number
    for (;;) {
        if (!reader.readByte(&byte)) return false;
        if (byte == '$') break;
        accumulate(value, byte);
    }
    *length = value;
    return true;
}

}  // namespace

int32_t saveTable(uintptr_t table) {
    const TableHeader* header = resolveTable(table);
    if (header == nullptr || header->configInterface == nullptr) return 0;
    UvtConfigInterface* config = configOf(*header);
    char piece[kPieceSize];
    const std::size_t nameLength = strnlen(header->functionName, sizeof header->functionName - 1);
    int length = std::snprintf(piece, sizeof piece, "%d$%d#%d#%d$%.*s", static_cast<int>(header->rowCount),
                               static_cast<int>(header->hostIds[0]), static_cast<int>(header->timeStamp),
                               static_cast<int>(nameLength), static_cast<int>(nameLength), header->functionName);
    RowNumbers rowNumbers(*header);
    config->vtbl->BeginSave(config);
    int32_t result = config->vtbl->SaveBytes(config, piece, length);
    for (int32_t i = 0; i < header->rowCount; ++i) {
        const VariableRow* row = rowAt(*header, i);
        if (row == nullptr) continue;
        const std::size_t rowNameLength = strnlen(row->name, sizeof row->name - 1);
        length = std::snprintf(piece, sizeof piece, "%d$%.*s%d$%d$%d$%d$", static_cast<int>(rowNameLength),
                               static_cast<int>(rowNameLength), row->name, static_cast<int>(row->type),
                               static_cast<int>(rowNumbers.storedDimension(row->dimension)),
                               static_cast<int>(row->depth), static_cast<int>(row->io));
        result = config->vtbl->SaveBytes(config, piece, length);
    }
    return result;
}

int32_t restoreTable(uintptr_t table, RestoreSource source, ReadObserver* observer) {
    TableHeader* header = resolveTable(table);
    if (header == nullptr || header->configInterface == nullptr) return 0;
    RestoreScope restoring;
    Reader reader(configOf(*header), source);
    reader.begin();

    uint32_t announced = 0;
    if (!readHeader(reader, *header, &announced, observer)) return 0;

    RowRebuild rebuild(table, 0, observer);
    uint32_t restored = 0;
    for (uint32_t k = 0; k < announced; ++k) {
        uint32_t nameLength = 0;
        const ReadPosition lengthField = reader.offset();
        if (!readNameLength(reader, &nameLength)) break;
        if (nameLength >= kCorruptNameLength) {
            tellObserver(observer, [&] {
                return ConstructReport{lengthField, 0, FileConstruct::LongRowName, std::to_string(nameLength)};
            });
            break;
        }
        const int32_t row = rebuild.insertRow();
        if (row < 0) break;
        rebuild.setPosition(reader.offset());
        char name[kNameCapacity] = {};
        if (nameLength > 0 &&
            reader.readFully(name, static_cast<int32_t>(nameLength)) < static_cast<int32_t>(nameLength)) {
            break;
        }
        // A name over 16 characters is refused here like a typed one, and the
        // rows after it are still read.
        rebuild.setName(row, name);

        // A field that is not the plain decimal form of the value read from
        // it (other bytes count as digit 0, a "-" inside is skipped) is
        // reported with its own text.
        int32_t value = 0;
        std::string text;
        std::string* const held = observer != nullptr ? &text : nullptr;
        const auto readCell = [&]() {
            text.clear();
            rebuild.setPosition(reader.offset());
            if (!readField(reader, &value, held)) return false;
            if (held != nullptr && !isPlainDecimal(text, value)) rebuild.setHeldText(text);
            return true;
        };
        if (!readCell()) break;
        rebuild.setType(row, value);

        if (!readCell()) break;
        if (value < 0) {
            rebuild.setDimensionCode(row, value);
        } else if (static_cast<uint32_t>(value) > k && static_cast<uint32_t>(value) < announced) {
            rebuild.deferDimension(row, value);  // set once its row exists
        } else {
            rebuild.setDimensionToRow(row, value);
        }

        if (!readCell()) break;
        rebuild.setDepth(row, value);

        if (!readCell()) break;
        rebuild.setIo(row, value);
        restored = k + 1;
    }
    rebuild.settleDimensions(static_cast<int32_t>(restored));
    return (restored == announced && announced >= 1) ? static_cast<int32_t>(announced) : 0;
}

}  // namespace uvt
