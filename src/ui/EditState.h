#pragma once

#include <QString>

namespace vellum::ui {

// What the commands of the Edit, Insert and File menus depend on: the shown file, the selection,
// the marks, the clipboard and the editing flags. The low-level editor fills it whenever one of
// them changes; the main window derives captions and enabled states from it.
struct EditState {
    bool fileShown = false;      // the editor shows a file
    bool clipboardShown = false; // ... and it is the clipboard file
    bool supportShown = false;   // ... and it is a read-only support file
    bool categorySelected = false;
    bool recordSelected = false;  // a record, or a subrecord of it
    bool marked = false;          // the shown file has ticked entries
    bool clipboardFilled = false; // the clipboard file holds records
    bool deleteEnabled = false;   // the "Enable Deleting" flag
    QString recordLabel;          // type and ID of the selected record, empty when none

    bool Editable() const { return fileShown && !supportShown; }
    bool AnySelection() const { return categorySelected || recordSelected || marked; }
};

} // namespace vellum::ui
