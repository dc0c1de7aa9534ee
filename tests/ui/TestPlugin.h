#pragma once

#include "TestSupport.h"
#include "model/Bytes.h"
#include "model/esfile.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace vellum::test {

// Record bytes built by hand: name, then subrecords as (name, data).
using SubList = std::vector<std::pair<std::string, Bytes>>;
Bytes MakeRecord(const std::string& name, const SubList& subs);
Bytes Zstring(const std::string& text); // text and a terminating zero
Bytes Int32Bytes(std::int32_t value);

// The shipped format template and a folder of plug-ins written from records, loaded as esfiles.
class TestPlugins {
public:
    // The shipped template, or this template text.
    explicit TestPlugins(const std::string& templateText = {});
    // Writes a plug-in with a header (naming these masters) and these records into the folder
    // and loads it.
    esfile& Add(const std::string& name, const std::vector<Bytes>& records,
                const std::vector<std::string>& masters = {});
    std::vector<const esfile*> Open() const;
    const std::filesystem::path& dir() const { return dir_.path(); }

    Config templ;
    std::unique_ptr<PropertyCodec> codec;
    std::vector<std::unique_ptr<esfile>> files;

private:
    TempDir dir_;
};

} // namespace vellum::test
