#include "ModelFixture.h"

#include "model/ByteCast.h"

#include <gtest/gtest.h>

namespace vellum::test {

const std::string kHeaderTemplate = R"([TES3.HEDR]
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

Bytes SubBytes(const Sub& s) {
    Bytes out(s.name.begin(), s.name.end());
    out.resize(4, 0);
    Bytes size = Int32(static_cast<std::int32_t>(s.data.size()));
    out.insert(out.end(), size.begin(), size.end());
    out.insert(out.end(), s.data.begin(), s.data.end());
    return out;
}

Bytes RecordBytes(std::string_view name, const std::vector<Sub>& subs, std::int32_t flags,
                  std::int32_t header1) {
    Bytes data;
    for (const Sub& s : subs) {
        Bytes b = SubBytes(s);
        data.insert(data.end(), b.begin(), b.end());
    }
    Bytes out(name.begin(), name.end());
    out.resize(4, 0);
    for (std::int32_t v : {static_cast<std::int32_t>(data.size()), header1, flags}) {
        Bytes b = Int32(v);
        out.insert(out.end(), b.begin(), b.end());
    }
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes Text(std::string_view s, bool terminate) {
    Bytes out(s.begin(), s.end());
    if (terminate) out.push_back(0);
    return out;
}

Bytes Int32(std::int32_t v) { return cast::FromInt32(v); }

Bytes HeaderRecord(std::int32_t count, std::int32_t fileType,
                   const std::vector<std::pair<std::string, std::int64_t>>& masters) {
    Bytes hedr = cast::FromSingle(1.3f);
    Bytes t = Int32(fileType);
    hedr.insert(hedr.end(), t.begin(), t.end());
    Bytes author = Text("Tester", false);
    author.resize(32, 0);
    hedr.insert(hedr.end(), author.begin(), author.end());
    hedr.resize(hedr.size() + 256, 0);
    Bytes n = Int32(count);
    hedr.insert(hedr.end(), n.begin(), n.end());
    std::vector<Sub> subs{{"HEDR", hedr}};
    for (const auto& [name, size] : masters) {
        subs.push_back({"MAST", Text(name)});
        subs.push_back({"DATA", cast::FromInt64(size)});
    }
    return RecordBytes("TES3", subs);
}

Bytes Concat(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

void UnpackAndDecodeAll(esfile& f) {
    for (int i = 0; i <= f.LastIndex(); ++i) {
        f.UnPackRecord(i);
        std::vector<std::string> keys;
        for (const auto& e : *f.Records()[static_cast<std::size_t>(i)].SubRecords) keys.push_back(e.key);
        for (const std::string& k : keys) f.UnpackSubRecord(i, k);
        f.PackRecord(i);
    }
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
