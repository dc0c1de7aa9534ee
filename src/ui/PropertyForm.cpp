#include "ui/PropertyForm.h"

#include "ui/BitFieldEditor.h"
#include "ui/LegacyText.h"
#include "ui/NamedValueField.h"
#include "ui/NumberField.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace vellum::ui {

PropertyForm::PropertyForm(QWidget* parent) : QScrollArea(parent) {
    setObjectName("PropertyForm");
    setWidgetResizable(true);
    Draw(nullptr);
}

void PropertyForm::SetFolders(std::filesystem::path dataFolder, const ProgramFolder& folders) {
    dataFolder_ = std::move(dataFolder);
    shippedFolder_ = folders.Shipped();
    scratchFolder_ = folders.ScratchFolder();
}

QWidget* PropertyForm::EditorOf(int n) const { return editors_.value(n); }

void PropertyForm::SetData(esLLFormEntry& e, PropertyValue value) {
    e.Data = std::move(value);
    e.Changed = e.Data != e.OldData;
    emit edited();
}

void PropertyForm::Draw(esLLFormEntries* entries) {
    entries_ = entries;
    editors_.clear();
    rows_ = 0;
    band_ = false;
    // A fresh page widget: deleting the old one drops every row at once.
    page_ = new QWidget;
    page_->setObjectName("FormPage");
    grid_ = new QGridLayout(page_);
    grid_->setColumnStretch(1, 1);
    grid_->setVerticalSpacing(3);
    if (entries_) {
        int n = 0;
        for (auto& slot : *entries_)
            AddRow(++n, slot.value);
    }
    grid_->setRowStretch(rows_, 1);
    setWidget(page_); // deletes the previous page
}

// The heading's caption with its buttons after it.
QWidget* PropertyForm::HeadingRow(QLabel* caption, const esLLFormEntry& e) {
    using Button = std::pair<const char*, const char*>;
    static const std::vector<Button> marked = {{"Delete", "mnuEditDelete"}, {"Cut", "mnuEditCut"},
                                               {"Copy", "mnuEditCopy"},     {"Show", "mnuEditEditMarked"},
                                               {"Undo", "mnuEditUnmark"}};
    static const std::vector<Button> record = {{"Delete", "mnuEditDelete"}, {"Cut", "mnuEditCut"},
                                               {"Copy", "mnuEditCopy"},     {"Find", "mnuEditFind"},
                                               {"Paste", "mnuEditPaste"},   {"Sort", "mnuEditSortSubrecords"},
                                               {"Raw", "mnuEditRawData"}};
    static const std::vector<Button> subrecord = {
        {"Delete", "mnuEditDelete"}, {"Cut", "mnuEditCut"}, {"Copy", "mnuEditCopy"}, {"Raw", "mnuEditRawData"}};
    const std::vector<Button>& buttons = e.FormEntryType == FormEntryKind::MarkedActions ? marked
                                         : e.FormEntryType == FormEntryKind::RecordHeading ? record
                                                                              : subrecord;
    auto* holder = new QWidget(page_);
    auto* h = new QHBoxLayout(holder);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(2);
    h->addWidget(caption, 1);
    const QString recordKey = QString::fromStdString(e.RecordKey), subKey = QString::fromStdString(e.SubRecordKey);
    for (const auto& [text, command] : buttons) {
        auto* b = new QPushButton(text, holder);
        b->setObjectName(QStringLiteral("%1.%2").arg(command, subKey.isEmpty() ? recordKey : subKey));
        b->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Fixed);
        // Queued: the command rebuilds the form and with it this button.
        connect(b, &QPushButton::clicked, this, [this, command, recordKey, subKey] {
            emit headingCommand(QString::fromLatin1(command), recordKey, subKey);
        }, Qt::QueuedConnection);
        h->addWidget(b);
    }
    return holder;
}

