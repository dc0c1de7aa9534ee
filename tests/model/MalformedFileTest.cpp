#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

namespace vellum::test {
namespace {

const std::set<std::string> kKnownMessages = {
    "Warning: The number of records was mis-reported in the file header. This might have been "
    "caused by the file being edited in a hex editor or other low level editor. The problem has "
    "been corrected and will probably have no negative effect. ",
    "Warning: Vellum Editor was unable to read this file correctly! Saving this file will "
    "probably produce a corrupt and unusable file.",
    std::string(cast::kFailureMessage),
};

class MalformedFileTest : public ModelTest, public ::testing::Test {
protected:
    // Loads the bytes, then unpacks, decodes, packs and saves whatever was read. Only the known
    // messages may appear.
    int Exercise(const Bytes& bytes, const std::string& what) {
        WriteBytes(dir / "bad.esp", bytes);
        auto f = NewFile();
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

    Bytes Plugin(const char* name) {
        const auto file = PluginsDir() / name;
        return ReadBytes(file);
    }

    // Offsets of every record header of a well-formed file.
    static std::vector<std::size_t> RecordOffsets(const Bytes& b) {
        std::vector<std::size_t> offsets;
        for (std::size_t p = 0; p + 16 <= b.size();) {
            offsets.push_back(p);
            p += 16 + cast::LoadU32(b.data() + p + 4);
        }
        return offsets;
    }
};

TEST_F(MalformedFileTest, SharedMalformedFiles) {
    VELLUM_REQUIRE_SHARED();
    for (const auto& e : std::filesystem::directory_iterator(MalformedDir())) {
        if (e.path().extension() == ".md") continue;
        const int result = Exercise(ReadBytes(e.path()), e.path().filename().string());
        if (e.path().filename() == "blank_different_master_dependent_short_record.esm") {
            EXPECT_EQ(result, esfile::kLoaded);
            EXPECT_TRUE(prompt.Saw(*std::next(kKnownMessages.begin(), 1)) ||
                        prompt.Saw(*kKnownMessages.begin()));
        } else {
            EXPECT_EQ(result, esfile::kTooSmall) << e.path();
        }
    }
}

TEST_F(MalformedFileTest, EmptyShortAndForeignFiles) {
    Bytes good = Concat({HeaderRecord(1), RecordBytes("GMST", {{"NAME", Text("x")}})});
    EXPECT_EQ(Exercise({}, "empty"), esfile::kTooSmall);
    Bytes cut = good;
    cut.resize(307);
    EXPECT_EQ(Exercise(cut, "307 bytes"), esfile::kTooSmall);
    EXPECT_TRUE(prompt.calls.empty());
    Bytes foreign = good;
    foreign[0] = 0x01; // not even a record name
    EXPECT_EQ(Exercise(foreign, "not TES3"), esfile::kTooSmall);
    EXPECT_EQ(prompt.calls.size(), 1u);
    Bytes zeros(4096, 0);
    EXPECT_EQ(Exercise(zeros, "zeros"), esfile::kTooSmall);
}

TEST_F(MalformedFileTest, CutAtAndInsideEveryHeader) {
    VELLUM_REQUIRE_SHARED();
    const Bytes bytes = Plugin("flin.esp");
    for (std::size_t offset : RecordOffsets(bytes)) {
        for (std::size_t inside : {0, 1, 4, 7, 8, 12, 15, 16, 17, 20}) {
            if (offset + inside >= bytes.size()) continue;
            Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset + inside));
            Exercise(cut, "cut at " + std::to_string(offset + inside));
        }
    }
}

TEST_F(MalformedFileTest, RecordAndSubrecordSizesOutOfRange) {
    VELLUM_REQUIRE_SHARED();
    const Bytes bytes = Plugin("comprehensive_crafting.esp");
    const std::vector<std::size_t> offsets = RecordOffsets(bytes);
    for (std::uint32_t size : {0u, 1u, 0xFFFFFFFFu, 0x80000000u, 0x7FFFFFFFu,
                               static_cast<std::uint32_t>(bytes.size())}) {
        for (std::size_t offset : offsets) {
            Bytes b = bytes;
            cast::StoreU32(b.data() + offset + 4, size);
            Exercise(b, "record size " + std::to_string(size) + " at " + std::to_string(offset));
            b = bytes;
            if (offset + 28 <= b.size()) {
                cast::StoreU32(b.data() + offset + 16 + 4, size); // first subrecord
                Exercise(b, "subrecord size " + std::to_string(size) + " at " + std::to_string(offset));
            }
        }
    }
}

TEST_F(MalformedFileTest, FlippedBytes) {
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

} // namespace
} // namespace vellum::test
