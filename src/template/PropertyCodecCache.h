#pragma once

#include "template/PropertyCodec.h"
#include "template/TemplateLayouts.h"

namespace vellum {

// The codec's private state, shared by its source files.
struct PropertyCodec::Cache {
    explicit Cache(const Config& templ) : layouts(templ) {}
    TemplateLayouts layouts;
};

} // namespace vellum
