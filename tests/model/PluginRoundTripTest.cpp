#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace vellum::test {
namespace {

// Record byte strings of a file (header record excluded), and whether every record type
// lies in one run.
struct Layout {
    std::vector<Bytes> records;
    bool typesInRuns = true;
    std::int64_t announced = -1;
};

Layout Scan(const esfile& f) {
    Layout l;
    std::map<std::string, bool> closed;
    std::string current;
    for (std::size_t i = 1; i < f.Records().size(); ++i) {
        const RecordEntry& r = f.Records()[i];
        if (r.Name != current) {
            if (closed[r.Name]) l.typesInRuns = false;
            if (!current.empty()) closed[current] = true;
            current = r.Name;
        }
        Bytes b(r.Name.begin(), r.Name.end());
        for (std::int32_t v : {static_cast<std::int32_t>(r.Data.size()), r.Header1, r.Flags}) {
            Bytes x = cast::FromInt32(v);
            b.insert(b.end(), x.begin(), x.end());
        }
        b.insert(b.end(), r.Data.data(), r.Data.data() + r.Data.size());
        l.records.push_back(std::move(b));
    }
    return l;
}

std::int64_t Announced(esfile& f) {
    f.UnPackRecord(0);
    f.UnpackSubRecord(0, "HEDR");
    std::int64_t n = f.Records()[0].SubRecords->Item("HEDR").Properties.Item("NumRecords").Int();
    f.PackRecord(0);
    return n;
}

class PluginRoundTrip : public ModelTest, public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(PluginRoundTrip, UnpackDecodeAndPackGiveBackEveryRecord) {
    auto f = NewFile();
    ASSERT_EQ(f->LoadFile(GetParam().string(), true, false, nullptr), 0);
    for (int i = 0; i <= f->LastIndex(); ++i) {
        const Bytes before = f->Records()[static_cast<std::size_t>(i)].Data.ToBytes();
        f->UnPackRecord(i);
        std::vector<std::string> keys;
        for (const auto& e : *f->Records()[static_cast<std::size_t>(i)].SubRecords) keys.push_back(e.key);
        for (const std::string& k : keys) f->UnpackSubRecord(i, k);
        f->PackRecord(i);
        ASSERT_EQ(f->Records()[static_cast<std::size_t>(i)].Data.ToBytes(), before)
            << f->Records()[static_cast<std::size_t>(i)].Key;
    }
}

TEST_P(PluginRoundTrip, ResaveKeepsEveryRecord) {
    auto f = NewFile();
    ASSERT_EQ(f->LoadFile(GetParam().string(), true, false, nullptr), 0);
    const Layout before = Scan(*f);
    const bool countRight = Announced(*f) == f->LastIndex();
    const std::string out = (dir / GetParam().filename()).string();
    ASSERT_TRUE(f->Save(out));

    if (before.typesInRuns && countRight) {
        EXPECT_EQ(ReadBytes(out), ReadBytes(GetParam())) << "byte-identical resave";
        return;
    }
    auto saved = NewFile();
    prompt.calls.clear();
    ASSERT_EQ(saved->LoadFile(out, true, true, nullptr), 0);
    EXPECT_TRUE(prompt.calls.empty()) << "the saved header announces the right count";
    Layout after = Scan(*saved);
    EXPECT_EQ(Announced(*saved), saved->LastIndex());
    std::vector<Bytes> a = before.records, b = after.records;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_TRUE(a == b) << "the same records, each byte for byte";
}

std::string Name(const ::testing::TestParamInfo<std::filesystem::path>& info) {
    std::string n = info.param.filename().string();
    std::replace_if(n.begin(), n.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return n;
}

INSTANTIATE_TEST_SUITE_P(Shared, PluginRoundTrip, ::testing::ValuesIn(SharedPlugins()), Name);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(PluginRoundTrip);

} // namespace
} // namespace vellum::test
