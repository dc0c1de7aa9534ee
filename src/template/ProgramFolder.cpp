#include "template/ProgramFolder.h"

#include <array>
#include <cstdlib>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vellum {

namespace fs = std::filesystem;

namespace {

constexpr std::array kSeeds{"ESTemplate.ini", "ESTemplate.def", "Templates", "Signatures.ini"};

fs::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && *pw->pw_dir == '/') return pw->pw_dir;
    // No home at all (a service account): a private folder rather than the working folder.
    std::error_code ec;
    return fs::temp_directory_path(ec) / ("vellum-" + std::to_string(::getuid()));
}

fs::path XdgFolder(const char* variable, const fs::path& fallback) {
    const char* value = std::getenv(variable);
    return (value && *value == '/' ? fs::path(value) : HomeFolder() / fallback) / "vellum";
}

} // namespace

ProgramFolder::UserFolders ProgramFolder::UserFolders::FromEnvironment() {
    return {XdgFolder("XDG_CONFIG_HOME", ".config"), XdgFolder("XDG_DATA_HOME", fs::path(".local") / "share"),
            XdgFolder("XDG_CACHE_HOME", ".cache")};
}

ProgramFolder::ProgramFolder(fs::path folder, fs::path shipped)
    : shipped_(shipped.empty() ? folder : std::move(shipped)), config_(folder), data_(folder),
      cache_(std::move(folder)) {}

ProgramFolder ProgramFolder::Installed(fs::path shipped, const UserFolders& user) {
    ProgramFolder f;
    f.shipped_ = std::move(shipped);
    f.config_ = user.config;
    f.data_ = user.data;
    f.cache_ = user.cache;
    return f;
}

ProgramFolder ProgramFolder::Find(const fs::path& exeFolder, const UserFolders& user) {
    std::error_code ec;
    if (fs::exists(exeFolder / kPortableMarker, ec)) return ProgramFolder(exeFolder);
    return Installed(ShippedFolder(exeFolder), user);
}

ProgramFolder ProgramFolder::Find(const fs::path& home) {
    const fs::path exe = ExecutableFolder();
    if (!home.empty()) return ProgramFolder(fs::absolute(home), ShippedFolder(exe));
    return Find(exe, UserFolders::FromEnvironment());
}

fs::path ProgramFolder::ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec || exe.empty()) return fs::current_path(ec);
    return exe.parent_path();
}

fs::path ProgramFolder::ShippedFolder(const fs::path& exeFolder) {
    std::error_code ec;
    fs::path shared = exeFolder.parent_path() / "share" / "vellum";
    if (exeFolder.filename() == "bin" && fs::is_directory(shared, ec)) return shared;
    return exeFolder;
}

std::string ProgramFolder::Listing() const {
    std::string out;
    auto line = [&out](const char* what, const fs::path& path) {
        out += "  " + std::string(what) + std::string(17 - std::char_traits<char>::length(what), ' ') + path.string() + "\n";
    };
    line("settings", SettingsFile());
    line("format template", TemplateFile());
    line("Templates", TemplatesFolder());
    line("Dumps", DumpsFolder());
    line("Indices", IndicesFolder());
    line("installed data", shipped_);
    return out;
}

void ProgramFolder::Prepare() const {
    std::error_code ec;
    if (shipped_ != data_) {
        fs::create_directories(data_, ec);
        for (const char* name : kSeeds) {
            const fs::path from = shipped_ / name, to = data_ / name;
            if (!fs::exists(to, ec) && fs::exists(from, ec)) fs::copy(from, to, fs::copy_options::recursive, ec);
        }
    }
    for (const fs::path& folder : {config_, TemplatesFolder(), DumpsFolder(), IndicesFolder()})
        fs::create_directories(folder, ec);
}

} // namespace vellum
