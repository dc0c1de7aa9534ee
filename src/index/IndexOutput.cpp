#include "index/IndexOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace vellum {

namespace {

class FileIndexOutput : public IndexOutput {
public:
    explicit FileIndexOutput(std::filesystem::path target)
        : target_(std::move(target)), temp_(target_.string() + ".tmp") {
        std::error_code ec;
        std::filesystem::create_directories(target_.parent_path(), ec);
        file_ = std::fopen(temp_.c_str(), "wb");
        if (!file_) error_ = Describe(temp_);
    }
    ~FileIndexOutput() override {
        if (file_) std::fclose(file_);
        if (!committed_) {
            std::error_code ec;
            std::filesystem::remove(temp_, ec);
        }
    }

    bool Write(std::string_view bytes) override {
        if (!file_) return false;
        if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
            error_ = Describe(temp_);
            return false;
        }
        return true;
    }

    bool Commit() override {
        if (!file_) return false;
        bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        if (!ok) {
            error_ = Describe(temp_);
            return false;
        }
        std::error_code ec;
        std::filesystem::rename(temp_, target_, ec);
        if (ec) {
            error_ = ec.message() + " (" + target_.string() + ")";
            return false;
        }
        committed_ = true;
        return true;
    }

    std::string Error() const override { return error_; }

private:
    static std::string Describe(const std::filesystem::path& p) {
        return std::string(std::strerror(errno)) + " (" + p.string() + ")";
    }

    std::filesystem::path target_, temp_;
    std::FILE* file_ = nullptr;
    bool committed_ = false;
    std::string error_;
};

IndexOutputFactory& Factory() {
    static IndexOutputFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<IndexOutput> OpenIndexOutput(const std::filesystem::path& target) {
    if (Factory()) return Factory()(target);
    return OpenFileIndexOutput(target);
}

std::unique_ptr<IndexOutput> OpenFileIndexOutput(const std::filesystem::path& target) {
    return std::make_unique<FileIndexOutput>(target);
}

IndexOutputFactory SetIndexOutputFactory(IndexOutputFactory factory) {
    IndexOutputFactory previous = std::move(Factory());
    Factory() = std::move(factory);
    return previous;
}

} // namespace vellum
