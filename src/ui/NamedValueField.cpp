#include "ui/NamedValueField.h"

#include "ui/LegacyText.h"
#include "ui/NumberField.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QProxyStyle>

namespace vellum::ui {
namespace {

// Opens the names as a scrolling list of twenty rather than a popup over the whole screen
// (there are 143 magic effects). A style sheet would do the same at a far higher cost per field.
class ListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        return hint == SH_ComboBox_Popup ? 0 : QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

NamedValueField::NamedValueField(std::shared_ptr<const ValueNames> names, FormEntryKind kind, int size,
                                 const PropertyValue& value, QWidget* parent)
    : QWidget(parent), names_(std::move(names)), kind_(kind), size_(size), choices_(new QComboBox(this)) {
    const bool text = kind == FormEntryKind::TextField;
    if (text) {
        stored_ = new QLineEdit(this);
        if (const auto* s = std::get_if<std::string>(&value))
            stored_->setText(FromFileText(*s));
        if (size > 0)
            stored_->setMaxLength(size);
    } else {
        stored_ = new NumberField(kind, size, value, this);
    }
    stored_->setToolTip(tr("The value as stored"));
    stored_->setMaximumWidth(stored_->fontMetrics().horizontalAdvance(QStringLiteral("-2147483648")) + 16);
    // Only the names of values the field can hold: a -1 is no choice for an unsigned byte.
    for (const ValueNames::Entry& e : names_->Entries()) {
        if (text) {
            choices_->addItem(FromFileText(e.name), FromFileText(e.key));
        } else if (e.number) {
            const PropertyValue v = NumberField::Parse(kind, size, QString::number(*e.number));
            if (std::get<std::int64_t>(v) == *e.number)
                choices_->addItem(FromFileText(e.name), QString::number(*e.number));
        }
    }
    static ListPopupStyle listPopup;
    choices_->setStyle(&listPopup);
    choices_->setMaxVisibleItems(20);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    row->addWidget(choices_, 1);
    row->addWidget(stored_);
    ShowNameOfStored();

    connect(choices_, &QComboBox::activated, this, [this](int index) {
        const QVariant key = choices_->itemData(index);
        if (!key.isValid())
            return; // the "(unnamed)" line stands for the stored value
        stored_->setText(key.toString());
        ShowNameOfStored();
        emit valueEdited(Value());
    });
    connect(stored_, &QLineEdit::textEdited, this, [this] {
        ShowNameOfStored();
        emit valueEdited(Value());
    });
}

PropertyValue NamedValueField::Value() const {
    if (auto* number = qobject_cast<NumberField*>(stored_))
        return number->Value();
    return ToFileText(stored_->text());
}

// Selects the name of the stored value, or a line "(unnamed)" for a value the list lacks.
void NamedValueField::ShowNameOfStored() {
    const QString key = kind_ == FormEntryKind::TextField ? stored_->text().trimmed()
                                                          : NumberField::Format(Value());
    int found = -1;
    for (int i = 0; i < choices_->count() && found < 0; ++i)
        if (choices_->itemData(i).isValid() && choices_->itemData(i).toString().compare(key, Qt::CaseInsensitive) == 0)
            found = i;
    const bool unnamedShown = choices_->count() > 0 && !choices_->itemData(0).isValid();
    if (found < 0) {
        if (!unnamedShown)
            choices_->insertItem(0, QString());
        choices_->setItemText(0, tr("(unnamed)"));
        choices_->setCurrentIndex(0);
    } else {
        if (unnamedShown)
            choices_->removeItem(0), --found;
        choices_->setCurrentIndex(found);
    }
}

} // namespace vellum::ui
