#pragma once

#include "model/Prompt.h"

class QWidget;

namespace vellum::ui {

// Shows the core's messages and questions as message boxes over the main window.
class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    Answer Ask(std::string_view text, Buttons buttons, std::string_view title) override;
    void setParent(QWidget* parent) { parent_ = parent; }

private:
    QWidget* parent_;
};

} // namespace vellum::ui
