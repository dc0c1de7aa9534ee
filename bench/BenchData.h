#pragma once

#include "model/Bytes.h"

#include <filesystem>
#include <string>

namespace vellum::bench {

// The synthetic master given with --big (empty when none) and the program folder, where the
// shipped ESTemplate.ini lies beside the executables.
const std::filesystem::path& BigMaster();
const std::filesystem::path& ProgramDir();
void SetPaths(std::filesystem::path bigMaster, std::filesystem::path programDir);

// The big master's bytes, read once; empty when there is none.
const Bytes& BigMasterBytes();

} // namespace vellum::bench
