// The notices of a table read by the library's own readers: what they tell
// their observer, as the tool reports it, each with its line or byte.
#pragma once

#include "table_file.h"

#include "table/read_observer.h"

#include <string>
#include <vector>

namespace uvt_tool {

class ReaderNotices final : public uvt::ReadObserver {
public:
    enum class Unit { Line, Byte };
    // `lines` are the file's lines, for excerpts of FORTRAN text; a byte
    // offset is counted from `firstByte` of the file, shown from 1.
    ReaderNotices(Unit unit, const std::vector<std::string>* lines, std::size_t firstByte = 0)
        : unit_(unit), lines_(lines), firstByte_(firstByte) {}

    void cellChanged(const uvt::CellReport& report) override;
    void construct(const uvt::ConstructReport& report) override;
    void headerChanged(const uvt::HeaderReport& report) override;

    bool empty() const { return items_.empty(); }
    // The notices in file order (a dimension set late is reported with its row).
    std::vector<ReadNotice> notices() const;

private:
    struct Item {
        uvt::ReadPosition position;
        std::string message;
    };
    std::string where(uvt::ReadPosition position) const;

    Unit unit_;
    const std::vector<std::string>* lines_;
    std::size_t firstByte_;
    std::vector<Item> items_;
};

}  // namespace uvt_tool
