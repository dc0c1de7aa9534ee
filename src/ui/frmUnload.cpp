#include "ui/frmUnload.h"

#include "ui/LegacyText.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdlib>

namespace vellum::ui {

frmUnload::frmUnload(std::function<std::string()> action, bool developer, QWidget* parent)
    : QDialog(parent), action_(std::move(action)) {
    setObjectName("frmUnload");
    setWindowTitle("Closing...");
    setMinimumWidth(360);
    auto* layout = new QVBoxLayout(this);
    bar_ = new QProgressBar(this);
    bar_->setRange(0, 100);
    layout->addWidget(bar_);
    auto* terminate = new QPushButton("&Terminate Now", this);
    terminate->setVisible(developer);
    connect(terminate, &QPushButton::clicked, [] { std::_Exit(1); });
    layout->addWidget(terminate);
    timer_ = new QTimer(this);
    timer_->setInterval(100);
    connect(timer_, &QTimer::timeout, this, [this] {
        if (action_) {
            const std::string text = action_();
            if (!text.empty())
                setWindowTitle(FromFileText(text));
        }
        Waiting(-1, {});
    });
    timer_->start();
}

void frmUnload::Waiting(double percent, std::string_view text) {
    bar_->setValue(percent >= 0 ? std::min(100, static_cast<int>(percent))
                                : (bar_->value() >= 100 ? 0 : bar_->value() + 1));
    if (!text.empty())
        setWindowTitle(FromFileText(text));
}

void frmUnload::DoneWaiting() {
    bar_->setValue(100);
    bar_->setValue(0);
    QCoreApplication::processEvents();
}

} // namespace vellum::ui
