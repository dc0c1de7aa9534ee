#include "StdoutWriter.h"

#include <cstdio>

namespace vellum::cli {

bool StdoutWriter::Write(ByteSpan bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size()) return true;
    error_ = "cannot write to standard output";
    return false;
}

bool StdoutWriter::Flush() {
    if (std::fflush(stdout) == 0) return true;
    error_ = "cannot write to standard output";
    return false;
}

} // namespace vellum::cli
