#pragma once

#include "ui/ChoiceDialog.h"

#include <string>

namespace vellum {
class esfile;
}

namespace vellum::ui {

// Picks the type of a new subrecord for a record: the subrecord part of every template group
// "<record type>.<subrecord type>" of the record's type (the type compared in any case).
// Result() is the subrecord type.
class frmInsertSubrecord : public ChoiceDialog {
    Q_OBJECT
public:
    frmInsertSubrecord(esfile& file, const std::string& recordKey, QWidget* parent = nullptr);
};

} // namespace vellum::ui
