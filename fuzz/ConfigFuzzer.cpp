// Configuration text of any shape, read as a template and as settings, then written and re-read.
#include "FuzzSupport.h"

#include "template/Config.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vellum::fuzz::InstallSilentPrompt();
    std::string_view text(reinterpret_cast<const char*>(data), size);
    vellum::Config config;
    config.OpenText(text);
    for (const auto& g : config.Groups()) {
        for (const auto& v : g.value.Variables) {
            (void)v.value.Value1();
            (void)v.value.Value2();
        }
    }
    config.SetVar("Editing", "EnableSafeEdit", "True");
    (void)config.GetVar("View", "HotTracking");
    return 0;
}
