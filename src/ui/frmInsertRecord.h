#pragma once

#include "ui/ChoiceDialog.h"

namespace vellum {
class Config;
}

namespace vellum::ui {

// Picks the type of a new record: every four-character group of the format template, in the
// template's order. Result() is the record type.
class frmInsertRecord : public ChoiceDialog {
    Q_OBJECT
public:
    explicit frmInsertRecord(const Config& templ, QWidget* parent = nullptr);
};

} // namespace vellum::ui
