#include "ui/ByteGridModel.h"

namespace vellum::ui {

namespace {
QStringList Headings() {
    QStringList h;
    for (int half = 0; half < 2; ++half)
        for (int i = 0; i < ByteGridModel::kPerRow; ++i) h << QString::number(i);
    return h;
}
} // namespace

ByteGridModel::ByteGridModel(QObject* parent) : GridModel(Headings(), parent) {}

QChar ByteChar(std::uint8_t value) {
    if (value < 0x20 || value == 0x7F || (value >= 0x80 && value < 0xA0)) return QChar('.');
    return QChar::fromLatin1(static_cast<char>(value));
}

void ByteGridModel::SetBytes(Bytes bytes) {
    beginResetModel();
    bytes_ = std::move(bytes);
    endResetModel();
}

int ByteGridModel::OffsetOf(const QModelIndex& index) const {
    if (!index.isValid()) return -1;
    const int offset = index.row() * kPerRow + index.column() % kPerRow;
    return offset < static_cast<int>(bytes_.size()) ? offset : -1;
}

QModelIndex ByteGridModel::HexIndex(int offset) const {
    if (offset < 0 || offset >= static_cast<int>(bytes_.size())) return {};
    return index(offset / kPerRow, offset % kPerRow);
}

QModelIndex ByteGridModel::CharIndex(int offset) const {
    if (offset < 0 || offset >= static_cast<int>(bytes_.size())) return {};
    return index(offset / kPerRow, kPerRow + offset % kPerRow);
}

bool ByteGridModel::SetByte(int offset, std::uint8_t value) {
    if (!editable_ || offset < 0 || offset >= static_cast<int>(bytes_.size())) return false;
    bytes_[static_cast<std::size_t>(offset)] = value;
    const QModelIndex hex = HexIndex(offset), chr = CharIndex(offset);
    emit dataChanged(hex, hex);
    emit dataChanged(chr, chr);
    emit ByteEdited(offset, value);
    return true;
}

QVariant ByteGridModel::data(const QModelIndex& index, int role) const {
    const int offset = OffsetOf(index);
    if (offset < 0) return {};
    const std::uint8_t b = bytes_[static_cast<std::size_t>(offset)];
    const bool hex = IsHexColumn(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return hex ? QString::asprintf("%02X", b) : QString(ByteChar(b));
    case Qt::EditRole:
        return hex ? QString::asprintf("%02X", b) : QString(QChar::fromLatin1(static_cast<char>(b)));
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case Qt::ToolTipRole:
        return QStringLiteral("%1: %2").arg(offset).arg(b);
    default:
        return {};
    }
}

bool ByteGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole) return false;
    const int offset = OffsetOf(index);
    const QString text = value.toString();
    if (offset < 0 || text.isEmpty()) return false;
    if (IsHexColumn(index.column())) {
        bool ok = false;
        const uint v = text.trimmed().left(2).toUInt(&ok, 16);
        if (!ok) return false;
        return SetByte(offset, static_cast<std::uint8_t>(v));
    }
    const char16_t c = text.at(0).unicode();
    if (c > 0xFF) return false;
    return SetByte(offset, static_cast<std::uint8_t>(c));
}

QVariant ByteGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Vertical && role == Qt::DisplayRole) return QString::number(section * kPerRow);
    return GridModel::headerData(section, orientation, role);
}

} // namespace vellum::ui
