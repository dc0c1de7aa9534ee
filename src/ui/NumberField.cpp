#include "ui/NumberField.h"

#include "model/Text.h"
#include "ui/esLLFormEntry.h"

#include <QRegularExpressionValidator>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vellum::ui {
namespace {

bool IsFloat(FormEntryKind type) { return type == FormEntryKind::SingleField || type == FormEntryKind::DoubleField; }

std::pair<double, double> RangeOf(FormEntryKind type, int size) {
    switch (type) {
    case FormEntryKind::ShortField: { // SHORT, and SIGNED of 1 to 4 bytes
        const double half = std::ldexp(1.0, 8 * std::clamp(size, 1, 4) - 1);
        return {-half, half - 1};
    }
    case FormEntryKind::ByteField: return {0, 255};
    case FormEntryKind::Long64Field: return {-9.2e18, 9.2e18};
    case FormEntryKind::LongField:
        if (size == 2)
            return {0, 65535};
        if (size == 3)
            return {0, 16777215};
        return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    default: return {-std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    }
}

} // namespace

NumberField::NumberField(FormEntryKind entryType, int size, const PropertyValue& value, QWidget* parent)
    : QLineEdit(parent), entryType_(entryType), size_(size) {
    const QString pattern = IsFloat(entryType) ? QStringLiteral(R"(^\s*[-+]?\d*\.?\d*([eE][-+]?\d*)?$)")
                                               : QStringLiteral(R"(^\s*[-+]?\d*$)");
    setValidator(new QRegularExpressionValidator(QRegularExpression(pattern), this));
    setText(Format(value));
    connect(this, &QLineEdit::textEdited, this, [this] { emit valueEdited(Value()); });
}

QString NumberField::Format(const PropertyValue& value) {
    if (const auto* i = std::get_if<std::int64_t>(&value))
        return QString::number(*i);
    if (const auto* d = std::get_if<double>(&value))
        return QString::number(*d, 'g', 9);
    return {};
}

PropertyValue NumberField::Parse(FormEntryKind entryType, int size, const QString& text) {
    const std::string t = text.toStdString();
    double v = Val(t);
    if (!std::isfinite(v))
        v = 0;
    const auto [low, high] = RangeOf(entryType, size);
    v = std::clamp(v, low, high);
    if (IsFloat(entryType))
        return entryType == FormEntryKind::SingleField ? static_cast<double>(static_cast<float>(v)) : v;
    if (entryType == FormEntryKind::Long64Field) {
        // Whole 64-bit values are read exactly when the text is a plain integer.
        try {
            std::size_t used = 0;
            const long long exact = std::stoll(std::string(TrimSpaces(t)), &used);
            return static_cast<std::int64_t>(exact);
        } catch (const std::exception&) {
        }
    }
    return static_cast<std::int64_t>(std::llround(v));
}

PropertyValue NumberField::Value() const { return Parse(entryType_, size_, text()); }

void NumberField::focusOutEvent(QFocusEvent* event) {
    const QString rewritten = Format(Value());
    if (rewritten != text())
        setText(rewritten);
    QLineEdit::focusOutEvent(event);
}

} // namespace vellum::ui
