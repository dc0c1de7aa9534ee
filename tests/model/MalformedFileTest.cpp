#include "FaultyWriter.h"
#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace vellum::test {
namespace {

const std::set<std::string> kKnownMessages = {kUnreadable, kMisreported, std::string(cast::kFailureMessage)};

// Each case runs with the small template of the model tests and with the shipped one, which
// decodes every subrecord of the real plug-ins.
class MalformedFileTest : public ModelTest, public ::testing::TestWithParam<bool> {
protected:
    MalformedFileTest() : ModelTest(GetParam() ? ShippedTemplateText().c_str() : kModelTemplate) {}

    // Loads the bytes, then unpacks, decodes, packs and saves whatever was read. Only the known
    // messages may appear.
    int Exercise(const Bytes& bytes, const std::string& what) {
        WriteBytes(dir / "bad.esp", bytes);
        auto f = NewFile();
        f->SetFileWriter(&writer);
        prompt.calls.clear();
        const int result = f->LoadFile((dir / "bad.esp").string(), true, true, nullptr);
        EXPECT_TRUE(result == esfile::kLoaded || result == esfile::kTooSmall) << what;
        if (result == esfile::kLoaded) {
            UnpackAndDecodeAll(*f);
            EXPECT_TRUE(f->Save((dir / "resaved.esp").string())) << what;
        }
        for (const std::string& text : prompt.Texts())
            EXPECT_TRUE(kKnownMessages.count(text)) << what << ": " << text;
        EXPECT_FALSE(f->Busy);
        return result;
    }

    FaultyWriter writer = [] {
        FaultyWriter w;
        w.sync = false;
        w.chunk = std::size_t{1} << 20;
        return w;
    }();

    static Bytes Plugin(const char* name) { return ReadBytes(PluginsDir() / name); }
    static std::vector<std::size_t> RecordOffsets(const Bytes& b) {
        std::vector<std::size_t> offsets;
        for (const RawRecord& r : RawRecords(b)) offsets.push_back(static_cast<std::size_t>(r.whole.data() - b.data()));
        return offsets;
    }
};

TEST_P(MalformedFileTest, SharedMalformedFiles) {
    VELLUM_REQUIRE_SHARED();
    for (const auto& e : std::filesystem::directory_iterator(MalformedDir())) {
        if (e.path().extension() == ".md") continue;
        const int result = Exercise(ReadBytes(e.path()), e.path().filename().string());
        if (e.path().filename() == "blank_different_master_dependent_short_record.esm") {
            EXPECT_EQ(result, esfile::kLoaded);
            EXPECT_TRUE(prompt.Saw(kMisreported) || prompt.Saw(kUnreadable));
        } else {
            EXPECT_EQ(result, esfile::kTooSmall) << e.path();
        }
    }
}

// Files too short to read are refused without a word; files that do not start with a record
// are refused as unreadable.
TEST_P(MalformedFileTest, EmptyShortAndForeignFiles) {
    const Bytes good = Concat({HeaderRecord(1), Gmst("x")});
    Bytes foreign = good;
    foreign[0] = 0x01; // not even a record name
    std::mt19937 random(307);
    Bytes noise(4096);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    noise[0] = '#'; // a record name never starts so
    std::string text(400, 'x');
    text.replace(0, 30, "[General]\r\nName = not a plug-in");
    const std::vector<std::string> unreadable{kUnreadable};
    const struct {
        const char* what;
        Bytes bytes;
        std::vector<std::string> messages;
    } cases[] = {
        {"empty", {}, {}},
        {"307 bytes", Bytes(good.begin(), good.begin() + 307), {}},
        {"not TES3", foreign, unreadable},
        {"zeros", Bytes(4096, 0), unreadable},
        {"noise", noise, unreadable},
        {"text", Text(text, false), unreadable},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Exercise(c.bytes, c.what), esfile::kTooSmall) << c.what;
        EXPECT_EQ(prompt.Texts(), c.messages) << c.what;
    }
}

// Real files cut at and inside every record header, and just short of the least a file needs.
TEST_P(MalformedFileTest, CutAtAndInsideEveryHeader) {
    VELLUM_REQUIRE_SHARED();
    for (const char* name : {"blank.esp", "blank.esm", "fm_lightning.esp", "flin.esp",
                             "m2m_remove_deleted_fields_master.esm"}) {
        const Bytes bytes = Plugin(name);
        std::vector<std::size_t> cuts{307};
        for (std::size_t offset : RecordOffsets(bytes))
            for (std::size_t inside : {0, 1, 4, 7, 8, 12, 15, 16, 17, 20, 24, 25}) cuts.push_back(offset + inside);
        for (std::size_t n : cuts) {
            if (n >= bytes.size()) continue;
            const std::string what = std::string(name) + " cut at " + std::to_string(n);
            const int result = Exercise(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)), what);
            if (n < 308) {
                EXPECT_EQ(result, esfile::kTooSmall) << what;
                EXPECT_TRUE(prompt.calls.empty()) << what << ": too short to read, no message";
            }
        }
    }
}

TEST_P(MalformedFileTest, RecordAndSubrecordSizesOutOfRange) {
    VELLUM_REQUIRE_SHARED();
    const Bytes bytes = Plugin("comprehensive_crafting.esp");
    for (std::uint32_t size : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu,
                               static_cast<std::uint32_t>(bytes.size())}) {
        for (std::size_t offset : RecordOffsets(bytes)) {
            Bytes b = bytes;
            cast::StoreU32(b.data() + offset + 4, size);
            Exercise(b, "record size " + std::to_string(size) + " at " + std::to_string(offset));
            // Every subrecord of the record in turn, not only the first.
            const std::size_t end = offset + 16 + cast::LoadU32(bytes.data() + offset + 4);
            for (std::size_t sub = offset + 16; sub + 8 <= end; sub += 8 + cast::LoadU32(bytes.data() + sub + 4)) {
                b = bytes;
                cast::StoreU32(b.data() + sub + 4, size);
                Exercise(b, "subrecord size " + std::to_string(size) + " at " + std::to_string(sub));
            }
        }
    }
}

TEST_P(MalformedFileTest, FlippedBytes) {
    VELLUM_REQUIRE_SHARED();
    const Bytes bytes = Plugin("comprehensive_crafting.esp");
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> where(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    for (int round = 0; round < 300; ++round) {
        Bytes b = bytes;
        for (int k = 0; k < 1 + round % 8; ++k) b[where(random)] = static_cast<std::uint8_t>(value(random));
        Exercise(b, "round " + std::to_string(round));
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, MalformedFileTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Shipped" : "Model"; });

} // namespace
} // namespace vellum::test
