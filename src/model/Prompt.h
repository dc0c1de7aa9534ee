#pragma once

#include <string>
#include <string_view>

namespace vellum {

enum class Buttons { OK, YesNo, YesNoCancel };
enum class Answer { OK, Yes, No, Cancel };

// Message boxes and questions. The core never shows anything itself: the editor installs a
// prompt that opens dialogs, the command-line tool one that prints, tests one that records.
class Prompt {
public:
    virtual ~Prompt() = default;
    // An empty title means the application's title.
    virtual Answer Ask(std::string_view text, Buttons buttons, std::string_view title = {}) = 0;

    void Message(std::string_view text, std::string_view title = {}) {
        Ask(text, Buttons::OK, title);
    }
};

// The prompt in force for the whole program; by default messages go to standard error and
// questions take their first answer (OK or Yes).
Prompt& CurrentPrompt();
// Installs `prompt` (nullptr restores the default) and returns the one it replaces.
Prompt* SetPrompt(Prompt* prompt);

// Installs a prompt for the lifetime of the guard.
class ScopedPrompt {
public:
    explicit ScopedPrompt(Prompt& prompt) : previous_(SetPrompt(&prompt)) {}
    ~ScopedPrompt() { SetPrompt(previous_); }
    ScopedPrompt(const ScopedPrompt&) = delete;
    ScopedPrompt& operator=(const ScopedPrompt&) = delete;

private:
    Prompt* previous_;
};

} // namespace vellum
