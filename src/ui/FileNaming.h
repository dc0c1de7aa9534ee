#pragma once

#include <filesystem>
#include <string>

namespace vellum::ui {

// Morrowind.esm, Tribunal.esm and Bloodmoon.esm: only the end of the name counts, in any case,
// so "MyTRIBUNAL.ESM" is one too.
bool IsOfficialMaster(const std::string& name);

// The name Save As proposes for `fileTitle` in `folder`: base + three-digit counter + extension,
// the first that names no existing file. A base already ending in three digits continues from
// them. `fileType` (0 master, 1 plug-in, 2 saved game) gives the extension of a title without one.
std::string DefaultSaveName(const std::string& fileTitle, int fileType, const std::filesystem::path& folder);

} // namespace vellum::ui
