#include "model/Prompt.h"

#include <cstdio>

namespace vellum {

namespace {

class StderrPrompt final : public Prompt {
public:
    Answer Ask(std::string_view text, Buttons buttons, std::string_view) override {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
        return buttons == Buttons::OK ? Answer::OK : Answer::Yes;
    }
};

StderrPrompt defaultPrompt;
Prompt* current = nullptr;

} // namespace

Prompt& CurrentPrompt() { return current ? *current : defaultPrompt; }

Prompt* SetPrompt(Prompt* prompt) {
    Prompt* previous = current;
    current = prompt;
    return previous;
}

} // namespace vellum
