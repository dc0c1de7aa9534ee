#pragma once

namespace vellum {

// How a record names an ID outside its reference properties.
enum class MentionKind {
    None,
    ResultScript, // script text compiled when it runs (a response's result)
    ScriptSource, // script text whose compiled form is stored beside it
    Condition,    // the name a condition tests
};

} // namespace vellum
