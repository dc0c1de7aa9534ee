#include "ui/FileDialogs.h"

#include <QFileDialog>

namespace vellum::ui {
namespace {
FileDialogAnswer g_answer;
}

QStringList AskForFiles(QWidget* parent, const FileDialogRequest& r) {
    if (g_answer)
        return g_answer(r);
    switch (r.kind) {
    case FileDialogRequest::OpenMany: return QFileDialog::getOpenFileNames(parent, r.title, r.start, r.filter);
    case FileDialogRequest::OpenOne: {
        const QString f = QFileDialog::getOpenFileName(parent, r.title, r.start, r.filter);
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    case FileDialogRequest::Save: {
        const QString f = QFileDialog::getSaveFileName(parent, r.title, r.start, r.filter);
        return f.isEmpty() ? QStringList() : QStringList{f};
    }
    }
    return {};
}

void SetFileDialogAnswer(FileDialogAnswer answer) { g_answer = std::move(answer); }

} // namespace vellum::ui
