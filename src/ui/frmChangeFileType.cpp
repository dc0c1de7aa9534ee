#include "ui/frmChangeFileType.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vellum::ui {

frmChangeFileType::frmChangeFileType(int currentType, QWidget* parent) : QDialog(parent) {
    setObjectName("frmChangeFileType");
    setWindowTitle("Select a file type for this file");
    auto* layout = new QVBoxLayout(this);
    const char* captions[] = {"Master file", "Plugin file", "Saved game file",
                              "Indeterminate (header entry missing)"};
    for (int i = 0; i < 4; ++i) {
        options_[i] = new QRadioButton(captions[i], this);
        layout->addWidget(options_[i]);
    }
    auto* warning = new QLabel(
        "Warning: The effect of converting a master or plugin file to a save game (or vice-versa) are unknown "
        "at this point in time. While this option has been included to allow experimentation, it is known at "
        "present that a master or plugin will not function as a save game file because it lacks the following "
        "records/subrecords: TES3.GMDT, REFR, NPC_ Player, NPCC PlayerSaveGame, FMAP. Others may also be "
        "required.",
        this);
    warning->setWordWrap(true);
    layout->addWidget(warning);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    Select(currentType);
}

void frmChangeFileType::Select(int type) {
    options_[type >= 0 && type <= 2 ? type : 3]->setChecked(true);
}

int frmChangeFileType::SelectedType() const {
    for (int i = 0; i < 3; ++i)
        if (options_[i]->isChecked())
            return i;
    return -1;
}

} // namespace vellum::ui
