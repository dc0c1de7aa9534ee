#pragma once

#include "template/ProgramFolder.h"
#include "ui/esLLFormEntry.h"

#include <QScrollArea>

#include <filesystem>
#include <functional>

class QColor;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace vellum::ui {

// The scrolling form of the low-level editor: one row per form entry. Edits go straight into
// the entries (Data, Changed); the window commits them.
class PropertyForm : public QScrollArea {
    Q_OBJECT
public:
    explicit PropertyForm(QWidget* parent = nullptr);

    // Draws `entries` (kept by the caller for the form's lifetime); nullptr clears the form.
    void Draw(esLLFormEntries* entries);
    // The game's data folder (book art) and the program's (book page background, the page shown).
    void SetFolders(std::filesystem::path dataFolder, const ProgramFolder& folders);
    // The widget editing entry `n` (1-based), for tests and focus.
    QWidget* EditorOf(int n) const;
    int RowCount() const { return rows_; }

    static constexpr int kMaxByteEdit = 4096;

    // The Lookup button of a reference field asks this for the ID to put in ("" keeps the value).
    std::function<QString(const esLLFormEntry& entry)> lookup;
    // The Lookup button of a parent field asks this for the ID of the new parent ("" keeps it).
    std::function<QString(const esLLFormEntry& entry)> parentLookup;

signals:
    void pageRequested(int delta);
    void goToRecordKey(const QString& recordKey);
    void goToId(const QString& id, const QString& recordTypes);
    void goToParent(const QString& id, const QString& parentType);
    void edited();
    // A button of a heading: `command` is the main window's command to run on the entry (the
    // record, or a subrecord of it); both keys are empty for the marked-entry actions.
    void headingCommand(const QString& command, const QString& recordKey, const QString& subRecordKey);

private:
    void AddRow(int n, esLLFormEntry& e);
    QWidget* TextRow(int n, esLLFormEntry& e);
    QWidget* FileLookupRow(int n, esLLFormEntry& e);
    QWidget* ParentLookupRow(int n, esLLFormEntry& e);
    // Lookup (sets the value `ask` returns) and Go To (runs `goTo`) after a reference's text box.
    void AddLookupButtons(QHBoxLayout* layout, int n, esLLFormEntry& e, QLineEdit* edit,
                          const std::function<QString(const esLLFormEntry&)>& ask, std::function<void()> goTo);
    QWidget* ByteRow(int n, esLLFormEntry& e);
    QWidget* NamedRow(int n, esLLFormEntry& e);
    void SetData(esLLFormEntry& e, PropertyValue value);
    QWidget* HeadingRow(QLabel* caption, const esLLFormEntry& e);
    static void Band(QLabel* label, const QColor& background, const QColor& text, int margin, int points = 0,
                     bool bold = false);

    QWidget* page_ = nullptr;
    QGridLayout* grid_ = nullptr;
    esLLFormEntries* entries_ = nullptr;
    std::filesystem::path dataFolder_, shippedFolder_, scratchFolder_;
    QHash<int, QWidget*> editors_;
    int rows_ = 0;
    bool band_ = false;
};

} // namespace vellum::ui
