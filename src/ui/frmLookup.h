#pragma once

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTableView;

namespace vellum {
class esfile;
class Progress;
} // namespace vellum

namespace vellum::ui {

class TextTableModel;

// Picks the ID a reference-valued property points to: for the chosen record type, the records
// of that category in the file, then in each of its masters that is open. Masters that are not
// open are named, with an offer to load them as support files. Result() is the ID.
class frmLookup : public QDialog {
    Q_OBJECT
public:
    struct Files {
        // The open files, asked again after masters were loaded.
        std::function<std::vector<const esfile*>()> open;
        // Loads masters of the file, by name, as support files; without it nothing is offered.
        std::function<void(const std::vector<std::string>& names)> loadMasters;
    };

    // `types`: the record types the property may name (the template's @TEXTLOOKUP entry);
    // `current`: the property's value, selected when it is listed.
    frmLookup(esfile& file, Files files, std::vector<std::string> types, const QString& current = {},
              Progress* progress = nullptr, QWidget* parent = nullptr);

    // The types of @TEXTLOOKUP for "<record type>.<subrecord type>.<property>", trimmed.
    static std::vector<std::string> LookupTypes(const esfile& file, const std::string& address);

    void ShowType(const QString& type);
    QString Result() const { return result_; }
    TextTableModel* Model() const { return model_; }
    QTableView* Grid() const { return grid_; }
    QComboBox* Types() const { return typesBox_; }
    QLabel* MastersNotice() const { return notice_; }
    QPushButton* LoadMastersButton() const { return loadMasters_; }
    // Names of the file's masters that are not open.
    std::vector<std::string> MissingMasters() const;
    void LoadMasters();
    void accept() override;

private:
    void AddCategory(const esfile& file, const std::string& type);
    const esfile* OpenMaster(const std::string& name) const;
    // The first type whose records hold `current`, else the first type.
    QString TypeHolding(const std::string& current) const;
    void SelectCurrent();
    void ShowNotice();

    esfile& file_;
    Files files_;
    std::vector<const esfile*> open_;
    QString current_;
    Progress* progress_;
    TextTableModel* model_;
    QTableView* grid_;
    QComboBox* typesBox_;
    QLabel* notice_;
    QPushButton* loadMasters_;
    QString result_;
};

} // namespace vellum::ui
