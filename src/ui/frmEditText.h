#pragma once

#include <QDialog>

#include <functional>

class QPlainTextEdit;
class QPushButton;
class QSyntaxHighlighter;

namespace vellum::ui {

// The multi-line text editor of a text field. In book mode it offers a markup highlight and the
// HTML preview. OK keeps the edited text (Text()), Cancel discards it.
class frmEditText : public QDialog {
    Q_OBJECT
public:
    frmEditText(const QString& text, bool bookMode, QWidget* parent = nullptr);
    QString Text() const;
    QPlainTextEdit* Editor() const { return edit_; }
    // Book mode's HTML button calls this with the current text.
    void SetPreview(std::function<void(const QString&)> preview) { preview_ = std::move(preview); }

private:
    QPlainTextEdit* edit_;
    QSyntaxHighlighter* highlighter_ = nullptr;
    std::function<void(const QString&)> preview_;
    bool crlf_ = false;
};

} // namespace vellum::ui
