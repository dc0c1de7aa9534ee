#pragma once

#include "Command.h"
#include "template/Config.h"
#include "template/PropertyCodec.h"

#include <memory>
#include <string>

namespace vellum::cli {

// The format template and codec a command works with.
class CliSession {
public:
    // Reads the template named in the arguments, or the program folder's ESTemplate.ini.
    // A template that cannot be read leaves an empty one (every subrecord is then raw data)
    // and says so on standard error.
    explicit CliSession(const Arguments& args);

    const Config& Template() const { return templ_; }
    const PropertyCodec& Codec() const { return *codec_; }

private:
    Config templ_;
    std::unique_ptr<PropertyCodec> codec_;
};

// The folder of the running executable.
std::string ProgramFolder();

} // namespace vellum::cli
