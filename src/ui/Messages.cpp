#include "ui/Messages.h"

namespace vellum::ui {

std::string SafeEditingQuestion(bool toolbarWording) {
    return std::string("Safe editing ensures that the editor scans for dependencies when you delete, cut or copy.") +
           (toolbarWording ? "Without safe editing it is possible to delete entries that other entries rely on "
                             "and copy entries without the entries that they rely on."
                           : "Without safe editing it is possible to delete entries that other entries rely on "
                             "and copy entries without the entries they rely on.") +
           "\n\nAre you sure you want to TURN OFF safe editing?";
}

} // namespace vellum::ui
