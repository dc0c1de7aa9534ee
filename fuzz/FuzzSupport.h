#pragma once

#include "model/Prompt.h"

#include <cstddef>
#include <cstdint>

// Harness entry point, shared by libFuzzer and the replay driver.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace vellum::fuzz {

// Swallows messages and answers every question with No, so no harness blocks or floods output.
class SilentPrompt final : public Prompt {
public:
    Answer Ask(std::string_view, Buttons buttons, std::string_view) override {
        return buttons == Buttons::OK ? Answer::OK : Answer::No;
    }
};

inline void InstallSilentPrompt() {
    static SilentPrompt prompt;
    SetPrompt(&prompt);
}

} // namespace vellum::fuzz
