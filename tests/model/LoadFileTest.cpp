#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vellum::test {
namespace {

Bytes Setting(const std::string& id, const std::string& value = "v") {
    return RecordBytes("GMST", {{"NAME", Text(id)}, {"STRV", Text(value, false)}});
}

Bytes ThreeGmsts(std::int32_t announced) {
    return Concat({HeaderRecord(announced, 0, {{"Morrowind.esm", 79837557}, {"Tribunal.esm", 4565686}}),
                   Setting("sOne"), Setting("sTwo"), Setting("sThree")});
}

class LoadFileTest : public ModelTest, public ::testing::Test {};

// Keys, IDs and offsets, indexed; records packed, the header too once read; the masters.
TEST_F(LoadFileTest, LoadsRecordsWithKeysIdsAndMasters) {
    ASSERT_EQ(Load(ThreeGmsts(3)), 0);
    EXPECT_TRUE(prompt.calls.empty());
    esfile& f = *file;
    std::string records;
    for (const RecordEntry& r : f.Records()) records += r.Key + ":" + r.ID + (r.Packed && r.Loaded ? " " : "? ");
    EXPECT_EQ(records, "TES30: GMST1:sOne GMST2:sTwo GMST3:sThree ");
    EXPECT_EQ(f.Records()[1].Offset, static_cast<std::int64_t>(f.Records()[0].Size) + 17) << "1-based";
    EXPECT_TRUE(f.FileExists && f.Loaded && !f.Busy);
    ASSERT_EQ(f.esMasterFiles().Count(), 2u);
    EXPECT_EQ(f.esMasterFiles().Item(1).Name, "Morrowind.esm");
    EXPECT_EQ(f.esMasterFiles().Item("tribunal.esm").Size, 4565686);
    EXPECT_EQ(f.GetRecordIndex("gmst2"), 2);
    EXPECT_THROW(f.GetRecordIndex("2"), std::out_of_range);
    EXPECT_EQ(f.esRecArrayCatIndex().Item("GMST")->esRecIDIndex.Item("STWO").IndexNumber, 2);

    f.ClearRecords();
    EXPECT_EQ(f.LastIndex(), 0);
    EXPECT_EQ(f.esRecArrayIndex().Count() + f.esRecArrayCatIndex().Count(), 0u);
}

// Every record is read whatever the header announces; with warnings on, a wrong count is
// reported and corrected.
TEST_F(LoadFileTest, HeaderCountIsCorrectedWhenWarningsAreOn) {
    using Case = std::pair<int, bool>; // announced count, warnings on
    for (const auto& [announced, warnings] : {Case{3, true}, Case{7, true}, Case{1, true}, Case{9, false}}) {
        SCOPED_TRACE(std::to_string(announced) + (warnings ? " with warnings" : " without"));
        file = NewFile();
        prompt.calls.clear();
        ASSERT_EQ(Load(ThreeGmsts(announced), warnings), 0);
        const bool corrected = warnings && announced != 3;
        EXPECT_EQ(prompt.Texts(), corrected ? std::vector<std::string>{kMisreported} : std::vector<std::string>{});
        EXPECT_EQ(file->LastIndex(), 3);
        EXPECT_EQ(file->Changed, corrected);
        EXPECT_EQ(AnnouncedCount(*file), corrected ? 3 : announced);
    }
}

TEST_F(LoadFileTest, TrailingBytesThatFormNoRecordAreReported) {
    Bytes bytes = ThreeGmsts(3);
    for (int cut : {1, 15, 16, 20}) {
        Bytes extra = Setting("sFour");
        extra.resize(static_cast<std::size_t>(cut));
        file = NewFile();
        prompt.calls.clear();
        ASSERT_EQ(Load(Concat({bytes, extra})), 0);
        EXPECT_EQ(file->LastIndex(), 3);
        EXPECT_EQ(prompt.Texts(), std::vector<std::string>{kUnreadable}) << cut;
    }
}

TEST_F(LoadFileTest, TemplateNamesAndFileNameProperty) {
    ASSERT_EQ(Load(ThreeGmsts(3), true, nullptr, "sample.est"), 0);
    EXPECT_TRUE(file->IsTemplate);
    auto f = NewFile();
    f->FileName = (dir / "sample.est").string();
    ASSERT_EQ(f->LoadFile("", false, true, nullptr), 0);
    EXPECT_TRUE(f->IsTemplate);
    EXPECT_FALSE(f->Loaded);
    EXPECT_TRUE(f->FileExists);
}

TEST_F(LoadFileTest, ReportsProgressEvery218Records) {
    std::vector<Bytes> parts{HeaderRecord(500)};
    for (int i = 0; i < 500; ++i) parts.push_back(Setting("s" + std::to_string(i)));
    RecordingProgress progress;
    ASSERT_EQ(Load(Concat(parts), true, &progress), 0);
    ASSERT_EQ(progress.reports.size(), 2u);
    EXPECT_EQ(progress.reports[0].second, "Reading Offset 218 GMST");
    EXPECT_EQ(progress.reports[1].second, "Reading Offset 436 GMST");
    EXPECT_GT(progress.reports[1].first, progress.reports[0].first);
    EXPECT_LE(progress.reports[1].first, 100.0);
    EXPECT_GE(progress.done, 1);
}

TEST_F(LoadFileTest, ChildrenFollowTheirParent) {
    Bytes bytes = Concat({HeaderRecord(5),
                          RecordBytes("INFO", {{"INAM", Text("orphan")}}),
                          RecordBytes("DIAL", {{"NAME", Text("greeting")}}),
                          RecordBytes("INFO", {{"INAM", Text("1")}}),
                          Setting("sBetween"),
                          RecordBytes("INFO", {{"INAM", Text("2")}})});
    ASSERT_EQ(Load(bytes), 0);
    const auto& r = file->Records();
    EXPECT_EQ(r[1].ParentKey, "");
    EXPECT_EQ(r[3].ParentKey, "DIAL2");
    EXPECT_EQ(r[3].ParentID, "greeting");
    EXPECT_EQ(r[5].ParentKey, "DIAL2") << "the parent stays current across other records";
    EXPECT_EQ(r[2].Children, (std::vector<std::string>{"INFO3", "INFO5"}));
}

TEST_F(LoadFileTest, UnloadedRecordsAreReadAgainFromTheirFile) {
    ASSERT_EQ(Load(ThreeGmsts(3)), 0);
    const Bytes before = file->Records()[2].Data.ToBytes();
    file->UnLoadRecordNoSave("GMST2");
    EXPECT_FALSE(file->Records()[2].Loaded);
    EXPECT_TRUE(file->Records()[2].Data.empty());
    file->LoadRecord("GMST2");
    EXPECT_TRUE(file->Records()[2].Loaded);
    EXPECT_EQ(file->Records()[2].Data.ToBytes(), before);
    EXPECT_EQ(file->GetID(2), "sTwo");

    std::filesystem::remove(dir / "test.esp");
    file->LoadRecord("GMST2"); // loaded: no file access
    EXPECT_EQ(file->Records()[2].Data.ToBytes(), before);
    file->UnLoadRecordNoSave(3);
    file->LoadRecord(3); // the file is gone: zero bytes of the record's size, no crash
    EXPECT_EQ(file->Records()[3].Data.ToBytes(), Bytes(static_cast<std::size_t>(file->Records()[3].Size), 0));
}

TEST_F(LoadFileTest, RecordCopiesAreValues) {
    ASSERT_EQ(Load(ThreeGmsts(3)), 0);
    RecordEntry copy = file->Record("GMST1");
    file->SetRecordByte(1, 8, 'X');
    EXPECT_EQ(copy.Data[8], 's') << "changing the record copies its bytes first";
    EXPECT_EQ(file->Records()[1].Data[8], 'X');
    EXPECT_EQ(file->Records()[2].Data[8], 's');
    file->ReplaceRecord(1, copy);
    EXPECT_EQ(file->Records()[1].Data[8], 's');
}

TEST_F(LoadFileTest, FileTypeReadsAndWritesTheHeader) {
    ASSERT_EQ(Load(ThreeGmsts(3)), 0);
    EXPECT_EQ(file->FileType(), 1);
    file->SetFileType(2);
    EXPECT_EQ(file->FileType(), 2);
    EXPECT_TRUE(file->Changed);

    auto empty = NewFile();
    EXPECT_EQ(empty->FileType(), -1);
    empty->SetFileType(0);
    EXPECT_EQ(empty->FileType(), 0) << "a header record and HEDR are made when missing";
}

} // namespace
} // namespace vellum::test
