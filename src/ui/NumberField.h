#pragma once

#include "model/Property.h"
#include "ui/esLLFormEntry.h"

#include <QLineEdit>

namespace vellum::ui {

// A text box for one numeric property. Keystrokes are limited to what can start a number of
// the field's kind; on losing the focus the text is rewritten as the number its leading
// numeric part gives (no leading number gives 0), clamped to the field's range.
class NumberField : public QLineEdit {
    Q_OBJECT
public:
    // `entryType`: one of the numeric form entry types; `size` the property's byte count.
    NumberField(FormEntryKind entryType, int size, const PropertyValue& value, QWidget* parent = nullptr);

    PropertyValue Value() const; // the text converted to the field's type
    static QString Format(const PropertyValue& value);
    // The value of `text` for a field of that kind: the leading number, clamped.
    static PropertyValue Parse(FormEntryKind entryType, int size, const QString& text);

signals:
    void valueEdited(const vellum::PropertyValue& value);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    FormEntryKind entryType_;
    int size_;
};

} // namespace vellum::ui
