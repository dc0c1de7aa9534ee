#pragma once

#include "template/LoadOrder.h"

#include <QDialog>

#include <optional>

class QLabel;
class QListWidget;
class QPushButton;

namespace vellum::ui {

// File > Open Load Order: the active content files of the game's set-up in load order; the
// selected one opens for editing, the others as support files. Another openmw.cfg or
// Morrowind.ini can be read instead of the user's own.
class frmLoadOrder : public QDialog {
    Q_OBJECT
public:
    explicit frmLoadOrder(std::optional<LoadOrder> order, QWidget* parent = nullptr);

    // Reads another configuration file; false (with a message) when it names no content.
    bool ReadFrom(const QString& file);

    const LoadOrder* Order() const { return order_ ? &*order_ : nullptr; }
    // The position in Order()->files of the file to edit, or -1.
    int Editable() const;
    QListWidget* List() const { return list_; }
    QPushButton* OtherButton() const { return other_; }

private:
    void Fill();

    std::optional<LoadOrder> order_;
    QLabel* source_;
    QListWidget* list_;
    QPushButton* other_;
    QPushButton* ok_;
};

} // namespace vellum::ui
