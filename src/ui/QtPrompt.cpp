#include "ui/QtPrompt.h"

#include "ui/LegacyText.h"
#include "ui/Version.h"

#include <QMessageBox>

namespace vellum::ui {

Answer QtPrompt::Ask(std::string_view text, Buttons buttons, std::string_view title) {
    QMessageBox box(parent_);
    box.setWindowTitle(title.empty() ? QString::fromLatin1(kBaseCaption) : FromFileText(title));
    box.setText(FromFileText(text));
    switch (buttons) {
    case Buttons::OK:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::YesNo:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    default:
        // Closing a question with the window's close button is the safe answer.
        if (buttons == Buttons::YesNoCancel)
            return Answer::Cancel;
        return buttons == Buttons::YesNo ? Answer::No : Answer::OK;
    }
}

} // namespace vellum::ui
