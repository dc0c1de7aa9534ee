#pragma once

#include "model/Bytes.h"

#include <QDialog>

#include <cstdint>
#include <filesystem>
#include <string>

class QLabel;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class fhByteControl;

// The packed bytes of the current record of a file, or of its current subrecord, in a byte grid
// with an inspector that reads the bytes at the cursor as numbers. Edited bytes go straight
// into the record, one undo step for as long as the window is open; Dump writes them to a .bin
// file in the Dumps folder.
class frmRawData : public QDialog {
    Q_OBJECT
public:
    frmRawData(esfile& file, std::filesystem::path dumpsFolder, QWidget* parent = nullptr);

    // <Dumps>/<file title>.<record key>.<subrecord key or ALL>.bin
    static std::filesystem::path DumpPath(const std::filesystem::path& dumpsFolder, const std::string& fileTitle,
                                          const std::string& recordKey, const std::string& subrecordKey);

    void Dump();
    fhByteControl* Grid() const { return grid_; }
    QString InspectorText(int row) const; // the value column of the inspector, row 0 the position

private:
    void LoadBytes();
    void ShowInspector(int offset);
    void StoreByte(int index, quint8 value);

    esfile& file_;
    std::filesystem::path dumpsFolder_;
    std::string recordKey_, subrecordKey_;
    int subrecordDataOffset_ = 0; // where the subrecord's bytes start in the record's data
    // The bytes typed while the window is open are one step of the undo history.
    std::uint64_t session_;
    fhByteControl* grid_;
    QList<QLabel*> values_;
};

} // namespace vellum::ui
