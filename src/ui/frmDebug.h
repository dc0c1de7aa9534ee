#pragma once

#include <QDialog>

class QPlainTextEdit;

namespace vellum::ui {

// The developer's debug window beside the main window: a listing of the selected subrecord.
class frmDebug : public QDialog {
    Q_OBJECT
public:
    explicit frmDebug(QWidget* parent = nullptr);
    void SetListing(const QString& text);
    QString Listing() const;

private:
    QPlainTextEdit* text_;
};

} // namespace vellum::ui
