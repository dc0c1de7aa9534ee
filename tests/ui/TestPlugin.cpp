#include "TestPlugin.h"

namespace vellum::test {

TestPlugins::TestPlugins(const std::string& templateText) {
    if (templateText.empty())
        templ.OpenFile((BinDir() / "ESTemplate.ini").string());
    else
        templ.OpenText(templateText);
    codec = std::make_unique<PropertyCodec>(templ);
}

esfile& TestPlugins::Add(const std::string& name, const std::vector<Bytes>& records,
                         const std::vector<std::string>& masters) {
    std::vector<std::pair<std::string, std::int64_t>> mast;
    for (const std::string& m : masters) mast.emplace_back(m, 0);
    Bytes file = HeaderRecord(static_cast<std::int32_t>(records.size()), 0, mast);
    for (const Bytes& r : records) file.insert(file.end(), r.begin(), r.end());
    const std::filesystem::path path = dir_.path() / name;
    WriteBytes(path, file);
    files.push_back(std::make_unique<esfile>(*codec));
    files.back()->FileTitle = name;
    files.back()->LoadFile(path.string(), true, false);
    return *files.back();
}

std::vector<const esfile*> TestPlugins::Open() const {
    std::vector<const esfile*> open;
    for (const auto& f : files) open.push_back(f.get());
    return open;
}

} // namespace vellum::test
