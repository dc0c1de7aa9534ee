#pragma once

#include "model/Progress.h"

#include <QDialog>
#include <QElapsedTimer>

#include <filesystem>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vellum {
class esfile;
struct DumpOptions;
} // namespace vellum

namespace vellum::ui {

// Dumps the selected file as text with the chosen options, then shows the start of the text
// written (a dump of a master runs to hundreds of megabytes), where the whole of it is, and a
// button that opens it with the desktop's text viewer. The window is the dump's progress sink;
// Cancel during a dump stops it.
class frmDump : public QDialog, public Progress {
    Q_OBJECT
public:
    static constexpr qint64 kShownBytes = qint64{4} << 20;

    frmDump(esfile& file, std::filesystem::path dumpsFolder, QWidget* parent = nullptr);

    DumpOptions Options() const;
    void SetMode(int mode);
    void DumpToFile();

    void Waiting(double percent, std::string_view text) override;
    void DoneWaiting() override;

    QPlainTextEdit* Text() const { return text_; }
    QLabel* Result() const { return result_; }
    QLabel* Whole() const { return whole_; }     // where the whole dump is
    QPushButton* ViewButton() const { return view_; }
    QPushButton* CancelButton() const { return cancel_; }
    QCheckBox* Headers() const { return headers_; }
    QCheckBox* ByteValues() const { return byteValues_; }
    QCheckBox* Trim() const { return trim_; }
    QButtonGroup* Layouts() const { return layouts_; } // 0 tab-delimited, 1 indented

private:
    esfile& file_;
    std::filesystem::path dumpsFolder_;
    QButtonGroup* modes_;
    QButtonGroup* layouts_;
    QCheckBox* headers_;
    QCheckBox* byteValues_;
    QCheckBox* trim_;
    QPushButton* dump_;
    QPushButton* cancel_;
    QProgressBar* bar_;
    QLabel* action_;
    QLabel* result_;
    QLabel* whole_;
    QPushButton* view_;
    QPlainTextEdit* text_;
    QString path_; // of the last dump
    QElapsedTimer sinceYield_;
    bool running_ = false;
};

} // namespace vellum::ui
