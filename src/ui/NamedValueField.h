#pragma once

#include "model/Property.h"
#include "template/ValueNames.h"
#include "ui/esLLFormEntry.h"

#include <QWidget>

#include <memory>

class QComboBox;
class QLineEdit;

namespace vellum::ui {

// A property whose values the format template names: a drop-down of the names beside the
// stored value itself. Choosing a name stores its value; a value typed into the box that the
// list does not name stays as it is and shows as "(unnamed)" in the drop-down.
class NamedValueField : public QWidget {
    Q_OBJECT
public:
    // `kind`: the numeric entry kind of the property, or the text field kind for a short text.
    NamedValueField(std::shared_ptr<const ValueNames> names, FormEntryKind kind, int size, const PropertyValue& value,
                    QWidget* parent = nullptr);

    QComboBox* Choices() const { return choices_; }
    QLineEdit* Stored() const { return stored_; }
    PropertyValue Value() const;

signals:
    void valueEdited(const vellum::PropertyValue& value);

private:
    void ShowNameOfStored();

    std::shared_ptr<const ValueNames> names_;
    FormEntryKind kind_;
    int size_;
    QComboBox* choices_;
    QLineEdit* stored_;
};

} // namespace vellum::ui
