#pragma once

#include "../model/ModelFixture.h"
#include "TestSupport.h"
#include "index/esFiles.h"
#include "template/Config.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vellum::test {

// A small template with every rule the relatives scan and the transfer read: required
// subrecords with and without @AllowNull, @Unique, a parent type with children, lookups.
extern const std::string kIntegrityTemplate;

// The sample file of the scans: a script, a faction, an item using the script, a spell, two
// NPCs using all of them, a topic with two responses naming the NPCs.
Bytes SampleFile();
// An inventory entry: a count and a 32-character item ID.
Bytes Npco(std::int32_t count, std::string_view item);
// A response with its ID, the IDs before and after it in its topic, and more subrecords.
Bytes Info(std::string_view id, std::string_view previous, std::string_view next, std::vector<Sub> more = {});

// An esFiles over a template, its indices in a temp folder, a recording prompt installed.
class IntegrityTest {
public:
    explicit IntegrityTest(const std::string& templateText = kIntegrityTemplate);

    // Writes `bytes` as `name` into the temp folder, opens and loads it; the file's key.
    std::string Open(const Bytes& bytes, const std::string& name = "a.esp");
    std::string OpenPath(const std::filesystem::path& path);
    esfile& File(const std::string& key) { return files->Item(key); }
    int IndexOfID(const std::string& key, const std::string& id);
    std::string KeyOf(const std::string& key, const std::string& id); // the record key of an ID
    // Scans the relatives of the record with `id` and its descendants and carries out
    // `operation` (kOpDelete, kOpCut, kOpCopy) by the default actions.
    void Relatives(const std::string& key, const std::string& id, int operation);
    // Saves the file to `name` in the temp folder and loads the result into a fresh file.
    std::string SaveAndReopen(const std::string& key, const std::string& name);
    // A save of the file under a fresh name in the temp folder, the file keeping its names as if
    // nothing had been saved; and what it wrote.
    std::filesystem::path SaveCopy(const std::string& key);
    Bytes Saved(const std::string& key) { return ReadBytes(SaveCopy(key)); }
    // Gives record `index` the ID `newID` and carries it into what names the old one, as the
    // form and its scan window do, as one step of the history; false, changing nothing, when the
    // ID cannot be changed.
    bool Rename(const std::string& key, int index, const std::string& newID, bool allFiles = false,
                esCallbackStringValue* lines = nullptr, bool scripts = false);
    // The relatives scan of a delete (or cut) of the record with `id`, along its descendants.
    void ScanDelete(const std::string& key, const std::string& id, bool cut = false, Progress* progress = nullptr);
    // Deletes record `index` safely, by the default actions.
    void SafeDelete(const std::string& key, int index);

    PromptRecorder prompt;
    TempDir dir;
    Config templ;
    std::unique_ptr<esFiles> files;

private:
    int copies_ = 0;
};

// "<action> <generation> <record key>[/<subrecord key>]" per entry of the last relatives scan.
std::vector<std::string> Listing(esFiles& files);

// Expects the file's indexes to agree with its records: each key and ID leads to its record, no
// other (non-empty) ID is indexed.
void ExpectIndexesAgree(const esfile& f);

// The lines a reference scan reports.
struct Lines : esCallbackStringValue {
    std::vector<std::string> lines;
    void CallBack(std::string_view text, std::string_view) override { lines.emplace_back(text); }
};

// Every reference of a decoded file: one per text-lookup property with a value.
struct DecodedRef {
    int record = 0;
    std::string recordType, recordID, subKey, subType, property, value;
    bool operator<(const DecodedRef& o) const;
};
std::vector<DecodedRef> DecodeAllReferences(esfile& file, const esTextLookups& lookups);

} // namespace vellum::test
