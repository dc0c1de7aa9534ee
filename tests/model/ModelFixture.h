#pragma once

#include "TestRecords.h"
#include "TestSupport.h"
#include "model/Bytes.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vellum::test {

// A small format template that covers what the file model reads: the header, masters, IDs,
// parents and children, repeating groups and the save order.
extern const char* const kModelTemplate;
// The save order "TES3" then "NOSEQUENCE" and the header's layout, to build templates on.
// Constant-initialised: other files build their templates from it while they start up.
extern const char kHeaderTemplate[];

// What a load says of a header that miscounts its records, and of bytes that form no record.
inline const std::string kMisreported =
    "Warning: The number of records was mis-reported in the file header. This might have been "
    "caused by the file being edited in a hex editor or other low level editor. The problem has "
    "been corrected and will probably have no negative effect. ";
inline const std::string kUnreadable =
    "Warning: Vellum Editor was unable to read this file correctly! Saving this file will "
    "probably produce a corrupt and unusable file.";

// Unpacks every record, decodes every subrecord and packs the record back, as an editor
// browsing the whole file would.
void UnpackAndDecodeAll(esfile& f);
// Unpacks the record: its subrecords' keys, or their template types.
std::vector<std::string> SubrecordKeys(esfile& f, int record);
std::vector<std::string> SubrecordNames(esfile& f, int record);
// Unpacks the record and decodes the subrecord: its properties.
Properties& Decoded(esfile& f, int record, const std::string& subKey);
// The record count the header announces.
std::int64_t AnnouncedCount(esfile& f);

// A template, its codec and a file, with a recording prompt installed.
class ModelTest {
public:
    explicit ModelTest(const char* templateText = kModelTemplate);
    // Writes `bytes` into the temp folder and loads them.
    int Load(const Bytes& bytes, bool showWarnings = true, Progress* progress = nullptr,
             const std::string& name = "test.esp");
    std::unique_ptr<esfile> NewFile() const { return std::make_unique<esfile>(*codec); }

    PromptRecorder prompt;
    TempDir dir;
    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::unique_ptr<esfile> file;
};

} // namespace vellum::test
