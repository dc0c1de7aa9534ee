#pragma once

#include "model/Bytes.h"

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

namespace vellum {

// The file-system steps of a save, behind one interface so that tests can make any of them
// fail. Every call returns false on failure and leaves its reason in Error().
class FileWriter {
public:
    virtual ~FileWriter() = default;

    // Whether `target` may be replaced: not a read-only file, in a folder that can be written.
    virtual bool CheckWritable(const std::filesystem::path& target) = 0;
    virtual bool Create(const std::filesystem::path& file) = 0; // create or truncate
    virtual bool Write(ByteSpan bytes) = 0;                     // the whole span, appended
    // The file being written takes the mode of `model`, and its owner and group where this
    // process may set them; what it may not set is left as it is.
    virtual void TakeAttributes(const std::filesystem::path& model) = 0;
    virtual bool Flush() = 0;                                   // down to the disk
    virtual bool Close() = 0;
    virtual bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    virtual bool Remove(const std::filesystem::path& file) = 0;

    // Bytes a save gathers before each Write.
    virtual std::size_t ChunkSize() const { return std::size_t{1} << 20; }
    const std::string& Error() const { return error_; }

protected:
    std::string error_;
};

// The writer of the program: POSIX calls.
class PosixFileWriter : public FileWriter {
public:
    ~PosixFileWriter() override;
    bool CheckWritable(const std::filesystem::path& target) override;
    bool Create(const std::filesystem::path& file) override;
    bool Write(ByteSpan bytes) override;
    void TakeAttributes(const std::filesystem::path& model) override;
    bool Flush() override;
    bool Close() override;
    bool Copy(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
    bool Remove(const std::filesystem::path& file) override;

private:
    bool Fail(const std::string& what);
    int fd_ = -1;
};

} // namespace vellum
