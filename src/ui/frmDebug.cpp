#include "ui/frmDebug.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vellum::ui {

frmDebug::frmDebug(QWidget* parent) : QDialog(parent, Qt::Tool) {
    setObjectName("frmDebug");
    setWindowTitle("Developer's Debug Window");
    resize(420, 520);
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(text_);
}

void frmDebug::SetListing(const QString& text) { text_->setPlainText(text); }
QString frmDebug::Listing() const { return text_->toPlainText(); }

} // namespace vellum::ui
