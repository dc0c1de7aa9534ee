#pragma once

#include "model/Bytes.h"

#include <QColor>
#include <QWidget>

class QPushButton;
class QTableView;

namespace vellum::ui {

class ByteGridModel;

// A byte array shown as a hexadecimal grid beside a character grid, 10 bytes a row, with the
// cursor kept on the same byte in both. Typing two hex digits (or one character in the
// character grid) stores a byte and moves on; Backspace and Delete move back and forward.
// Undo restores the array last given to SetByteArray.
class fhByteControl : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(bool AllowEdit READ AllowEdit WRITE SetAllowEdit)
    Q_PROPERTY(bool AlphaBlendEnabled READ AlphaBlendEnabled WRITE SetAlphaBlendEnabled)
public:
    static constexpr int kMaxBytes = 65536;
    static constexpr int kMaxElements = 65535; // what SetByteArray keeps of a longer array

    explicit fhByteControl(QWidget* parent = nullptr);

    void SetByteArray(ByteSpan bytes);
    const Bytes& ByteArray() const; // the working bytes
    int MaxBytes() const { return kMaxBytes; }

    void ToggleExpand();
    void ToggleHeadings();
    void DoExpandAndHeadings();
    void SuppressNextRowColChange() { suppressNext_ = true; }
    void Undo();

    bool Expanded() const { return expanded_; }
    bool ShowHeadings() const { return headings_; }
    int RowCount() const;
    bool ExpandAvailable() const; // the expand button is shown

    QColor BackColor() const { return backColor_; }
    void SetBackColor(const QColor& color);
    bool AllowEdit() const;
    void SetAllowEdit(bool allow);
    bool AlphaBlendEnabled() const { return alphaBlend_; }
    void SetAlphaBlendEnabled(bool enabled);

    int CursorOffset() const; // -1 with no cursor
    void SetCursorOffset(int offset);

    QTableView* HexView() const { return hex_; }
    QTableView* CharView() const { return chars_; }
    QPushButton* UndoButton() const { return undo_; }
    QPushButton* ExpandButton() const { return expand_; }
    QPushButton* HeadingsButton() const { return headingsButton_; }

signals:
    void Reverted();
    void ByteChanged(int index, quint8 value);
    void CursorMoved(int offset);
    void LayoutChanged();
    void SelectionMoved(int offset);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QTableView* MakeView(int firstColumn);
    void OnCurrentChanged(QTableView* from, const QModelIndex& current);
    bool HandleKey(QTableView* view, int key, const QString& text);
    void SizeColumns();

    ByteGridModel* model_;
    QTableView* hex_;
    QTableView* chars_;
    QPushButton* undo_;
    QPushButton* expand_;
    QPushButton* headingsButton_;
    Bytes saved_;
    QColor backColor_;
    bool expanded_ = false;
    bool headings_ = true;
    bool alphaBlend_ = false;
    bool suppressNext_ = false;
    bool syncing_ = false;
    bool keyEdit_ = false;
    int pendingNibble_ = -1; // first hex digit typed into the cell at the cursor
};

} // namespace vellum::ui
