// vellum-cli with the format template the program ships, over the shared data files.

#include "model/ByteCast.h"
#include "template/Config.h"

#include "CliRunner.h"
#include "TestRecords.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>

namespace vellum::test {
namespace {

// The file with its header counting the records that follow.
Bytes WithTrueCount(const Bytes& file) {
    Bytes out = file;
    cast::StoreU32(&out[16 + 8 + 296], static_cast<std::uint32_t>(RawRecords(file).size() - 1));
    return out;
}

// What a sorted save must write: the header, then the records grouped by type in the
// template's save order, each dialogue topic followed by its responses.
Bytes SortedFile(const Bytes& file, const std::vector<std::string>& order) {
    const Bytes counted = WithTrueCount(file);
    const std::vector<RawRecord> recs = RawRecords(counted);
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
            append(recs[i].whole);
            for (std::size_t child : responses[i]) append(recs[child].whole);
        }
    }
    return out;
}

} // namespace

TEST(ShippedTemplateCli, CheckFindsEverySubrecordDescribedAndEveryIdPresent) {
    VELLUM_REQUIRE_SHARED();
    std::string args = "check " + ShippedTemplateOption();
    for (const auto& p : SharedPlugins()) args += " " + Quote(p.string());
    TempDir dir;
    const CliRun r = RunCli(args, dir.path());
    EXPECT_EQ(r.status, 0);
    const std::regex clean(R"(.+: records=\d+ subrecords=\d+ unknown=0 casterrors=0 noid=0)");
    const std::vector<std::string> lines = OutputLines(r.out);
    for (const std::string& l : lines) EXPECT_TRUE(std::regex_match(l, clean)) << l;
    EXPECT_EQ(lines.size(), SharedPlugins().size());
}

// Every shared file comes back byte for byte, but for a header that miscounted its records;
// sorted, it holds the same records in the template's order.
TEST(ShippedTemplateCli, ResaveGivesEveryFileBackAndSortsOnRequest) {
    VELLUM_REQUIRE_SHARED();
    Config templ;
    ASSERT_EQ(templ.OpenFile((BinDir() / "ESTemplate.ini").string()), 0);
    std::vector<std::string> order;
    for (const auto& v : templ.FindGroup("@FILESEQUENCE")->Variables) order.push_back(v.value.Name);

    TempDir dir;
    for (const auto& in : SharedPlugins()) {
        const std::string name = in.filename().string();
        const auto kept = dir / name, sorted = dir / ("sorted-" + name);
        for (const auto& [out, option] : {std::pair{kept, ""}, std::pair{sorted, "--sort "}})
            ASSERT_EQ(RunCli("resave " + std::string(option) + ShippedTemplateOption() + " " + Quote(in.string()) +
                                 " " + Quote(out.string()),
                             dir.path())
                          .status,
                      0)
                << name << " " << option;
        const Bytes original = ReadBytes(in);
        EXPECT_TRUE(ReadBytes(kept) == WithTrueCount(original)) << name << " did not come back as it was";
        EXPECT_TRUE(ReadBytes(sorted) == SortedFile(original, order)) << name << " is not its records in the save order";
    }
}

} // namespace vellum::test
