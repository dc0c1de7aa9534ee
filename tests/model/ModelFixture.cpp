#include "ModelFixture.h"

#include <gtest/gtest.h>

namespace vellum::test {

const char kHeaderTemplate[] = R"([TES3.HEDR]
Version = SINGLE,4
FileType = LONG,4
Author = STRING,32
Description = STRING,256
NumRecords = LONG,4
)";

const char* const kModelTemplate = R"([@FILESEQUENCE]
TES3
NOSEQUENCE
[TES3]
@Unique
[TES3.HEDR]
@Unique
@REQUIREMENT = 2
Version = SINGLE,4
FileType = LONG,4
Author = STRING,32
Description = STRING,256
NumRecords = LONG,4
[TES3.MAST]
Name = STRING
[TES3.DATA]
Size = LONG64,8
[GMST]
PropID = NAME:ID
[GMST.NAME]
@REQUIREMENT = 2
ID = STRING
[GMST.STRV]
Value = STRING
[DIAL]
PropID = NAME:ID
@PrecedesChildren
[DIAL.NAME]
ID = STRING
[INFO]
PropID = INAM:ID
@FollowsParent
[INFO.INAM]
ID = STRING
[NPC_]
PropID = NAME:ID
PropDesc = FNAM,Name
[NPC_.NAME]
ID = STRING
[NPC_.NPDT]
Level = SHORT,2
[NPC_.NPDT_12]
Level = SHORT,2
[NPC_.NPCO]
@STARTGROUP = Inventory
Count = LONG,4
Item = STRING,32
[NPC_.XSCL]
Scale = SINGLE,4
[NPC_.AIDT]
@STARTGROUP = MAINRECORD
Data = BYTE
[CELL]
PropID = NAME:Name,DATA:GridX
[CELL.NAME]
Name = STRING
[CELL.NAME_NEXT]
@STARTGROUP = Reference
Object = STRING
[CELL.DATA]
Flags = LONG,4
GridX = LONG,4
GridY = LONG,4
[CELL.FRMR]
@REQUIREMENT = 1
@STARTGROUP = Reference
Index = LONG,4
)";

void UnpackAndDecodeAll(esfile& f) {
    for (int i = 0; i <= f.LastIndex(); ++i) {
        for (const std::string& k : SubrecordKeys(f, i)) f.UnpackSubRecord(i, k);
        f.PackRecord(i);
    }
}

std::vector<std::string> SubrecordKeys(esfile& f, int record) {
    f.UnPackRecord(record);
    std::vector<std::string> keys;
    for (const auto& e : *f.Rec(record).SubRecords) keys.push_back(e.key);
    return keys;
}

std::vector<std::string> SubrecordNames(esfile& f, int record) {
    f.UnPackRecord(record);
    std::vector<std::string> names;
    for (const auto& e : *f.Rec(record).SubRecords) names.push_back(e.value.Name);
    return names;
}

Properties& Decoded(esfile& f, int record, const std::string& subKey) {
    f.UnPackRecord(record);
    EXPECT_TRUE(f.UnpackSubRecord(record, subKey)) << subKey;
    return f.Rec(record).SubRecords->Item(subKey).Properties;
}

std::int64_t AnnouncedCount(esfile& f) {
    f.UnPackRecord(0);
    return f.UnpackSubRecord(0, "HEDR") ? f.Rec(0).SubRecords->Item("HEDR").Properties.Item("NumRecords").Int() : -1;
}

ModelTest::ModelTest(const char* templateText) {
    templ.OpenText(templateText);
    codec = std::make_unique<PropertyCodec>(templ);
    file = NewFile();
}

int ModelTest::Load(const Bytes& bytes, bool showWarnings, Progress* progress, const std::string& name) {
    WriteBytes(dir / name, bytes);
    return file->LoadFile((dir / name).string(), true, showWarnings, progress);
}

} // namespace vellum::test
