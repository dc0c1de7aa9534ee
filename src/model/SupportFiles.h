#pragma once

#include "model/esMasterFile.h"
#include "template/DataPaths.h"

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace vellum {

class esfile;

// What the support-files window does to the open plug-ins: the data files of the game's
// folder, a working copy of each plug-in's master list, and writing those lists back on OK.
class SupportFiles {
public:
    struct Row {
        std::string Name;
        bool Dependency = false;
        std::string LoadState = "Click to load"; // "Click to Load" or "Loaded" after a refresh
        std::string Path;
        int Value = 0;
        int Number = 0; // from 0
    };

    // Every *.esm of the folders, then every *.esp, by name (letter case ignored in both the
    // extension and the order); of two files of one name, the later folder's. A missing folder
    // gives no rows.
    static std::vector<Row> ListDataFiles(const DataPaths& folders);
    static std::vector<Row> ListDataFiles(const std::filesystem::path& folder);

    // What Load All Support Files loads: the file of every master not open yet, once each, in
    // order, and the names of the masters no folder holds.
    struct MasterFiles {
        std::vector<std::string> paths;
        std::vector<std::string> missing;
    };

    // `plugins`: the open files that are not support files, in collection order.
    explicit SupportFiles(std::vector<esfile*> plugins);

    std::size_t Count() const { return plugins_.size(); }
    esfile& Plugin(std::size_t i) { return *plugins_.at(i); }
    std::string Caption(std::size_t i) const; // "Support Files for <title>"
    // Some working list differs from its plug-in's master list.
    bool Changed() const;
    bool Changed(std::size_t i) const;

    // Marks the rows that are masters of plug-in `i` and tells which are open.
    void Refresh(std::vector<Row>& rows, std::size_t i,
                 const std::function<bool(const std::string& path)>& isOpen) const;

    // The "Dependency" tick: adds the file to plug-in `i`'s list when absent (at the end, with
    // `size`), removes it when present.
    void Toggle(std::size_t i, const std::string& name, std::int64_t size);

    MasterFiles MastersToLoad(const DataPaths& folders,
                              const std::function<bool(const std::string& path)>& isOpen) const;

    // OK: the header of each plug-in whose list changed gets exactly the MAST/DATA pairs of its
    // working list, in order, where its pairs stood (after HEDR when it had none; a header
    // record is made when there is none); the plug-in is marked changed and its master list is
    // read again. Plug-ins whose list did not change are left alone.
    void Apply();

private:
    void Write(esfile& file, const std::vector<esMasterFile>& masters);

    std::vector<esfile*> plugins_;
    std::vector<std::vector<esMasterFile>> lists_;
};

} // namespace vellum
