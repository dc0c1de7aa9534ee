#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace vellum {

// Where index files go. The file output writes beside the target and renames over it on
// Commit, so a failed write never leaves half an index under the real name. Tests install a
// factory of their own to make writes fail.
class IndexOutput {
public:
    virtual ~IndexOutput() = default;
    virtual bool Write(std::string_view bytes) = 0;
    virtual bool Commit() = 0; // the file appears under its name only now
    // Why the last Write or Commit failed.
    virtual std::string Error() const = 0;
};

using IndexOutputFactory =
    std::function<std::unique_ptr<IndexOutput>(const std::filesystem::path& target)>;

// Opens an output on `target` through the factory in force (the file output by default).
std::unique_ptr<IndexOutput> OpenIndexOutput(const std::filesystem::path& target);
// The file output itself, whatever factory is in force: for factories that wrap it.
std::unique_ptr<IndexOutput> OpenFileIndexOutput(const std::filesystem::path& target);
// Installs `factory` (an empty one restores the file output) and returns the one it replaces.
IndexOutputFactory SetIndexOutputFactory(IndexOutputFactory factory);

} // namespace vellum
