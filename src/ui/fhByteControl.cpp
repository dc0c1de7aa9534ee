#include "ui/fhByteControl.h"

#include "ui/ByteGridModel.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace vellum::ui {

namespace {
constexpr int kPerRow = ByteGridModel::kPerRow;
}

fhByteControl::fhByteControl(QWidget* parent) : QWidget(parent), model_(new ByteGridModel(this)) {
    hex_ = MakeView(0);
    chars_ = MakeView(kPerRow);
    hex_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(chars_->verticalScrollBar(), &QScrollBar::valueChanged, hex_->verticalScrollBar(), &QScrollBar::setValue);
    connect(hex_->verticalScrollBar(), &QScrollBar::valueChanged, chars_->verticalScrollBar(), &QScrollBar::setValue);

    undo_ = new QPushButton(tr("Undo"), this);
    expand_ = new QPushButton(tr("Expand"), this);
    headingsButton_ = new QPushButton(tr("Hide Headings"), this);
    connect(undo_, &QPushButton::clicked, this, &fhByteControl::Undo);
    connect(expand_, &QPushButton::clicked, this, &fhByteControl::ToggleExpand);
    connect(headingsButton_, &QPushButton::clicked, this, &fhByteControl::ToggleHeadings);

    auto* grids = new QHBoxLayout;
    grids->setSpacing(4);
    grids->addWidget(hex_);
    grids->addWidget(chars_);
    grids->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(undo_);
    buttons->addWidget(expand_);
    buttons->addWidget(headingsButton_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(grids);
    layout->addLayout(buttons);

    connect(model_, &ByteGridModel::ByteEdited, this, [this](int offset, quint8 value) {
        emit ByteChanged(offset, value);
        if (!keyEdit_) // an in-place editor closed: move on once it is gone
            QTimer::singleShot(0, this, [this, offset] { SetCursorOffset(offset + 1); });
    });
    SizeColumns();
    DoExpandAndHeadings();
}

QTableView* fhByteControl::MakeView(int firstColumn) {
    auto* view = new QTableView(this);
    view->setModel(model_);
    for (int c = 0; c < 2 * kPerRow; ++c)
        view->setColumnHidden(c, c < firstColumn || c >= firstColumn + kPerRow);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setVisible(firstColumn == 0);
    view->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    view->installEventFilter(this);
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, view](const QModelIndex& current) { OnCurrentChanged(view, current); });
    return view;
}

void fhByteControl::SizeColumns() {
    const QFontMetrics fm(hex_->font());
    const int hexWidth = fm.horizontalAdvance(QStringLiteral("WW")) + 8;
    const int charWidth = fm.horizontalAdvance(QStringLiteral("W")) + 8;
    for (int c = 0; c < kPerRow; ++c) {
        hex_->setColumnWidth(c, hexWidth);
        chars_->setColumnWidth(kPerRow + c, charWidth);
    }
    const int rowHeight = fm.height() + 4;
    hex_->verticalHeader()->setDefaultSectionSize(rowHeight);
    chars_->verticalHeader()->setDefaultSectionSize(rowHeight);
    hex_->verticalHeader()->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("65530")) + 8);
}

void fhByteControl::SetByteArray(ByteSpan bytes) {
    const std::size_t n = std::min<std::size_t>(bytes.size(), kMaxElements);
    saved_.assign(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n));
    pendingNibble_ = -1;
    model_->SetBytes(saved_);
    DoExpandAndHeadings();
}

const Bytes& fhByteControl::ByteArray() const { return model_->bytes(); }

int fhByteControl::RowCount() const { return model_->rowCount(); }

bool fhByteControl::ExpandAvailable() const { return model_->bytes().size() >= kPerRow + 1; }

void fhByteControl::Undo() {
    const int at = CursorOffset();
    pendingNibble_ = -1;
    model_->SetBytes(saved_);
    SuppressNextRowColChange();
    SetCursorOffset(std::max(at, 0));
    suppressNext_ = false;
    emit Reverted();
}

void fhByteControl::ToggleExpand() {
    expanded_ = !expanded_;
    DoExpandAndHeadings();
    emit LayoutChanged();
}

void fhByteControl::ToggleHeadings() {
    headings_ = !headings_;
    DoExpandAndHeadings();
    emit LayoutChanged();
}

