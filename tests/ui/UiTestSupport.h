#pragma once

#include "TestSupport.h"
#include "ui/EditorContext.h"

#include <QModelIndex>
#include <QString>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QWidget;

namespace vellum {
class esfile;
}
namespace vellum::ui {
struct esLLFormEntry;
class frmLowLevelEdit;
class frmMain;
class RecordTreeModel;
}

namespace vellum::test {

// Runs `act` on the next modal dialog that opens, e.g. to fill it in and press OK.
void OnNextModal(std::function<void(QWidget*)> act);
// Answers the next file dialog with `path` (an empty path cancels it).
void AnswerFileDialog(const QString& path);
// Renders the window to <build>/screenshots/<name>.png, for a person to look at.
void Shoot(QWidget& window, const QString& name);
// Shows the window and waits until it is the active one, so that it has a keyboard focus.
bool ShowActive(QWidget& window);
// Sends a key to whatever widget has the keyboard focus, as the keyboard would; false when
// no widget has it.
bool Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Types the text into whatever widget has the keyboard focus; false when none has it.
bool TypeText(const QString& text);

std::string Upper(std::string s);
std::string Lower(std::string s);
std::string Trim(const std::string& s); // blanks and a carriage return off both ends

// The format template read as plain text, apart from the code under test: its groups of
// "name = value" lines by upper-case heading, instructions left out.
struct TemplateText {
    explicit TemplateText(const std::string& text);
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> groups;
    const std::vector<std::pair<std::string, std::string>>* Group(const std::string& name) const;
    const std::string* Name(const std::string& group, const std::string& key) const; // any case
};
const TemplateText& ShippedTemplate();

// An editor as a user starts it, in a program folder of its own: the shipped format template
// and new-file templates copied from the build, a data folder for copies of the shared
// plug-ins, questions recorded by a prompt recorder.
class EditorSession {
public:
    EditorSession();
    ~EditorSession();

private:
    TempDir dir_;
    bool prepared_;

public:
    ui::EditorContext context;
    PromptRecorder prompt;

    ui::frmMain& Window();
    // Copies a shared plug-in into the data folder (the shared ones are read-only); its path.
    std::string Copy(const std::string& name);
    // Copies the plug-in and opens it in the window, as File > Open would; its path.
    std::string Open(const std::string& name);
    std::filesystem::path DataFolder() const { return dir_.path() / "Data Files"; }
    std::filesystem::path ProgramFolder() const { return dir_.path() / "program"; }

private:
    bool Prepare();
    std::unique_ptr<ui::frmMain> window_;
};

// An editor with a copy of a shared plug-in open.
struct OpenedPlugin {
    explicit OpenedPlugin(const std::string& name);
    EditorSession s;
    std::string path;
    ui::frmMain& w;
    ui::frmLowLevelEdit& ed;
    ui::RecordTreeModel& model;
    esfile& file;

    std::string KeyOf(const char* type, const std::string& id) const; // empty when there is none
    std::string NthKey(const char* type, int row);                    // builds the category
    QModelIndex Cat(const char* type) const;
    void Click(const QModelIndex& node); // selects the node in the tree
    void Go(const char* type, const std::string& key, const std::string& subrecord = {});
    // The position (from 1) of the form's first entry that matches; 0 when none does.
    int Entry(const std::function<bool(const ui::esLLFormEntry&)>& matches);
    // Deleting, cutting and copying act at once, without questions or the relatives wizard.
    void EditFreely();
};

} // namespace vellum::test

// Skips the current Qt test when the shared test data is not beside the clone.
#define VELLUM_QREQUIRE_SHARED()                                                                  \
    do {                                                                                          \
        if (::vellum::test::PluginsDir().empty())                                                 \
            QSKIP("shared test data not found");                                                  \
    } while (0)
