#pragma once

#include <filesystem>
#include <string>

namespace vellum {

// Where the program reads what it ships and keeps what it writes. Every reader of a settings,
// template, index or dump path asks here, so the editor and vellum-cli agree.
//
// A build tree or portable copy (a "vellum.portable" file beside the executable) and a folder
// named with --home keep everything in one folder. An installed copy reads its data from
// <prefix>/share/vellum and keeps the user's files in the XDG folders, never beside the
// executable.
class ProgramFolder {
public:
    // The XDG base folders of the user, each already ending in "vellum".
    struct UserFolders {
        std::filesystem::path config, data, cache;
        // From $XDG_CONFIG_HOME, $XDG_DATA_HOME and $XDG_CACHE_HOME; a value that is not an
        // absolute path is ignored, as the XDG rules say, for the usual ~/.config, ~/.local/share
        // and ~/.cache.
        static UserFolders FromEnvironment();
    };

    static constexpr const char* kPortableMarker = "vellum.portable";

    // Empty: not yet found (Startup finds it).
    ProgramFolder() = default;
    // Everything read and written in `folder`, shipped files from `shipped` (the folder itself
    // when empty). Implicit: a path names a whole program folder.
    ProgramFolder(std::filesystem::path folder, std::filesystem::path shipped = {});
    static ProgramFolder Installed(std::filesystem::path shipped, const UserFolders& user);

    // For an executable in `exeFolder`: the folder itself when marked portable, else installed.
    static ProgramFolder Find(const std::filesystem::path& exeFolder, const UserFolders& user);
    // Find() for this process; with a `home`, that folder seeded from this executable's data.
    static ProgramFolder Find(const std::filesystem::path& home = {});

    // The folder of the running executable (/proc/self/exe); the working folder when unknown.
    static std::filesystem::path ExecutableFolder();
    // The shipped data of an executable in `exeFolder`: <prefix>/share/vellum beside a
    // <prefix>/bin, else the executable's own folder.
    static std::filesystem::path ShippedFolder(const std::filesystem::path& exeFolder);

    bool empty() const { return data_.empty(); }

    // Read only: the installed data files (the default template, the book page background).
    const std::filesystem::path& Shipped() const { return shipped_; }
    // Where the user's own configuration files live: the template and its default copy, the
    // tool signatures; the configuration editor opens and saves here.
    const std::filesystem::path& UserData() const { return data_; }

    std::filesystem::path SettingsFile() const { return config_ / "Vellum.ini"; }
    std::filesystem::path TemplateFile() const { return data_ / "ESTemplate.ini"; }
    std::filesystem::path DefaultTemplateFile() const { return data_ / "ESTemplate.def"; }
    std::filesystem::path SignaturesFile() const { return data_ / "Signatures.ini"; }
    std::filesystem::path TemplatesFolder() const { return data_ / "Templates"; }
    std::filesystem::path DumpsFolder() const { return data_ / "Dumps"; }
    // Rebuilt whenever a file loads: a cache.
    std::filesystem::path IndicesFolder() const { return cache_ / "Indices"; }
    // Files handed to other programs, such as a book page shown in the browser.
    const std::filesystem::path& ScratchFolder() const { return cache_; }

    // One line per file and folder, indented, for --help.
    std::string Listing() const;

    // Creates the folders the program writes into and copies each shipped template, the
    // Templates folder and the signatures that the user's folder lacks (never over the user's
    // own). Failures are left to the readers, which report a missing template.
    void Prepare() const;

private:
    std::filesystem::path shipped_, config_, data_, cache_;
};

} // namespace vellum
