#include "template/ProgramFolder.h"

#include <array>
#include <cstdlib>
#include <system_error>
#include <unistd.h>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::array kSeeds{"ESTemplate.ini", "ESTemplate.def", "Templates", "Signatures.ini"};

fs::path HomeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? fs::path(home) : fs::path("/tmp");
}

} // namespace

fs::path ProgramFolder::ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return fs::current_path(ec);
    return exe.parent_path();
}

fs::path ProgramFolder::UserFolder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // The XDG rules ignore a relative value.
    fs::path base = xdg && *xdg == '/' ? fs::path(xdg) : HomeFolder() / ".local" / "share";
    return base / "vellum";
}

fs::path ProgramFolder::InstalledDataFolder(const fs::path& exeFolder) {
    std::error_code ec;
    if (fs::exists(exeFolder / "ESTemplate.ini", ec)) return exeFolder;
    fs::path shared = exeFolder.parent_path() / "share" / "vellum";
    if (fs::is_directory(shared, ec)) return shared;
    return exeFolder;
}

bool ProgramFolder::Writable(const fs::path& folder) {
    std::error_code ec;
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0;
}

void ProgramFolder::Seed(const fs::path& folder, const fs::path& installed) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    for (const char* name : kSeeds) {
        fs::path from = installed / name, to = folder / name;
        if (fs::exists(to, ec) || !fs::exists(from, ec)) continue;
        fs::copy(from, to, fs::copy_options::recursive, ec);
    }
}

fs::path ProgramFolder::Choose(const fs::path& exeFolder, const fs::path& userFolder,
                               const fs::path& installed) {
    if (Writable(exeFolder)) return exeFolder;
    Seed(userFolder, installed);
    return userFolder;
}

fs::path ProgramFolder::Find() {
    fs::path exe = ExecutableFolder();
    return Choose(exe, UserFolder(), InstalledDataFolder(exe));
}

void ProgramFolder::CreateFolders(const fs::path& folder) {
    std::error_code ec;
    for (const char* name : {"Templates", "Indices", "Dumps"}) fs::create_directories(folder / name, ec);
}

} // namespace vellum
