#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QTableView;

namespace vellum {
class esfile;
class Progress;
} // namespace vellum

namespace vellum::ui {

class TextTableModel;

// Picks the ID a reference-valued property points to: for the chosen record type, the records
// of that category in the file, then in each of its masters that is open. Result() is the ID.
class frmLookup : public QDialog {
    Q_OBJECT
public:
    // `types`: the record types the property may name (the template's @TEXTLOOKUP entry).
    frmLookup(esfile& file, std::vector<const esfile*> openFiles, std::vector<std::string> types,
              Progress* progress = nullptr, QWidget* parent = nullptr);

    // The types of @TEXTLOOKUP for "<record type>.<subrecord type>.<property>", trimmed.
    static std::vector<std::string> LookupTypes(const esfile& file, const std::string& address);

    void ShowType(const QString& type);
    QString Result() const { return result_; }
    TextTableModel* Model() const { return model_; }
    QTableView* Grid() const { return grid_; }
    QComboBox* Types() const { return typesBox_; }
    void accept() override;

private:
    void AddCategory(const esfile& file, const std::string& type);

    esfile& file_;
    std::vector<const esfile*> openFiles_;
    Progress* progress_;
    TextTableModel* model_;
    QTableView* grid_;
    QComboBox* typesBox_;
    QString result_;
};

} // namespace vellum::ui
