// The tool's own host memory routines: every block the library asks for
// counts against a budget (--max-memory), so that a table too large for it
// ends in a clear message instead of exhausting the machine.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace uvt_tool {

constexpr uint64_t kDefaultMemoryBudget = uint64_t{2} << 30;

// "2G", "512M", "64K" or plain bytes; nothing for any other text.
std::optional<uint64_t> parseMemorySize(const std::string& text);
// The budget as the user gives it: "2G", "1536M", "100K", "512".
std::string memorySizeText(uint64_t bytes);

// Installs the routines with the budget; before the first table is made.
void installMemoryBudget(uint64_t bytes);
// True once a request was refused for the budget.
bool memoryBudgetExceeded();
uint64_t memoryBudget();
// Throws ToolError when bytes more would pass the budget.
void checkMemory(uint64_t bytes);
// Counts memory the tool itself is about to use; throws ToolError when it
// would pass the budget together with the library's.
void chargeToolMemory(uint64_t bytes);

}  // namespace uvt_tool
