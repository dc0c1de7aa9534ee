// vellum-cli with the format template the program ships, over the shared data files.

#include "model/ByteCast.h"
#include "template/Config.h"

#include "CliRunner.h"
#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace vellum::test {
namespace {

std::string Shipped() { return (BinDir() / "ESTemplate.ini").string(); }

// What saving must write: the header with the true record count, then the records grouped by
// type in the template's save order, each dialogue topic followed by its responses.
Bytes CanonicalFile(const Bytes& file, const std::vector<std::string>& order) {
    const std::vector<RawRecord> recs = RawRecords(file);
    std::map<std::size_t, std::vector<std::size_t>> responses;
    std::size_t topic = SIZE_MAX;
    for (std::size_t i = 0; i < recs.size(); ++i) {
        if (recs[i].type == "DIAL") topic = i;
        if (recs[i].type == "INFO" && topic != SIZE_MAX) responses[topic].push_back(i);
    }
    Bytes out;
    auto append = [&out](ByteSpan b) { out.insert(out.end(), b.begin(), b.end()); };
    for (const std::string& type : order) {
        for (std::size_t i = 0; i < recs.size(); ++i) {
            if (recs[i].type != type || type == "INFO") continue;
            if (i == 0) {
                Bytes header(recs[0].whole.begin(), recs[0].whole.end());
                cast::StoreU32(&header[16 + 8 + 296], static_cast<std::uint32_t>(recs.size() - 1));
                append(header);
                continue;
            }
            append(recs[i].whole);
            for (std::size_t child : responses[i]) append(recs[child].whole);
        }
    }
    return out;
}

} // namespace

TEST(ShippedTemplateCli, CheckFindsEverySubrecordDescribedAndEveryIdPresent) {
    VELLUM_REQUIRE_SHARED();
    std::string args = "check --template " + Quote(Shipped());
    for (const auto& p : SharedPlugins()) args += " " + Quote(p.string());
    TempDir dir;
    const CliRun r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 0);
    const std::regex clean(R"(.+: records=\d+ subrecords=\d+ unknown=0 casterrors=0 noid=0)");
    std::istringstream lines(r.out);
    std::size_t count = 0;
    for (std::string l; std::getline(lines, l); ++count) EXPECT_TRUE(std::regex_match(l, clean)) << l;
    EXPECT_EQ(count, SharedPlugins().size());
}

TEST(ShippedTemplateCli, ResaveKeepsEveryRecordAndWritesTheCanonicalOrder) {
    VELLUM_REQUIRE_SHARED();
    Config templ;
    ASSERT_EQ(templ.OpenFile(Shipped()), 0);
    std::vector<std::string> order;
    for (const auto& v : templ.FindGroup("@FILESEQUENCE")->Variables) order.push_back(v.value.Name);

    // Files whose types already stand in that order and whose header counts right come back
    // byte for byte; the others differ in record order or in the header's count only.
    const std::set<std::string> identical = {
        "animal_tamer.esp",    "animatedlanterns.omwaddon", "arena_edit2.omwaddon",
        "blank.esm",           "comprehensive_crafting.esp", "fm_lightning.esp",
        "m2m_remove_deleted_references_base.esm", "sneak.omwaddon", "the_publicans_bcom_patch.esp"};

    TempDir dir;
    std::set<std::string> same;
    for (const auto& in : SharedPlugins()) {
        const std::string name = in.filename().string();
        const auto out = dir / name;
        ASSERT_EQ(RunCli("resave --template " + Quote(Shipped()) + " " + Quote(in.string()) + " " + Quote(out.string()),
                         dir.path()).status,
                  0)
            << name;
        const Bytes original = ReadBytes(in), saved = ReadBytes(out);
        EXPECT_TRUE(saved == CanonicalFile(original, order)) << name << " is not its records in the save order";
        if (saved == original) same.insert(name);
    }
    EXPECT_EQ(same, identical);
}

} // namespace vellum::test
