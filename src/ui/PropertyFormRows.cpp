// The composite rows of the property form: text, file lookup, bytes.
#include "ui/PropertyForm.h"

#include "model/Prompt.h"
#include "ui/BookPreview.h"
#include "ui/FileDialogs.h"
#include "ui/LegacyText.h"
#include "ui/NamedValueField.h"
#include "ui/fhByteControl.h"
#include "ui/frmEditText.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

namespace vellum::ui {
namespace {

QString TextOf(const PropertyValue& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return FromFileText(*s);
    return {};
}

QWidget* Row(QWidget* parent, QHBoxLayout*& layout) {
    auto* w = new QWidget(parent);
    layout = new QHBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    return w;
}

// "Desc|*.a;*.b|" filters as file dialog filters "Desc (*.a *.b)".
QString DialogFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        desc = desc.left(desc.indexOf('(')).trimmed();
        out << QStringLiteral("%1 (%2)").arg(desc, QString(parts[i + 1]).replace(';', ' '));
    }
    out << QStringLiteral("All Files (*)");
    return out.join(QStringLiteral(";;"));
}

} // namespace

QWidget* PropertyForm::TextRow(int n, esLLFormEntry& e) {
    QHBoxLayout* layout = nullptr;
    QWidget* row = Row(page_, layout);
    auto* edit = new QLineEdit(TextOf(e.Data), row);
    edit->setObjectName(QStringLiteral("Entry%1").arg(n));
    const bool multiLine = edit->text().contains('\n') || edit->text().contains('\r');
    if (e.MaxChars > 0 && edit->text().size() > e.MaxChars) {
        edit->setEnabled(false);
        edit->setToolTip("Text exceeds max length for field. Use multiline editor.");
    } else if (multiLine) {
        edit->setReadOnly(true); // a single line would lose the line breaks
        edit->setToolTip("Use the multiline editor for text with line breaks.");
    } else if (e.MaxChars > 0) {
        edit->setMaxLength(static_cast<int>(e.MaxChars));
    }
    connect(edit, &QLineEdit::textEdited, this, [this, &e](const QString& t) { SetData(e, ToFileText(t)); });
    layout->addWidget(edit, 1);

    auto* more = new QPushButton("...", row);
    more->setToolTip("Multi-line editor");
    more->setMaximumWidth(32);
    const bool book = !e.Html.empty();
    const std::string background = (shippedFolder_ / e.Html).string();
    connect(more, &QPushButton::clicked, this, [this, &e, edit, book, background] {
        frmEditText editor(TextOf(e.Data), book, this);
        editor.SetPreview([this, background](const QString& text) {
            ShowBookPreview(scratchFolder_, ToFileText(text), background, dataFolder_);
        });
        if (editor.exec() != QDialog::Accepted)
            return;
        SetData(e, ToFileText(editor.Text()));
        const QSignalBlocker block(edit);
        edit->setText(editor.Text());
    });
    layout->addWidget(more);
    if (book) {
        auto* preview = new QPushButton("Preview", row);
        connect(preview, &QPushButton::clicked, this, [this, &e, background] {
            if (const auto* s = std::get_if<std::string>(&e.Data))
                ShowBookPreview(scratchFolder_, *s, background, dataFolder_);
        });
        layout->addWidget(preview);
    }
    if (e.FormEntryType == FormEntryKind::TextLookupField)
        AddLookupButtons(layout, n, e, edit, lookup,
                         [this, &e] { emit goToId(TextOf(e.Data), QString::fromStdString(e.RecordType)); });
    return row;
}

void PropertyForm::AddLookupButtons(QHBoxLayout* layout, int n, esLLFormEntry& e, QLineEdit* edit,
                                    const std::function<QString(const esLLFormEntry&)>& ask,
                                    std::function<void()> goTo) {
    auto* lookup = new QPushButton("Lookup", layout->parentWidget());
    lookup->setObjectName(QStringLiteral("Lookup%1").arg(n));
    lookup->setEnabled(static_cast<bool>(ask));
    connect(lookup, &QPushButton::clicked, this, [this, &e, edit, &ask] {
        const QString id = ask ? ask(e) : QString();
        if (id.isEmpty())
            return;
        SetData(e, ToFileText(id));
        const QSignalBlocker block(edit);
        edit->setText(id);
    });
    auto* go = new QPushButton("Go To", layout->parentWidget());
    go->setObjectName(QStringLiteral("GoTo%1").arg(n));
    connect(go, &QPushButton::clicked, this, std::move(goTo));
    layout->addWidget(lookup);
    layout->addWidget(go);
}

