#pragma once

#include "model/FileWriter.h"

namespace vellum::cli {

// Output "-": every write goes to standard output; there is no file to create, flush to disk or
// rename, so those steps succeed without doing anything.
class StdoutWriter : public FileWriter {
public:
    bool CheckWritable(const std::filesystem::path&) override { return true; }
    bool Create(const std::filesystem::path&) override { return true; }
    bool Write(ByteSpan bytes) override;
    void TakeAttributes(const std::filesystem::path&) override {}
    bool Flush() override;
    bool Close() override { return true; }
    bool Copy(const std::filesystem::path&, const std::filesystem::path&) override { return true; }
    bool Rename(const std::filesystem::path&, const std::filesystem::path&) override { return true; }
    bool Remove(const std::filesystem::path&) override { return true; }
};

} // namespace vellum::cli
