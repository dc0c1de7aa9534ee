#pragma once

#include "TestRecords.h"
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
