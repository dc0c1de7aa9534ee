#pragma once

#include "model/Bytes.h"

#include <QWidget>

#include <map>
#include <vector>

class QCheckBox;

namespace vellum {
class ValueNames;
}

namespace vellum::ui {

// Flags of up to four bytes as check boxes; bytes past the fourth are kept unchanged. Without
// names every bit has a box labelled by its number; with the template's names each named bit
// has a box labelled by its name, and a bit the names leave out has one only while it is set,
// so that stray bits can be seen and cleared.
class BitFieldEditor : public QWidget {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxBytes = 4;

    explicit BitFieldEditor(const Bytes& value, const ValueNames* names = nullptr, QWidget* parent = nullptr);
    Bytes Value() const { return value_; }
    // The box of a bit; nullptr when the bit has none.
    QCheckBox* Bit(int bit) const;
    int BitCount() const { return static_cast<int>(boxes_.size()); }

signals:
    void valueEdited(const vellum::Bytes& value);

private:
    void AddBox(int bit, const QString& label, int position, int columns);

    Bytes value_;
    std::map<int, QCheckBox*> boxes_;
};

} // namespace vellum::ui
