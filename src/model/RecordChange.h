#pragma once

namespace vellum {

// What became of a record since its file was loaded (esfile::ChangeOf).
enum class RecordChange { Unchanged, Added, Changed };

} // namespace vellum
