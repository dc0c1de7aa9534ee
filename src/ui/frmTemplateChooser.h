#pragma once

#include <QDialog>

#include <filesystem>

class QListWidget;

namespace vellum::ui {

// File New's choice of template data file: every file of the "Templates" folder, listed by its
// name without the extension. Chosen() is the file name, empty after Cancel or Escape.
class frmTemplateChooser : public QDialog {
    Q_OBJECT
public:
    explicit frmTemplateChooser(const std::filesystem::path& folder, QWidget* parent = nullptr);
    QString Chosen() const { return chosen_; }
    QListWidget* List() const { return list_; }

    void accept() override;

private:
    QListWidget* list_;
    QString chosen_;
};

} // namespace vellum::ui
