#pragma once

#include "model/Bytes.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

namespace vellum::bench {

// The synthetic master given with --big (empty when none) and the program folder, where the
// shipped ESTemplate.ini lies beside the executables.
const std::filesystem::path& BigMaster();
const std::filesystem::path& ProgramDir();
void SetPaths(std::filesystem::path bigMaster, std::filesystem::path programDir);

// The big master's bytes, read once; empty when there is none.
const Bytes& BigMasterBytes();

// The big master loaded once, with the shipped template.
struct Loaded {
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::unique_ptr<esfile> file;
};
// Null, the benchmark skipped with the reason, when there is no master or template.
Loaded* LoadBigMaster(benchmark::State& state);

} // namespace vellum::bench
