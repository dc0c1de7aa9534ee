#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QTableView;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class TextTableModel;

// Size, type, record count, masters of one open file, and per record type its records with
// those added, changed and deleted since the file was loaded.
class frmStatistics : public QDialog {
    Q_OBJECT
public:
    explicit frmStatistics(esfile& file, QWidget* parent = nullptr);

    QString Field(const QString& name) const; // "Title", "Size", "Type", "Records"
    TextTableModel* Types() const { return types_; }
    QListWidget* Masters() const { return masters_; }
    QListWidget* Deleted() const { return deleted_; } // "TYPE ID" per record deleted since the load

private:

    TextTableModel* types_;
    QTableView* grid_;
    QListWidget* deleted_;
    QListWidget* masters_;
};

} // namespace vellum::ui
