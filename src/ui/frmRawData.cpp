#include "ui/frmRawData.h"

#include "index/HistoryScope.h"
#include "model/FastFile.h"
#include "model/Prompt.h"
#include "model/esfile.h"
#include "ui/ByteInspection.h"
#include "ui/fhByteControl.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTableView>
#include <QVBoxLayout>

#include <system_error>

namespace vellum::ui {

namespace {
constexpr const char* kStepName = "Edit Raw Data";
}

frmRawData::frmRawData(esfile& file, std::filesystem::path dumpsFolder, QWidget* parent)
    : QDialog(parent), file_(file), dumpsFolder_(std::move(dumpsFolder)),
      session_(file.History() ? file.History()->NewSession() : 0), grid_(new fhByteControl) {
    auto* scroll = new QScrollArea;
    scroll->setWidget(grid_);
    scroll->setWidgetResizable(false);
    connect(grid_, &fhByteControl::LayoutChanged, this, [this] { grid_->adjustSize(); });

    auto* inspector = new QGroupBox(tr("Inspector"));
    auto* form = new QFormLayout(inspector);
    for (const char* label : {"Position", "Byte", "Integer (16-bit)", "Long (32-bit)", "Single (32-bit float)",
                              "Double (64-bit float)", "Flags", "Character"}) {
        auto* value = new QLabel;
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setFont(grid_->HexView()->font());
        form->addRow(tr(label), value);
        values_.append(value);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    QPushButton* dump = buttons->addButton(tr("&Dump"), QDialogButtonBox::ActionRole);
    connect(dump, &QPushButton::clicked, this, &frmRawData::Dump);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(inspector);
    layout->addWidget(buttons);

    connect(grid_, &fhByteControl::CursorMoved, this, &frmRawData::ShowInspector);
    connect(grid_, &fhByteControl::ByteChanged, this, [this](int index, quint8 value) {
        StoreByte(index, value);
        ShowInspector(grid_->CursorOffset());
    });
    connect(grid_, &fhByteControl::Reverted, this, [this] {
        HistoryScope step(file_, kStepName, session_);
        const Bytes& bytes = grid_->ByteArray();
        for (std::size_t i = 0; i < bytes.size(); ++i) StoreByte(static_cast<int>(i), bytes[i]);
        ShowInspector(grid_->CursorOffset());
    });

    LoadBytes();
    grid_->HexView()->setFocus(); // this window is for typing bytes
    resize(620, 480);
}

std::filesystem::path frmRawData::DumpPath(const std::filesystem::path& dumpsFolder, const std::string& fileTitle,
                                           const std::string& recordKey, const std::string& subrecordKey) {
    const std::string part = subrecordKey.empty() ? std::string("ALL") : subrecordKey;
    return dumpsFolder / (fileTitle + "." + recordKey + "." + part + ".bin");
}

void frmRawData::LoadBytes() {
    recordKey_ = file_.CurrentRecordKey;
    subrecordKey_ = file_.CurrentSubRecordKey;
    setWindowTitle(QString::fromStdString("Raw Data - " + recordKey_ + " / " +
                                          (subrecordKey_.empty() ? std::string("ALL") : subrecordKey_)));
    grid_->SetAllowEdit(!file_.IsSupport);
    Bytes bytes;
    try {
        RecordEntry& r = file_.Rec(recordKey_);
        if (!r.Loaded) file_.LoadRecord(recordKey_);
        if (subrecordKey_.empty()) {
            if (!r.Packed) file_.PackRecord(recordKey_); // the raw bytes become the record's truth
            bytes = r.Data.ToBytes();
        } else {
            const bool wasPacked = r.Packed;
            file_.UnPackRecord(recordKey_);
            if (Subrecord* s = r.SubRecords ? r.SubRecords->Find(subrecordKey_) : nullptr) {
                file_.PackSubRecord(recordKey_, subrecordKey_);
                bytes = s->Data;
                subrecordDataOffset_ = s->Offset + 8;
            }
            if (wasPacked) file_.PackRecord(recordKey_);
        }
    } catch (const std::out_of_range&) {
        // No such record: an empty grid.
    }
    grid_->SetByteArray(bytes);
    if (grid_->ExpandAvailable() && !grid_->Expanded())
        grid_->ToggleExpand(); // this window is about the bytes: show them all
    grid_->SetCursorOffset(0);
    ShowInspector(bytes.empty() ? -1 : 0);
}

void frmRawData::StoreByte(int index, quint8 value) {
    HistoryScope step(file_, kStepName, session_);
    try {
        RecordEntry& r = file_.Rec(recordKey_);
        if (subrecordKey_.empty()) {
            file_.SetRecordByte(recordKey_, static_cast<std::size_t>(index), value);
        } else if (r.Packed) {
            file_.SetRecordByte(recordKey_, static_cast<std::size_t>(subrecordDataOffset_ + index), value);
        } else if (Subrecord* s = r.SubRecords ? r.SubRecords->Find(subrecordKey_) : nullptr) {
            s->SetByte(static_cast<std::size_t>(index), value);
        }
        file_.Changed = true;
    } catch (const std::out_of_range&) {
    }
}

void frmRawData::ShowInspector(int offset) {
    if (offset < 0) {
        for (QLabel* v : values_) v->clear();
        return;
    }
    const ByteInspection i = ByteInspection::At(grid_->ByteArray(), static_cast<std::size_t>(offset));
    const std::string* texts[] = {&i.position, &i.byte,  &i.int16, &i.int32,
                                  &i.float32,  &i.float64, &i.flags, &i.character};
    for (int k = 0; k < values_.size(); ++k) {
        const std::string& t = *texts[k];
        values_[k]->setText(k == 7 && t != ByteInspection::kNotApplicable ? QString(QChar::fromLatin1(t[0]))
                                                                           : QString::fromStdString(t));
    }
}

QString frmRawData::InspectorText(int row) const { return values_.value(row) ? values_[row]->text() : QString(); }

void frmRawData::Dump() {
    const std::filesystem::path path = DumpPath(dumpsFolder_, file_.FileTitle, recordKey_, subrecordKey_);
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::filesystem::remove(path, ec);
    {
        FastFile out;
        out.OpenFileWrite(path.string());
        if (!out.IsOpen()) {
            CurrentPrompt().Message("Could not write the file " + path.string());
            return;
        }
        out.WriteBytes(grid_->ByteArray());
    }
    CurrentPrompt().Message("Raw data was dumped to file " + path.string());
}

} // namespace vellum::ui
