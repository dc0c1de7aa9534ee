#include "ui/BitFieldEditor.h"

#include <QCheckBox>
#include <QGridLayout>

namespace vellum::ui {

BitFieldEditor::BitFieldEditor(const Bytes& value, QWidget* parent) : QWidget(parent), value_(value) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    const int bits = static_cast<int>(std::min(value_.size(), kMaxBytes) * 8);
    for (int bit = 0; bit < bits; ++bit) {
        auto* box = new QCheckBox(QStringLiteral("%1").arg(bit), this);
        box->setToolTip(QStringLiteral("Bit %1 (0x%2)").arg(bit).arg(1u << bit, 8, 16, QLatin1Char('0')));
        box->setChecked(value_[bit / 8] & (1u << (bit % 8)));
        connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
            auto& byte = value_[static_cast<std::size_t>(bit / 8)];
            byte = static_cast<std::uint8_t>(on ? byte | (1u << (bit % 8)) : byte & ~(1u << (bit % 8)));
            emit valueEdited(value_);
        });
        grid->addWidget(box, bit / 8, bit % 8);
        boxes_.push_back(box);
    }
}

} // namespace vellum::ui
