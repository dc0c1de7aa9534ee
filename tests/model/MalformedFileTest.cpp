#include "FaultyWriter.h"
#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <random>
#include <set>

namespace vellum::test {
namespace {

const std::string kUnreadable =
    "Warning: Vellum Editor was unable to read this file correctly! Saving this file will "
    "probably produce a corrupt and unusable file.";

const std::set<std::string> kKnownMessages = {
    kUnreadable,
    "Warning: The number of records was mis-reported in the file header. This might have been "
    "caused by the file being edited in a hex editor or other low level editor. The problem has "
    "been corrected and will probably have no negative effect. ",
    std::string(cast::kFailureMessage),
};

const char* TemplateFor(bool shipped) {
    static const std::string text = [] {
        std::ifstream in(BinDir() / "ESTemplate.ini", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }();
    return shipped ? text.c_str() : kModelTemplate;
}

// Each case runs with the small template of the model tests and with the shipped one, which
// decodes every subrecord of the real plug-ins.
class MalformedFileTest : public ModelTest, public ::testing::TestWithParam<bool> {
protected:
    MalformedFileTest() : ModelTest(TemplateFor(GetParam())) {}

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

TEST_P(MalformedFileTest, SharedMalformedFiles) {
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

TEST_P(MalformedFileTest, EmptyShortAndForeignFiles) {
    Bytes good = Concat({HeaderRecord(1), Gmst("x")});
    EXPECT_EQ(Exercise({}, "empty"), esfile::kTooSmall);
    Bytes cut = good;
    cut.resize(307);
    EXPECT_EQ(Exercise(cut, "307 bytes"), esfile::kTooSmall);
    EXPECT_TRUE(prompt.calls.empty());
    Bytes foreign = good;
    foreign[0] = 0x01; // not even a record name
    EXPECT_EQ(Exercise(foreign, "not TES3"), esfile::kTooSmall);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnreadable});
    Bytes zeros(4096, 0);
    EXPECT_EQ(Exercise(zeros, "zeros"), esfile::kTooSmall);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnreadable});

    std::mt19937 random(307);
    Bytes noise(4096);
    for (auto& b : noise) b = static_cast<std::uint8_t>(random());
    noise[0] = '#'; // a record name never starts so
    EXPECT_EQ(Exercise(noise, "noise"), esfile::kTooSmall);
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnreadable});
    std::string text(400, 'x');
    text.replace(0, 30, "[General]\r\nName = not a plug-in");
    EXPECT_EQ(Exercise(Text(text, false), "text"), esfile::kTooSmall) << "not a record name";
    EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnreadable});
}

TEST_P(MalformedFileTest, RealPluginsCutShortOrAtTheLoadLimit) {
    VELLUM_REQUIRE_SHARED();
    for (const char* name : {"blank.esp", "blank.esm", "fm_lightning.esp"}) {
        const Bytes bytes = Plugin(name);
        for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{16}, std::size_t{307}}) {
            prompt.calls.clear();
            EXPECT_EQ(Exercise(Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)),
                               name + std::to_string(n)),
                      esfile::kTooSmall);
            EXPECT_TRUE(prompt.calls.empty()) << "too short to read: no message";
        }
        EXPECT_NE(Exercise(Bytes(bytes.begin(), bytes.begin() + 308), std::string(name) + " 308"),
                  esfile::kMissing);
    }
}

TEST_P(MalformedFileTest, CutAtAndInsideEveryHeader) {
    VELLUM_REQUIRE_SHARED();
    for (const char* name : {"flin.esp", "m2m_remove_deleted_fields_master.esm"}) {
        const Bytes bytes = Plugin(name);
        for (std::size_t offset : RecordOffsets(bytes)) {
            for (std::size_t inside : {0, 1, 4, 7, 8, 12, 15, 16, 17, 20, 24, 25}) {
                if (offset + inside >= bytes.size()) continue;
                Bytes cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset + inside));
                Exercise(cut, std::string(name) + " cut at " + std::to_string(offset + inside));
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
