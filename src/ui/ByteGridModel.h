#pragma once

#include "model/Bytes.h"

#include "ui/GridModel.h"

namespace vellum::ui {

// The bytes of a byte grid, 10 to a row: columns 0-9 show them in hexadecimal, columns 10-19
// the same bytes as characters. The hex view and the character view of fhByteControl each
// show one half of this one model, so an edit in either repaints both.
class ByteGridModel : public GridModel {
    Q_OBJECT
public:
    static constexpr int kPerRow = 10;

    explicit ByteGridModel(QObject* parent = nullptr);

    void SetBytes(Bytes bytes);
    const Bytes& bytes() const { return bytes_; }
    void SetEditable(bool editable) { editable_ = editable; }
    bool Editable() const { return editable_; }

    // Offset of the byte a cell shows, -1 past the end; the cell of a byte in either half.
    int OffsetOf(const QModelIndex& index) const;
    QModelIndex HexIndex(int offset) const;
    QModelIndex CharIndex(int offset) const;
    static bool IsHexColumn(int column) { return column < kPerRow; }

    // Stores a byte and repaints its two cells; false past the end or when read-only.
    bool SetByte(int offset, std::uint8_t value);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    void ByteEdited(int offset, quint8 value);

protected:
    int RowTotal() const override { return static_cast<int>((bytes_.size() + kPerRow - 1) / kPerRow); }
    bool HasCell(const QModelIndex& index) const override { return OffsetOf(index) >= 0; }
    Qt::ItemFlags CellFlags(const QModelIndex&) const override { return editable_ ? Qt::ItemIsEditable : Qt::NoItemFlags; }

private:
    Bytes bytes_;
    bool editable_ = true;
};

// The character a byte shows as: its Latin-1 code, a dot for control codes.
QChar ByteChar(std::uint8_t value);

} // namespace vellum::ui
