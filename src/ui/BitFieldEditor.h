#pragma once

#include "model/Bytes.h"

#include <QWidget>

#include <vector>

class QCheckBox;

namespace vellum::ui {

// Flags of up to four bytes, one labelled check box per bit; bytes past the fourth are kept
// unchanged.
class BitFieldEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxBytes = 4;

    explicit BitFieldEditor(const Bytes& value, QWidget* parent = nullptr);
    Bytes Value() const { return value_; }
    QCheckBox* Bit(int bit) const { return boxes_.at(static_cast<std::size_t>(bit)); }
    int BitCount() const { return static_cast<int>(boxes_.size()); }

signals:
    void valueEdited(const vellum::Bytes& value);

private:
    Bytes value_;
    std::vector<QCheckBox*> boxes_;
};

} // namespace vellum::ui