// Colours a heading. A palette rather than a style sheet: a style sheet per label makes showing
// a page of headings several times slower.
void PropertyForm::Band(QLabel* label, const QColor& background, const QColor& text, int margin, int points,
                        bool bold) {
    label->setAutoFillBackground(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    label->setPalette(palette);
    label->setMargin(margin);
    if (points > 0 || bold) {
        QFont font = label->font();
        if (points > 0)
            font.setPointSize(points);
        font.setBold(bold);
        label->setFont(font);
    }
}

void PropertyForm::AddRow(int n, esLLFormEntry& e) {
    const int row = rows_++;
    auto label = [&](const QString& text) {
        auto* l = new QLabel(text, page_);
        if (e.IDEntry)
            l->setToolTip("Identity Property");
        // Flags take several lines: their caption stays at the top.
        grid_->addWidget(l, row, 0, e.FormEntryType == FormEntryKind::BitField ? Qt::AlignTop : Qt::AlignVCenter);
        return l;
    };
    auto place = [&](QWidget* w) {
        grid_->addWidget(w, row, 1);
        editors_.insert(n, w);
    };
    auto button = [&](const QString& text, auto onClick) {
        auto* b = new QPushButton(text, page_);
        connect(b, &QPushButton::clicked, this, onClick);
        grid_->addWidget(b, row, 0, 1, 2, Qt::AlignLeft);
        editors_.insert(n, b);
    };
    switch (e.FormEntryType) {
    case FormEntryKind::MainHeading: {
        auto* l = new QLabel(FromFileText(e.Caption), page_);
        Band(l, QColor(0x3a, 0x5f, 0x8f), Qt::white, 4, 13, true);
        grid_->addWidget(l, row, 0, 1, 2);
        break;
    }
    case FormEntryKind::MarkedActions:
    case FormEntryKind::RecordHeading: {
        auto* l = new QLabel(FromFileText(e.Caption), page_);
        Band(l, QColor(0xc8, 0xd8, 0xec), Qt::black, 3, 0, true);
        grid_->addWidget(HeadingRow(l, e), row, 0, 1, 2);
        break;
    }
    case FormEntryKind::SubrecordHeading: {
        band_ = !band_;
        QString text = FromFileText(e.Caption);
        if (!e.Html.empty())
            text += QStringLiteral("    ") + FromFileText(e.Html);
        auto* l = new QLabel(text, page_);
        Band(l, band_ ? QColor(0xff, 0xff, 0xff) : QColor(0xef, 0xef, 0xef), Qt::black, 2);
        grid_->addWidget(HeadingRow(l, e), row, 0, 1, 2);
        break;
    }
    case FormEntryKind::TextField:
        label(FromFileText(e.Caption));
        place(e.Names ? NamedRow(n, e) : TextRow(n, e));
        break;
    case FormEntryKind::TextLookupField:
        label(FromFileText(e.Caption));
        place(TextRow(n, e));
        break;
    case FormEntryKind::FileLookupField:
        label(FromFileText(e.Caption));
        place(FileLookupRow(n, e));
        break;
    case FormEntryKind::ParentLookupField:
        label(FromFileText(e.Caption));
        place(ParentLookupRow(n, e));
        break;
    case FormEntryKind::SingleField:
    case FormEntryKind::DoubleField:
    case FormEntryKind::LongField:
    case FormEntryKind::Long64Field:
    case FormEntryKind::ShortField:
    case FormEntryKind::ByteField: {
        label(FromFileText(e.Caption));
        if (e.Names) {
            place(NamedRow(n, e));
            break;
        }
        auto* f = new NumberField(e.FormEntryType, e.Size, e.Data, page_);
        f->setObjectName(QStringLiteral("Entry%1").arg(n));
        if (e.IDEntry)
            f->setToolTip("Identity Property");
        connect(f, &NumberField::valueEdited, this, [this, &e](const PropertyValue& v) { SetData(e, v); });
        place(f);
        break;
    }
    case FormEntryKind::BitField: {
        label(FromFileText(e.Caption));
        const Bytes bytes = std::holds_alternative<Bytes>(e.Data) ? std::get<Bytes>(e.Data) : Bytes{};
        auto* holder = new QWidget(page_);
        auto* v = new QVBoxLayout(holder);
        v->setContentsMargins(0, 0, 0, 0);
        if (bytes.size() > BitFieldEditor::kMaxBytes)
            v->addWidget(new QLabel("Warning! Data exceeds the maximum number of bytes allowed for the bitfield "
                                    "control. Only the first 4 bytes can be edited",
                                    holder));
        auto* bits = new BitFieldEditor(bytes, e.Names.get(), holder);
        bits->setObjectName(QStringLiteral("Entry%1").arg(n));
        connect(bits, &BitFieldEditor::valueEdited, this, [this, &e](const Bytes& b) { SetData(e, b); });
        v->addWidget(bits);
        place(holder);
        editors_.insert(n, bits);
        break;
    }
    case FormEntryKind::ByteArrayField:
        label(FromFileText(e.Caption));
        place(ByteRow(n, e));
        break;
    case FormEntryKind::PreviousPage: button("<< Previous Page", [this] { emit pageRequested(-1); }); break;
    case FormEntryKind::NextPage: button("More... (Next Page) >>", [this] { emit pageRequested(1); }); break;
    case FormEntryKind::ShowChildren:
    case FormEntryKind::ShowParent: {
        const QString key = QString::fromStdString(e.RecordKey);
        button(FromFileText(e.Caption), [this, key] { emit goToRecordKey(key); });
        break;
    }
    default: label(FromFileText(e.Caption)); break;
    }
}

} // namespace vellum::ui
