#include "ui/FileNaming.h"

#include "model/Text.h"

#include <cctype>
#include <cstdio>

namespace vellum::ui {

bool IsOfficialMaster(const std::string& name) {
    return EndsWithNoCase(name, "MORROWIND.ESM") || EndsWithNoCase(name, "BLOODMOON.ESM") ||
           EndsWithNoCase(name, "TRIBUNAL.ESM");
}

std::string DefaultSaveName(const std::string& fileTitle, int fileType, const std::filesystem::path& folder) {
    const auto dot = fileTitle.find('.');
    std::string base = fileTitle.substr(0, dot);
    std::string ext;
    if (dot != std::string::npos && fileTitle.size() >= 4)
        ext = fileTitle.substr(fileTitle.size() - 4);
    else
        ext = fileType == 0 ? ".esm" : fileType == 2 ? ".ess" : ".esp";
    int counter = 1;
    if (base.size() > 3 && std::isdigit(static_cast<unsigned char>(base[base.size() - 1])) &&
        std::isdigit(static_cast<unsigned char>(base[base.size() - 2])) &&
        std::isdigit(static_cast<unsigned char>(base[base.size() - 3]))) {
        counter = std::stoi(base.substr(base.size() - 3));
        base.resize(base.size() - 3);
    }
    std::error_code ec;
    for (; counter < 1000; ++counter) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%03d", counter);
        const std::string name = base + digits + ext;
        if (!std::filesystem::exists(folder / name, ec))
            return name;
    }
    return base + ext;
}

} // namespace vellum::ui
