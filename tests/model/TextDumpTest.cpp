#include "ModelFixture.h"

#include "model/TextDump.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace std::string_literals;
namespace fs = std::filesystem;

namespace vellum::test {
namespace {

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
    return n;
}

class TextDumpTest : public ::testing::Test, public ModelTest {
protected:
    void LoadSmall() {
        Bytes file = Concat({HeaderRecord(2),
                             RecordBytes("GMST", {{"NAME", Text("sOne")}, {"STRV", Text("a\r\nb\x1b", false)}}, 0, 7),
                             RecordBytes("NPC_", {{"NAME", Text("guard")}, {"NPDT", {5, 0}}})});
        ASSERT_EQ(Load(file), 0);
    }

    std::string Dump(DumpOptions o, Progress* progress = nullptr) {
        std::string path = DumpAsText(*file, o, dir / "Dumps", progress);
        EXPECT_EQ(path, (dir / "Dumps" / ((file->FileTitle.empty() ? "test.esp" : file->FileTitle) + ".txt")).string())
            << "named by the title, else by the file name";
        EXPECT_FALSE(file->Busy);
        return ReadText(path);
    }
};

// Each mode in both layouts; the file is named by the title, else by the file name.
TEST_F(TextDumpTest, EveryModeInBothLayouts) {
    LoadSmall();
    const struct {
        DumpOptions options;
        const char* title;
        std::vector<std::string> contains; // the first at the start of the text
        std::size_t lines;                 // 0: not counted
    } cases[] = {
        {{0, true, true, false, false}, "",
         {"Record Name:TES3 Size:308 Header1:0 ", "Record Name:GMST Size:26 Header1:7 Flags:0\tNAME\x05\0\0\0sOne"s,
          "STRV\x05\0\0\0a<ENTER><LINEFEED>b<ESCAPE>\r\n"s}, 3},
        {{0, false, false, true, false}, "", {"TES3", "NPC_\n\t078\t065\t077\t069\t006\t000\t000\t000\t103\t"}, 0},
        {{1, true, true, true, false}, "",
         {"Record Name:TES3", "Record Name:NPC_ Size:24 Header1:0 Flags:0\tSUBRECORD Name:NPDT Size:2\t005\t000\t\r\n"},
         5}, // a line per subrecord
        {{1, false, false, false, false}, "",
         {"TES3", "GMST\n\tNAME\tsOne\0\n\tSTRV\ta<ENTER><LINEFEED>b<ESCAPE>\r\n"s}, 3}, // a block per record
        {{2, true, true, false, false}, "",
         {"Record Name:TES3", "Record Name:GMST Size:26 Header1:7 Flags:0\tSUBRECORD Name:STRV Size:5\t"
                              "PROPERTY Value:a<ENTER><LINEFEED>b<ESCAPE>\r\n",
          "\tSUBRECORD Name:NPDT Size:2\tPROPERTY Level:5\r\n"}, 0},
        {{2, false, false, false, false}, "Title", {"TES3", "NPC_\n\tNAME\n\t\tguard\n\tNPDT\n\t\t5\r\n"}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contains.back());
        file->FileTitle = c.title;
        const std::string text = Dump(c.options);
        EXPECT_EQ(text.rfind(c.contains[0], 0), 0u);
        for (const std::string& part : c.contains) EXPECT_NE(text.find(part), std::string::npos) << part;
        if (c.lines) EXPECT_EQ(Count(text, "\r\n"), c.lines);
    }
}

TEST_F(TextDumpTest, TrimCutsLongByteLists) {
    Bytes big(1000, 7);
    ASSERT_EQ(Load(Concat({HeaderRecord(1), RecordBytes("BOOK", {{"TEXT", big}})})), 0);
    std::string mode0 = Dump({0, true, false, true, true});
    std::string line = mode0.substr(mode0.find("BOOK"));
    EXPECT_EQ(Count(line, "007\t"), 255u - 8) << "255 numbers: 8 of the subrecord header, then data";
    std::string mode1 = Dump({1, true, false, true, true});
    EXPECT_EQ(Count(mode1, "007\t"), 253u);
    std::string untrimmed = Dump({1, true, false, true, false});
    EXPECT_EQ(Count(untrimmed, "007\t"), 1000u);
}

TEST_F(TextDumpTest, RecordsAndSubrecordsKeepTheirState) {
    LoadSmall();
    file->UnPackRecord(2);
    ASSERT_TRUE(file->UnpackSubRecord(2, "NPDT"));
    file->Rec(2).SubRecords->Item("NPDT").Properties.Item(1).SetValue(std::int64_t{9});
    std::string text = Dump({2, true, false, false, false});
    EXPECT_NE(text.find("NPC_\tNPDT\t9\r\n"), std::string::npos) << "the edit is dumped";
    EXPECT_TRUE(file->Rec(1).Packed);
    EXPECT_FALSE(file->Rec(1).SubRecords);
    EXPECT_FALSE(file->Rec(2).Packed);
    EXPECT_FALSE(file->Rec(2).SubRecords->Item("NPDT").Packed);
    EXPECT_TRUE(file->Rec(2).SubRecords->Item("NAME").Packed);

    text = Dump({1, true, false, true, false});
    EXPECT_NE(text.find("NPC_\tNPDT\t009\t000\t\r\n"), std::string::npos) << "the edit is encoded for raw data";
    text = Dump({0, true, false, true, false});
    EXPECT_NE(text.find("078\t080\t068\t084\t002\t000\t000\t000\t009\t000\t\r\n"), std::string::npos);
    EXPECT_FALSE(file->Rec(2).SubRecords->Item("NPDT").Packed);
}

TEST_F(TextDumpTest, UnwritableFolderAndCancel) {
    LoadSmall();
    std::ofstream(dir / "NotAFolder") << "x";
    RecordingProgress progress;
    EXPECT_EQ(DumpAsText(*file, {}, dir / "NotAFolder", &progress), "");
    EXPECT_FALSE(file->Busy);
    EXPECT_EQ(progress.done, 1);
    ASSERT_EQ(prompt.calls.size(), 1u);
    EXPECT_EQ(prompt.calls[0].text.rfind("The dump could not be written to " + (dir / "NotAFolder").string(), 0), 0u);

    progress.cancel = true;
    std::string path = DumpAsText(*file, {2, true, false, false, false}, dir / "Dumps", &progress);
    EXPECT_EQ(Count(ReadText(path), "\r\n"), 5u) << "stops after the header's five properties";
    EXPECT_EQ(progress.done, 2);
    ASSERT_FALSE(progress.reports.empty());
    EXPECT_EQ(progress.reports[0].first, -1);
    EXPECT_EQ(progress.reports[0].second, "RECORD TES30 / Subrecord HEDR");
}

// Every real and every broken file dumps in every mode, and its records keep their state.
TEST(TextDumpFiles, EverySharedFileInEveryMode) {
    VELLUM_REQUIRE_SHARED();
    ModelTest t(ShippedTemplateText().c_str());
    std::vector<fs::path> files = SharedPlugins();
    for (const auto& e : fs::directory_iterator(MalformedDir())) files.push_back(e.path());
    for (const fs::path& path : files) {
        esfile file(*t.codec);
        if (file.LoadFile(path.string(), true, false) != esfile::kLoaded) continue;
        for (int mode = 0; mode <= 2; ++mode) {
            std::string written = DumpAsText(file, {mode, mode == 1, true, mode == 0, mode == 0}, t.dir.path());
            EXPECT_FALSE(written.empty()) << path;
            EXPECT_GT(fs::file_size(written), 0u) << path;
        }
        for (const auto& r : file.Records()) ASSERT_TRUE(r.Packed) << path << " " << r.Key;
    }
}

// A record whose subrecords run past its end, claim negative sizes or stop mid-header.
Bytes DamagedRecord() {
    Bytes data = Concat({SubBytes({"NAME", Text("ok")}), Text("STRV", false), Int32(1000), Text("abc", false)});
    Bytes other = Concat({Text("DATA", false), Int32(-5), Text("xyz", false)});
    Bytes tail = Text("NAM", false);
    Bytes out = Concat({Text("GMST", false), Int32(static_cast<std::int32_t>(data.size())), Int32(0), Int32(0), data});
    Bytes out2 = Concat({Text("GMST", false), Int32(static_cast<std::int32_t>(other.size() + tail.size())), Int32(0),
                         Int32(0), other, tail});
    return Concat({out, out2});
}

TEST_F(TextDumpTest, DamagedSubrecordsAreDumpedAsFarAsTheyGo) {
    ASSERT_EQ(Load(Concat({HeaderRecord(2), DamagedRecord()}), false), 0);
    for (int mode = 0; mode <= 2; ++mode)
        for (bool tabs : {false, true}) EXPECT_FALSE(Dump({mode, tabs, true, mode != 2, false}).empty());
    std::string text = Dump({1, true, true, false, false});
    EXPECT_NE(text.find("SUBRECORD Name:STRV Size:3\tabc\r\n"), std::string::npos) << "what there is of it";
    EXPECT_NE(text.find("SUBRECORD Name:DATA Size:6\txyzNAM\r\n"), std::string::npos);
}

} // namespace
} // namespace vellum::test
