#include "ui/frmEditText.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QVBoxLayout>

namespace vellum::ui {
namespace {

// Colours the HTML-like markup of book texts: tags, and the "@...#" highlights.
class BookMarkup : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override {
        static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
        static const QRegularExpression mark(QStringLiteral("@[^#]*#"));
        QTextCharFormat tagFormat;
        tagFormat.setForeground(QColor(128, 0, 128));
        QTextCharFormat markFormat;
        markFormat.setForeground(Qt::blue);
        for (auto it = tag.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(m.capturedStart(), m.capturedLength(), tagFormat);
        }
        for (auto it = mark.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            setFormat(m.capturedStart(), m.capturedLength(), markFormat);
        }
    }
};

} // namespace

frmEditText::frmEditText(const QString& text, bool bookMode, QWidget* parent) : QDialog(parent) {
    setObjectName("frmEditText");
    setWindowTitle("Edit Text");
    resize(560, 420);
    auto* layout = new QVBoxLayout(this);
    edit_ = new QPlainTextEdit(this);
    // Texts keep the line ends they were stored with (usually CR LF).
    crlf_ = text.contains(QStringLiteral("\r\n"));
    edit_->setPlainText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    layout->addWidget(edit_);
    auto* row = new QHBoxLayout;
    if (bookMode) {
        auto* highlight = new QPushButton("&Highlight", this);
        highlight->setCheckable(true);
        connect(highlight, &QPushButton::toggled, this, [this](bool on) {
            delete highlighter_;
            highlighter_ = on ? new BookMarkup(edit_->document()) : nullptr;
        });
        auto* html = new QPushButton("HT&ML", this);
        connect(html, &QPushButton::clicked, this, [this] {
            if (preview_)
                preview_(Text());
        });
        row->addWidget(highlight);
        row->addWidget(html);
    }
    row->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    row->addWidget(buttons);
    layout->addLayout(row);
}

QString frmEditText::Text() const {
    QString text = edit_->toPlainText();
    return crlf_ ? text.replace(QStringLiteral("\n"), QStringLiteral("\r\n")) : text;
}

} // namespace vellum::ui