QWidget* PropertyForm::FileLookupRow(int n, esLLFormEntry& e) {
    QHBoxLayout* layout = nullptr;
    QWidget* row = Row(page_, layout);
    auto* edit = new QLineEdit(TextOf(e.Data), row);
    edit->setObjectName(QStringLiteral("Entry%1").arg(n));
    connect(edit, &QLineEdit::textEdited, this, [this, &e](const QString& t) { SetData(e, ToFileText(t)); });
    layout->addWidget(edit, 1);
    auto* browse = new QPushButton("Browse...", row);
    connect(browse, &QPushButton::clicked, this, [this, &e, edit] {
        const std::string folder = e.LookupFolder.empty() || e.LookupFolder == "." ? std::string() : e.LookupFolder;
        const std::filesystem::path dir = (dataFolder_ / folder).lexically_normal();
        const QString start = QString::fromStdString(dir.string());
        const QString chosen =
            AskForFiles(this, {FileDialogRequest::OpenOne, "Select File", start, DialogFilter(e.LookupFilter)}).value(0);
        if (chosen.isEmpty())
            return;
        QString base = start;
        if (!base.endsWith('/'))
            base += '/';
        if (!chosen.startsWith(base)) {
            CurrentPrompt().Message("This type of entry may only refer to a file in the directory '" +
                                    (folder.empty() ? dir.string() : folder) + "' or one of its subdirectories.");
            return;
        }
        // The game stores these paths with backslashes.
        const QString relative = chosen.mid(base.size()).replace('/', '\\');
        edit->setText(relative);
        SetData(e, ToFileText(relative));
    });
    layout->addWidget(browse);
    return row;
}

QWidget* PropertyForm::ParentLookupRow(int n, esLLFormEntry& e) {
    QHBoxLayout* layout = nullptr;
    QWidget* row = Row(page_, layout);
    // The parent is chosen from its records, never typed.
    auto* edit = new QLineEdit(TextOf(e.Data), row);
    edit->setObjectName(QStringLiteral("Entry%1").arg(n));
    edit->setReadOnly(true);
    layout->addWidget(edit, 1);
    AddLookupButtons(layout, n, e, edit, parentLookup,
                     [this, &e] { emit goToParent(TextOf(e.Data), QString::fromStdString(e.ParentType)); });
    return row;
}

QWidget* PropertyForm::NamedRow(int n, esLLFormEntry& e) {
    auto* field = new NamedValueField(e.Names, e.FormEntryType, e.Size, e.Data, page_);
    field->setObjectName(QStringLiteral("Entry%1").arg(n));
    if (e.IDEntry)
        field->setToolTip("Identity Property");
    connect(field, &NamedValueField::valueEdited, this, [this, &e](const PropertyValue& v) { SetData(e, v); });
    return field;
}

QWidget* PropertyForm::ByteRow(int n, esLLFormEntry& e) {
    const Bytes bytes = std::holds_alternative<Bytes>(e.Data) ? std::get<Bytes>(e.Data) : Bytes{};
    auto* grid = new fhByteControl(page_);
    grid->setObjectName(QStringLiteral("Entry%1").arg(n));
    // Past the limit only the first bytes are shown and edited; the rest is kept as it is.
    const std::size_t shown = std::min<std::size_t>(bytes.size(), kMaxByteEdit);
    grid->SetByteArray(ByteSpan(bytes).first(shown));
    if (shown < bytes.size())
        grid->setToolTip(QStringLiteral("Warning! Data exceeds the maximum number of bytes allowed for the byte "
                                        "control. Only the first %1 bytes can be edited")
                             .arg(kMaxByteEdit));
    auto store = [this, &e, grid, tail = Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(shown), bytes.end())] {
        Bytes out = grid->ByteArray();
        out.insert(out.end(), tail.begin(), tail.end());
        SetData(e, out);
    };
    connect(grid, &fhByteControl::ByteChanged, this, store);
    connect(grid, &fhByteControl::Reverted, this, store);
    connect(grid, &fhByteControl::LayoutChanged, grid, [grid] { grid->updateGeometry(); });
    return grid;
}

} // namespace vellum::ui
