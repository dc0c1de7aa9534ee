#include "TestPlugin.h"

#include <cstring>

namespace vellum::test {

Bytes Int32Bytes(std::int32_t value) {
    Bytes out(4);
    std::memcpy(out.data(), &value, 4); // little-endian host
    return out;
}

Bytes Zstring(const std::string& text) {
    Bytes out(text.begin(), text.end());
    out.push_back(0);
    return out;
}

Bytes MakeRecord(const std::string& name, const SubList& subs) {
    Bytes data;
    for (const auto& [subName, bytes] : subs) {
        data.insert(data.end(), subName.begin(), subName.begin() + 4);
        const Bytes size = Int32Bytes(static_cast<std::int32_t>(bytes.size()));
        data.insert(data.end(), size.begin(), size.end());
        data.insert(data.end(), bytes.begin(), bytes.end());
    }
    Bytes out(name.begin(), name.begin() + 4);
    for (std::int32_t v : {static_cast<std::int32_t>(data.size()), 0, 0}) {
        const Bytes b = Int32Bytes(v);
        out.insert(out.end(), b.begin(), b.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

TestPlugins::TestPlugins(const std::string& templateText) {
    if (templateText.empty())
        templ.OpenFile((BinDir() / "ESTemplate.ini").string());
    else
        templ.OpenText(templateText);
    codec = std::make_unique<PropertyCodec>(templ);
}

esfile& TestPlugins::Add(const std::string& name, const std::vector<Bytes>& records,
                         const std::vector<std::string>& masters) {
    Bytes hedr(300, 0);
    const float version = 1.3f;
    std::memcpy(hedr.data(), &version, 4);
    std::memcpy(hedr.data() + 8, "Vellum tests", 12);
    const std::int32_t count = static_cast<std::int32_t>(records.size());
    std::memcpy(hedr.data() + 296, &count, 4);
    SubList header{{"HEDR", hedr}};
    for (const std::string& m : masters) {
        header.push_back({"MAST", Zstring(m)});
        header.push_back({"DATA", Bytes(8, 0)});
    }
    Bytes file = MakeRecord("TES3", header);
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
