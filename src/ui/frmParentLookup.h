#pragma once

#include "ui/ChoiceDialog.h"

#include <string>

namespace vellum {
class esfile;
}

namespace vellum::ui {

// Picks a parent record: every record of the parent type's category, by ID and description.
// Result() is the chosen record's key.
class frmParentLookup : public ChoiceDialog {
    Q_OBJECT
public:
    frmParentLookup(const esfile& file, const std::string& parentType, const QString& parentCaption,
                    QWidget* parent = nullptr);
};

} // namespace vellum::ui
