#pragma once

#include <filesystem>

namespace vellum {

// Where the program keeps its template, settings, indices and dumps. A portable install (the
// executable's folder is writable, as a build tree is) keeps them beside the executable; an
// installed program keeps them in a per-user folder seeded from the installed data files.
class ProgramFolder {
public:
    // The folder of the running executable (/proc/self/exe); the working folder when unknown.
    static std::filesystem::path ExecutableFolder();

    // $XDG_DATA_HOME/vellum, or ~/.local/share/vellum.
    static std::filesystem::path UserFolder();

    // The folder holding the installed data files: the executable's folder when the template is
    // there, else <prefix>/share/vellum beside a <prefix>/bin executable.
    static std::filesystem::path InstalledDataFolder(const std::filesystem::path& exeFolder);

    // `exeFolder` when writable; otherwise `userFolder`, created and given every missing
    // one of ESTemplate.ini, ESTemplate.def, Templates/ and Signatures.ini from `installed`.
    static std::filesystem::path Choose(const std::filesystem::path& exeFolder,
                                        const std::filesystem::path& userFolder,
                                        const std::filesystem::path& installed);

    // Choose() for this process.
    static std::filesystem::path Find();

    // Copies each seed file or folder that `folder` lacks; never overwrites.
    static void Seed(const std::filesystem::path& folder, const std::filesystem::path& installed);

    // "Templates", "Indices" and "Dumps" under `folder`; failures are ignored.
    static void CreateFolders(const std::filesystem::path& folder);

    static bool Writable(const std::filesystem::path& folder);
};

} // namespace vellum
