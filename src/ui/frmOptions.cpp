#include "ui/frmOptions.h"

#include "model/Prompt.h"
#include "ui/EditorContext.h"
#include "ui/LegacyText.h"
#include "ui/Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vellum::ui {

frmOptions::frmOptions(EditorContext& context, QWidget* parent)
    : QDialog(parent), context_(context), originalHotTracking_(context.values.HotTracking),
      originalViewTypes_(context.values.ViewRecordTypes) {
    setObjectName("frmOptions");
    setWindowTitle("Options");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(AddBox("EnableSafeEdit", "Safe editing (scan for dependencies)", context.values.EnableSafeEdit));
    layout->addWidget(AddBox("SafeCutBehaviour", "Safe cut also removes dependent entries", context.values.SafeCutBehaviour));
    layout->addWidget(AddBox("EnableDelete", "Enable deleting", context.values.EnableDelete));
    layout->addWidget(AddBox("ConfirmDelete", "Confirm delete operations", context.values.ConfirmDelete));
    layout->addWidget(AddBox("ConfirmCut", "Confirm cut operations", context.values.ConfirmCut));
    layout->addWidget(AddBox("ReplaceClipboard", "Replace clipboard contents", context.values.ReplaceClipboard));
    layout->addWidget(AddBox("HotTracking", "Hot tracking in the record tree", context.values.HotTracking));
    layout->addWidget(AddBox("ViewRecordTypes", "Show record types in category captions", context.values.ViewRecordTypes));
    layout->addWidget(AddBox("LeaveRecordsUnpacked", "Leave records unpacked (faster, uses more memory)",
                             context.values.LeaveRecordsUnpacked));
    layout->addWidget(AddBox("MapFiles", "Map data files into memory (turn off for network folders or a failing disk)",
                             context.values.MapFiles));
    layout->addWidget(AddBox("SortRecordsWhenSaving", "Sort records by type when saving",
                             context.values.SortRecordsWhenSaving));

    connect(boxes_["EnableSafeEdit"], &QCheckBox::toggled, this, &frmOptions::SafeEditingToggled);
    connect(boxes_["HotTracking"], &QCheckBox::toggled, this, [this](bool on) {
        context_.values.HotTracking = on;
        emit viewChanged();
    });
    connect(boxes_["ViewRecordTypes"], &QCheckBox::toggled, this, [this](bool on) {
        context_.values.ViewRecordTypes = on;
        emit viewChanged();
    });

    auto* form = new QFormLayout;
    auto* imageRow = new QHBoxLayout;
    image_ = new QLineEdit(QString::fromStdString(context.values.BackGroundImage), this);
    auto* browse = new QPushButton("Browse...", this);
    auto* clear = new QPushButton("Clear", this);
    imageRow->addWidget(image_);
    imageRow->addWidget(browse);
    imageRow->addWidget(clear);
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString file = QFileDialog::getOpenFileName(
            this, "Background Image", image_->text(), "Image Files (*.bmp *.jpg *.jpeg *.gif *.png)");
        if (!file.isEmpty())
            image_->setText(file);
    });
    connect(clear, &QPushButton::clicked, image_, &QLineEdit::clear);
    form->addRow("Background image:", imageRow);

    encoding_ = new QComboBox(this);
    encoding_->addItem("Western European (Windows-1252)", 1252);
    encoding_->addItem("Central European (Windows-1250)", 1250);
    encoding_->addItem("Cyrillic (Windows-1251)", 1251);
    encoding_->setCurrentIndex(std::max(0, encoding_->findData(context.codePage)));
    form->addRow("Text encoding:", encoding_);

    auto* dataRow = new QHBoxLayout;
    dataFolder_ = new QLineEdit(QString::fromStdString(context.dataFolder.string()), this);
    auto* dataBrowse = new QPushButton("Browse...", this);
    dataRow->addWidget(dataFolder_);
    dataRow->addWidget(dataBrowse);
    connect(dataBrowse, &QPushButton::clicked, this, [this] {
        const QString dir = QFileDialog::getExistingDirectory(this, "Game Data Folder", dataFolder_->text());
        if (!dir.isEmpty())
            dataFolder_->setText(dir);
    });
    form->addRow("Game data folder:", dataRow);
    layout->addLayout(form);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QCheckBox* frmOptions::AddBox(const QString& key, const QString& caption, bool value) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(key);
    box->setChecked(value);
    boxes_.insert(key, box);
    return box;
}

void frmOptions::SafeEditingToggled(bool on) {
    if (on)
        return;
    if (CurrentPrompt().Ask(SafeEditingQuestion(true), Buttons::YesNo) != Answer::Yes) {
        const QSignalBlocker block(boxes_["EnableSafeEdit"]);
        boxes_["EnableSafeEdit"]->setChecked(true);
    }
}

void frmOptions::accept() {
    context_.values.ConfirmCut = boxes_["ConfirmCut"]->isChecked();
    context_.values.ConfirmDelete = boxes_["ConfirmDelete"]->isChecked();
    context_.values.EnableDelete = boxes_["EnableDelete"]->isChecked();
    context_.values.LeaveRecordsUnpacked = boxes_["LeaveRecordsUnpacked"]->isChecked();
    context_.values.MapFiles = boxes_["MapFiles"]->isChecked();
    context_.values.SortRecordsWhenSaving = boxes_["SortRecordsWhenSaving"]->isChecked();
    context_.values.ReplaceClipboard = boxes_["ReplaceClipboard"]->isChecked();
    context_.values.EnableSafeEdit = boxes_["EnableSafeEdit"]->isChecked();
    context_.values.HotTracking = boxes_["HotTracking"]->isChecked();
    context_.values.ViewRecordTypes = boxes_["ViewRecordTypes"]->isChecked();
    context_.values.SafeCutBehaviour = boxes_["SafeCutBehaviour"]->isChecked();
    context_.values.BackGroundImage = image_->text().toStdString();
    context_.codePage = encoding_->currentData().toInt();
    SetTextCodePage(context_.codePage);
    // A folder the user names is kept; an emptied box means "find the game again".
    const std::string folder = dataFolder_->text().trimmed().toStdString();
    if (folder != context_.dataFolder.string()) {
        context_.values.DataFolder = folder;
        context_.startup.GetDataFolder();
        context_.dataFolder = context_.startup.DataFolder();
    }
    QDialog::accept();
}

void frmOptions::reject() {
    const bool viewChangedHere =
        context_.values.HotTracking != originalHotTracking_ || context_.values.ViewRecordTypes != originalViewTypes_;
    context_.values.HotTracking = originalHotTracking_;
    context_.values.ViewRecordTypes = originalViewTypes_;
    if (viewChangedHere)
        emit viewChanged();
    QDialog::reject();
}

} // namespace vellum::ui
