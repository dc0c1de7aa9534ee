#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace vellum::ui {

// The common file dialogs, behind one seam so that tests can answer them.
struct FileDialogRequest {
    enum Kind { OpenOne, OpenMany, Save } kind;
    QString title, start, filter;
};
// An empty list means the dialog was cancelled.
using FileDialogAnswer = std::function<QStringList(const FileDialogRequest&)>;

QStringList AskForFiles(QWidget* parent, const FileDialogRequest& request);
// Tests install an answer; an empty function restores the real dialogs.
void SetFileDialogAnswer(FileDialogAnswer answer);

} // namespace vellum::ui
