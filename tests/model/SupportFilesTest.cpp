#include "ModelFixture.h"

#include "model/FileStatistics.h"
#include "model/SupportFiles.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace vellum::test {
namespace {

class SupportFilesTest : public ::testing::Test, public ModelTest {
protected:
    void LoadPlugin(const std::vector<std::pair<std::string, std::int64_t>>& masters) {
        ASSERT_EQ(Load(Concat({HeaderRecord(1, 0, masters), Gmst("sOne")})), 0);
    }

    // The MAST/DATA pairs of the file, or of the file saved and read back.
    std::vector<std::string> Masters(bool saved = false) {
        auto back = NewFile();
        if (saved) {
            EXPECT_TRUE(file->Save((dir / "saved.esp").string()));
            EXPECT_EQ(back->LoadFile((dir / "saved.esp").string(), true, true), 0);
        }
        std::vector<std::string> out;
        for (const auto& m : (saved ? back : file)->esMasterFiles())
            out.push_back(m.value.Name + ":" + std::to_string(m.value.Size));
        return out;
    }
};

using Names = std::vector<std::string>;

TEST_F(SupportFilesTest, DataFilesMastersFirstThenPlugins) {
    fs::path data = dir / "Data Files";
    fs::create_directories(data / "sub.esm");
    for (const char* f : {"b.esp", "Morrowind.esm", "a.ESP", "Tribunal.ESM", "notes.txt", "c.omwaddon"})
        std::ofstream(data / f) << "x";
    auto rows = SupportFiles::ListDataFiles(data);
    Names names;
    for (const auto& r : rows) names.push_back(r.Name);
    EXPECT_EQ(names, (Names{"Morrowind.esm", "Tribunal.ESM", "a.ESP", "b.esp"}));
    EXPECT_EQ(rows[2].Path, (data / "a.ESP").string());
    EXPECT_EQ(rows[3].Number, 3);
    EXPECT_EQ(rows[0].LoadState, "Click to load");
    EXPECT_TRUE(SupportFiles::ListDataFiles(dir / "missing").empty());
}

// Where masters are found and loaded is MainWindowTest's, through the window.
TEST_F(SupportFilesTest, ToggleAndRefresh) {
    LoadPlugin({{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686}, {"Bloodmoon.esm", 9631798}});
    file->FileTitle = "mine.esp";
    SupportFiles support({file.get()});
    EXPECT_EQ(support.Caption(0), "Support Files for mine.esp");
    std::vector<SupportFiles::Row> rows{{"morrowind.ESM", false, "Click to load", "/d/morrowind.ESM", 0, 0},
                                        {"Sheogorad.esm", false, "Click to load", "/d/Sheogorad.esm", 0, 1}};
    auto isOpen = [](const std::string& p) { return p.ends_with("tribunal.esm"); };
    support.Refresh(rows, 0, isOpen);
    EXPECT_TRUE(rows[0].Dependency);
    EXPECT_FALSE(rows[1].Dependency);
    EXPECT_EQ(rows[0].LoadState, "Click to Load");

    EXPECT_FALSE(support.Changed());
    support.Toggle(0, "Sheogorad.esm", 1);
    support.Toggle(0, "MORROWIND.esm", 0);
    EXPECT_TRUE(support.Changed());
    EXPECT_EQ(Masters(), (Names{"Morrowind.esm:79837557", "Tribunal.esm:4565686", "Bloodmoon.esm:9631798"}))
        << "nothing changes before OK";
    EXPECT_FALSE(file->Changed);
}

// Only a plug-in whose list changed is rewritten and marked; its pairs stay where they stood
// in the header, as the saved bytes show.
TEST_F(SupportFilesTest, OkRewritesChangedHeadersOnlyAndKeepsTheirSubrecordOrder) {
    const Bytes gameHeader = RecordBytes("TES3", {{"HEDR", Bytes(300, 0)},
                                                  {"MAST", Text("Morrowind.esm")},
                                                  {"DATA", Bytes(8, 1)},
                                                  {"GMDT", Bytes(124, 2)},
                                                  {"SCRD", Bytes(20, 3)},
                                                  {"SCRS", Bytes(65536, 4)}});
    ASSERT_EQ(Load(Concat({gameHeader, Gmst("a")}), false, nullptr, "game.ess"), 0);
    ModelTest other;
    ASSERT_EQ(other.Load(Concat({HeaderRecord(1, 0, {{"Morrowind.esm", 5}}), Gmst("b")})), 0);
    ModelTest bare;
    ASSERT_EQ(bare.Load(Concat({RecordBytes("TES3", {{"HEDR", Bytes(300, 0)}, {"GMDT", Bytes(4, 2)}}), Gmst("c")}),
                        false),
              0);
    const Bytes untouched = other.file->Rec(0).Data.ToBytes();

    SupportFiles support({file.get(), other.file.get(), bare.file.get()});
    support.Toggle(0, "Tribunal.esm", 7);
    support.Toggle(1, "Tribunal.esm", 7); // and back: no change
    support.Toggle(1, "Tribunal.esm", 7);
    support.Toggle(2, "Bloodmoon.esm", 9);
    support.Apply();
    EXPECT_TRUE(file->Changed);
    EXPECT_FALSE(other.file->Changed);
    EXPECT_TRUE(bare.file->Changed);
    EXPECT_EQ(other.file->Rec(0).Data.ToBytes(), untouched);

    auto headerOf = [](esfile& f, const fs::path& out) {
        EXPECT_TRUE(f.Save(out.string()));
        std::vector<std::string> names;
        const Bytes saved = ReadBytes(out);
        for (const RawSubrecord& s : RawSubrecords(saved))
            if (s.record == "TES3") names.push_back(s.type.substr(0, 4));
        return names;
    };
    EXPECT_EQ(headerOf(*file, dir / "saved.ess"),
              (Names{"HEDR", "MAST", "DATA", "MAST", "DATA", "GMDT", "SCRD", "SCRS"}));
    if (const auto dump = EsmtoolDump(dir / "saved.ess")) // another reader of the header sees the same
        EXPECT_NE(dump->find("Masters:\n  Morrowind.esm, 72340172838076673 bytes\n  Tribunal.esm, 7 bytes\n"),
                  std::string::npos)
            << *dump;
    EXPECT_EQ(headerOf(*bare.file, dir / "bare.esp"), (Names{"HEDR", "MAST", "DATA", "GMDT"}));
    EXPECT_EQ(Masters(), (Names{"Morrowind.esm:72340172838076673", "Tribunal.esm:7"}));
}

TEST_F(SupportFilesTest, OkWritesThePairsInWorkingOrder) {
    LoadPlugin({{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686}});
    SupportFiles support({file.get()});
    support.Toggle(0, "Morrowind.esm", 0); // unticked: the other pair keeps its place
    support.Toggle(0, "Bloodmoon.esm", 9631798);
    support.Apply();
    EXPECT_EQ(Masters(), (Names{"Tribunal.esm:4565686", "Bloodmoon.esm:9631798"}));
    EXPECT_TRUE(file->Rec(0).Packed) << "a packed header is packed again";
    EXPECT_EQ(Masters(true), (Names{"Tribunal.esm:4565686", "Bloodmoon.esm:9631798"}));

    SupportFiles emptied({file.get()});
    emptied.Toggle(0, "Tribunal.esm", 0);
    emptied.Toggle(0, "Bloodmoon.esm", 0);
    emptied.Apply();
    EXPECT_TRUE(Masters().empty());
    file->UnPackRecord(0);
    for (const auto& e : *file->Rec(0).SubRecords) EXPECT_EQ(e.value.Name, "HEDR");
}

TEST_F(SupportFilesTest, OkMakesAHeaderWhenThereIsNone) {
    ASSERT_EQ(Load(Concat({Gmst("sOne"), Gmst("sTwo"), Bytes(300, 0)})), 0);
    ASSERT_FALSE(file->esRecArrayCatIndex().CatExists("TES3"));
    SupportFiles support({file.get()});
    support.Toggle(0, "Morrowind.esm", 79837557);
    support.Apply();
    EXPECT_TRUE(file->esRecArrayCatIndex().CatExists("TES3"));
    EXPECT_EQ(Masters(), (Names{"Morrowind.esm:79837557"}));
}

// The figures themselves are checked through "vellum-cli stats".
TEST_F(SupportFilesTest, StatisticsGroupDigitsAndNameAFileWithoutHeader) {
    EXPECT_EQ(FileStatistics::Grouped(79837557), "79,837,557");
    EXPECT_EQ(FileStatistics::Grouped(999), "999");
    EXPECT_EQ(FileStatistics::Grouped(-1000), "-1,000");
    ASSERT_EQ(Load(Concat({RecordBytes("TES3", {{"MAST", Text("x")}}), Gmst("a"), Bytes(300, 0)})), 0);
    EXPECT_EQ(FileStatistics::Of(*file).TypeText, " Indeterminate (no header information)");
}

} // namespace
} // namespace vellum::test
