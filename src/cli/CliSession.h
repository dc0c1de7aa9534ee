#pragma once

#include "Command.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"
#include "template/Startup.h"

#include <memory>
#include <string>

namespace vellum::cli {

// The folders, format template and codec a command works with, set up as the editor sets them
// up: --home names one folder for everything (seeded from the installed data; else the folders
// are found as the editor finds them), --template the format template (else the user's
// ESTemplate.ini).
class CliSession {
public:
    // A template that cannot be read leaves an empty one (every subrecord is then raw data)
    // and says so on standard error.
    explicit CliSession(const Arguments& args);

    const Config& Template() const { return startup_.TemplateConfig(); }
    const PropertyCodec& Codec() const { return *codec_; }
    Startup& Program() { return startup_; }

private:
    Startup startup_;
    std::unique_ptr<PropertyCodec> codec_;
};

} // namespace vellum::cli
