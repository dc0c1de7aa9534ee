#pragma once

#include "tools/ToolEntry.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vellum {

class Config;
class Progress;

// The rows of the tool management window (name, path, category, document flag) and what its
// buttons do to them and to the settings group "Tools".
class ToolList {
public:
    static constexpr std::string_view kLocateTitle = "Locate executable/document file for tool: ";
    // The locate dialog's filter, in the form file dialogs of this system take.
    static constexpr std::string_view kLocateFilter =
        "Executables / Documents (*.exe *.bat *.sh *.txt *.rtf *.doc *.pdf *.htm *.html);;All files (*)";
    static constexpr std::string_view kRemoveAllQuestion = "Are you sure you want to remove all tools from the list?";

    explicit ToolList(Config& settings) : settings_(settings) { Load(); }

    std::vector<ToolEntry>& Rows() { return rows_; }
    const std::vector<ToolEntry>& Rows() const { return rows_; }

    void Load(); // the rows from "Tools"; values that cannot be read are left out
    // "Tools" rewritten from the rows, one variable per row, in row order. A second row of the
    // same name is reported by the configuration model and left out.
    void Save();

    // A file chosen in the locate dialog: replaces path and flag of row `row` (0-based), or,
    // with no row (-1), adds a "Root" row named by the file name without its extension.
    // Returns the row changed or added.
    std::size_t Locate(int row, const std::filesystem::path& file);

    // Asks first; true when the row or rows went.
    bool Remove(std::size_t row);
    bool RemoveAll();

    // The Scan button: asks, saves the rows, scans `roots` (the local disks when empty) with the
    // signature file, reloads the rows. Reports folders that could not be read, once. False
    // when the user said No.
    bool Scan(const Config& signatures, Progress* progress,
              const std::vector<std::filesystem::path>& roots = {});

    // The category choices of the grid: "Root", then the "ToolFolders" categories.
    std::vector<std::string> CategoryChoices() const;

private:
    Config& settings_;
    std::vector<ToolEntry> rows_;
};

} // namespace vellum
