#pragma once

#include <QDialog>

#include <string>

class QTableView;

namespace vellum {
class esfile;
}

namespace vellum::ui {

class TextTableModel;

// Puts a record's subrecords in a new order: Up and Down move the selected row, OK hands the
// new order to the record (packed again when it was packed); Cancel changes nothing.
class frmSortSubrecords : public QDialog {
    Q_OBJECT
public:
    frmSortSubrecords(esfile& file, const std::string& recordKey, QWidget* parent = nullptr);
    ~frmSortSubrecords() override;

    void MoveUp();
    void MoveDown();
    void accept() override;
    void reject() override;

    TextTableModel* Model() const { return model_; }
    QTableView* Grid() const { return grid_; }
    // "(value, value, ...)" of decoded values: ten at most, 45 characters at most.
    static std::string Summary(const std::vector<std::string>& values);

private:
    void Move(int delta);
    void Restore();

    esfile& file_;
    std::string recordKey_;
    bool wasPacked_ = false;
    bool restored_ = false;
    TextTableModel* model_;
    QTableView* grid_;
};

} // namespace vellum::ui
