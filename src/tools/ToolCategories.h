#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vellum {

class Config;

// The categories window: the "ToolFolders" categories in menu order, moved up and down,
// renamed, added or removed, and written back on OK.
class ToolCategories {
public:
    struct Row {
        std::string Name;
        std::string Original; // the name read; empty for a row added here
        int Order = 0;
    };

    explicit ToolCategories(Config& settings);

    std::vector<Row>& Rows() { return rows_; }
    const std::vector<Row>& Rows() const { return rows_; }

    bool Up(std::size_t row);   // swaps with the row above; false at the top
    bool Down(std::size_t row); // swaps with the row below; false at the bottom
    void Add(std::string name);

    // Rewrites "ToolFolders" with orders 1, 2, … in row order, then brings "Tools" in line:
    // a renamed category is renamed in its tools, a removed one sends its tools to "Root".
    void Save();

private:
    Config& settings_;
    std::vector<Row> rows_;
};

} // namespace vellum
