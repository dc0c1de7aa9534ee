#include "ui/frmDump.h"

#include "model/Prompt.h"
#include "model/TextDump.h"
#include "model/esfile.h"
#include "ui/Busy.h"
#include "ui/DesktopOpen.h"
#include "ui/LegacyText.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vellum::ui {

namespace {

QGroupBox* OptionGroup(const QString& title, QButtonGroup* group, const QStringList& texts) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    for (int i = 0; i < texts.size(); ++i) {
        auto* radio = new QRadioButton(texts[i]);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    group->button(0)->setChecked(true);
    return box;
}

} // namespace

frmDump::frmDump(esfile& file, std::filesystem::path dumpsFolder, QWidget* parent)
    : QDialog(parent), file_(file), dumpsFolder_(std::move(dumpsFolder)), modes_(new QButtonGroup(this)),
      layouts_(new QButtonGroup(this)), headers_(new QCheckBox("Dump header information")),
      byteValues_(new QCheckBox("Dump raw data as byte values")),
      trim_(new QCheckBox("Trim raw byte data for safe Spreadsheet import (trailing data will be lost)")),
      dump_(new QPushButton(tr("&Dump to File"))), cancel_(new QPushButton("&Cancel")), bar_(new QProgressBar),
      action_(new QLabel), result_(new QLabel), whole_(new QLabel), view_(new QPushButton(tr("Open in &Text Viewer"))),
      text_(new QPlainTextEdit) {
    setWindowTitle(tr("Dump to Text File") + " - " + FromFileText(file_.FileTitle));
    auto* data = OptionGroup("Data Options", modes_,
                         {"Dump as record types with raw record data",
                          "Dump as record types, subrecord types and raw subrecord data",
                          "Dump as record types, subrecord types and interpreted subrecord data"});
    auto* format = OptionGroup("Format Options", layouts_,
                           {"Dump in tab-delimited tabular format", "Dump in indented vertical format"});
    auto* formatLayout = static_cast<QVBoxLayout*>(format->layout());
    for (QCheckBox* c : {headers_, byteValues_, trim_}) formatLayout->addWidget(c);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setFont(QFont("Monospace"));
    result_->setWordWrap(true);
    whole_->setWordWrap(true);
    whole_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    view_->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(action_, 1);
    buttons->addWidget(view_);
    buttons->addWidget(dump_);
    buttons->addWidget(cancel_);
    auto* options = new QHBoxLayout;
    options->addWidget(data);
    options->addWidget(format);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(options);
    layout->addWidget(bar_);
    layout->addLayout(buttons);
    layout->addWidget(result_);
    layout->addWidget(whole_);
    layout->addWidget(text_, 1);
    connect(dump_, &QPushButton::clicked, this, &frmDump::DumpToFile);
    connect(view_, &QPushButton::clicked, this, [this] {
        if (!path_.isEmpty() && !DesktopOpen(path_))
            CurrentPrompt().Message("No program could be started to show " + path_.toStdString());
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (running_)
            file_.CancelProcess();
        else
            reject();
    });
    resize(760, 600);
}

void frmDump::SetMode(int mode) {
    if (QAbstractButton* b = modes_->button(mode)) b->setChecked(true);
}

DumpOptions frmDump::Options() const {
    DumpOptions o;
    o.Mode = modes_->checkedId();
    o.TabDelimited = layouts_->checkedId() == 0;
    o.Headers = headers_->isChecked();
    o.ByteValues = byteValues_->isChecked();
    o.Trim = trim_->isChecked();
    return o;
}

void frmDump::DumpToFile() {
    if (running_) return;
    running_ = true;
    dump_->setEnabled(false);
    std::string path;
    {
        BusyGuard busy;
        sinceYield_.start();
        path = DumpAsText(file_, Options(), dumpsFolder_, this);
    }
    running_ = false;
    dump_->setEnabled(true);
    if (path.empty()) return;
    path_ = QString::fromStdString(path);
    QFile written(path_);
    const qint64 size = written.size();
    if (written.open(QIODevice::ReadOnly)) {
        QByteArray head = written.read(kShownBytes);
        // Whole lines where they are short enough to cut at.
        if (const qsizetype end = head.lastIndexOf('\n'); size > head.size() && end > head.size() - (64 << 10))
            head.truncate(end + 1);
        text_->setPlainText(FromFileText(head.toStdString()));
    }
    const auto megabytes = [](qint64 bytes) { return QString::number(static_cast<double>(bytes) / (1 << 20), 'f', 1); };
    whole_->setText(size > kShownBytes
                        ? "Shown: the first " + megabytes(kShownBytes) + " MB of " + megabytes(size) +
                              " MB. The whole dump is " + path_ + "."
                        : "The whole dump is " + path_ + ".");
    view_->setEnabled(true);
    result_->setText(FromFileText(DumpSavedText(file_.FileTitle)));
    result_->setToolTip(QString::fromStdString(path));
    cancel_->setText("&OK");
}

void frmDump::Waiting(double percent, std::string_view text) {
    if (percent >= 0) bar_->setValue(static_cast<int>(std::min(percent, 100.0)));
    if (sinceYield_.elapsed() < 50) return; // let the window paint a few times a second, no more
    action_->setText(FromFileText(text));
    QApplication::processEvents();
    sinceYield_.restart();
}

void frmDump::DoneWaiting() {
    action_->clear();
    bar_->setValue(0);
}

} // namespace vellum::ui
