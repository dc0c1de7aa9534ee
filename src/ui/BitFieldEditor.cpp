#include "ui/BitFieldEditor.h"

#include "template/ValueNames.h"
#include "ui/LegacyText.h"

#include <QCheckBox>
#include <QGridLayout>

namespace vellum::ui {

BitFieldEditor::BitFieldEditor(const Bytes& value, const ValueNames* names, QWidget* parent)
    : QWidget(parent), value_(value) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    const int bits = static_cast<int>(std::min(value_.size(), kMaxBytes) * 8);
    auto isSet = [this](int bit) { return (value_[static_cast<std::size_t>(bit / 8)] >> (bit % 8)) & 1u; };
    if (!names) {
        for (int bit = 0; bit < bits; ++bit)
            AddBox(bit, QString::number(bit), bit, 8);
        return;
    }
    int n = 0;
    for (int bit = 0; bit < bits; ++bit) {
        const std::string* name = names->BitName(bit);
        if (name || isSet(bit))
            AddBox(bit, name ? FromFileText(*name) : tr("Bit %1").arg(bit), n++, 3);
    }
}

void BitFieldEditor::AddBox(int bit, const QString& label, int position, int columns) {
    auto* box = new QCheckBox(label, this);
    box->setObjectName(QStringLiteral("Bit%1").arg(bit));
    box->setToolTip(QStringLiteral("Bit %1 (0x%2)").arg(bit).arg(1u << bit, 8, 16, QLatin1Char('0')));
    box->setChecked(value_[static_cast<std::size_t>(bit / 8)] & (1u << (bit % 8)));
    connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
        auto& byte = value_[static_cast<std::size_t>(bit / 8)];
        byte = static_cast<std::uint8_t>(on ? byte | (1u << (bit % 8)) : byte & ~(1u << (bit % 8)));
        emit valueEdited(value_);
    });
    static_cast<QGridLayout*>(layout())->addWidget(box, position / columns, position % columns);
    boxes_.emplace(bit, box);
}

QCheckBox* BitFieldEditor::Bit(int bit) const {
    const auto it = boxes_.find(bit);
    return it == boxes_.end() ? nullptr : it->second;
}

} // namespace vellum::ui