void fhByteControl::DoExpandAndHeadings() {
    expand_->setVisible(ExpandAvailable());
    expand_->setText(expanded_ ? tr("Contract") : tr("Expand"));
    headingsButton_->setText(headings_ ? tr("Hide Headings") : tr("Show Headings"));
    const int rows = std::max(1, expanded_ ? RowCount() : 1);
    const bool scrolls = rows < RowCount();
    for (QTableView* view : {hex_, chars_}) {
        view->horizontalHeader()->setVisible(headings_);
        if (view == hex_) view->verticalHeader()->setVisible(headings_);
        view->setVerticalScrollBarPolicy(view == chars_ && scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        const int header = headings_ ? view->horizontalHeader()->sizeHint().height() : 0;
        const int frame = 2 * view->frameWidth();
        view->setFixedHeight(rows * (view->verticalHeader()->defaultSectionSize() + 1) + header + frame);
        const QHeaderView* rowHeader = view->verticalHeader();
        int width = frame + (!rowHeader->isHidden() ? std::max(rowHeader->sizeHint().width(), rowHeader->minimumWidth()) : 0);
        for (int c = 0; c < 2 * kPerRow; ++c)
            if (!view->isColumnHidden(c)) width += view->columnWidth(c);
        if (view == chars_ && scrolls) width += view->verticalScrollBar()->sizeHint().width();
        view->setFixedWidth(width);
    }
    adjustSize();
}

void fhByteControl::SetBackColor(const QColor& color) {
    backColor_ = color;
    for (QTableView* view : {hex_, chars_}) {
        QPalette p = view->palette();
        p.setColor(QPalette::Base, color.isValid() ? color : palette().color(QPalette::Base));
        view->setPalette(p);
    }
}

bool fhByteControl::AllowEdit() const { return model_->Editable(); }

void fhByteControl::SetAllowEdit(bool allow) {
    model_->SetEditable(allow);
    pendingNibble_ = -1;
}

void fhByteControl::SetAlphaBlendEnabled(bool enabled) {
    alphaBlend_ = enabled;
    for (QTableView* view : {hex_, chars_}) view->setAlternatingRowColors(enabled);
}

int fhByteControl::CursorOffset() const { return model_->OffsetOf(hex_->currentIndex()); }

void fhByteControl::SetCursorOffset(int offset) {
    const int n = static_cast<int>(model_->bytes().size());
    if (n == 0) return;
    hex_->setCurrentIndex(model_->HexIndex(std::clamp(offset, 0, n - 1)));
}

void fhByteControl::OnCurrentChanged(QTableView* from, const QModelIndex& current) {
    if (syncing_) return;
    const int offset = model_->OffsetOf(current);
    if (offset < 0) return;
    pendingNibble_ = -1;
    syncing_ = true;
    QTableView* other = from == hex_ ? chars_ : hex_;
    const QModelIndex twin = from == hex_ ? model_->CharIndex(offset) : model_->HexIndex(offset);
    other->setCurrentIndex(twin);
    other->scrollTo(twin);
    syncing_ = false;
    if (suppressNext_) {
        suppressNext_ = false;
        return;
    }
    emit CursorMoved(offset);
    emit SelectionMoved(offset);
}

bool fhByteControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == hex_ || watched == chars_)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            return HandleKey(static_cast<QTableView*>(watched), key->key(), key->text());
    }
    return QWidget::eventFilter(watched, event);
}

bool fhByteControl::HandleKey(QTableView* view, int key, const QString& text) {
    const int at = CursorOffset();
    if (key == Qt::Key_Backspace) {
        SetCursorOffset(at - 1);
        return true;
    }
    if (key == Qt::Key_Delete) {
        SetCursorOffset(at + 1);
        return true;
    }
    if (at < 0 || text.size() != 1 || !text[0].isPrint()) return false;
    if (!AllowEdit()) return true; // swallow typing: nothing changes
    const QChar c = text[0];
    keyEdit_ = true;
    if (view == hex_) {
        bool ok = false;
        const int digit = QString(c).toInt(&ok, 16);
        if (ok && pendingNibble_ < 0) {
            pendingNibble_ = digit;
        } else if (ok) {
            model_->SetByte(at, static_cast<std::uint8_t>(pendingNibble_ * 16 + digit));
            pendingNibble_ = -1;
            SetCursorOffset(at + 1);
        }
    } else if (c.unicode() <= 0xFF) {
        model_->SetByte(at, static_cast<std::uint8_t>(c.unicode()));
        SetCursorOffset(at + 1);
    }
    keyEdit_ = false;
    return true;
}

} // namespace vellum::ui
