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

// Size, type, record count, records per record type and masters of one open file.
class frmStatistics : public QDialog {
    Q_OBJECT
public:
    explicit frmStatistics(esfile& file, QWidget* parent = nullptr);

    QString Field(const QString& name) const; // "Title", "Size", "Type", "Records"
    TextTableModel* Types() const { return types_; }
    QListWidget* Masters() const { return masters_; }

private:

    TextTableModel* types_;
    QTableView* grid_;
    QListWidget* masters_;
};

} // namespace vellum::ui
