#pragma once

#include "model/Bytes.h"

#include <string>
#include <string_view>

namespace vellum {

// Bytes as lower-case hexadecimal digits, two per byte, and back.
void AppendHex(ByteSpan bytes, std::string& out);
std::string ToHex(ByteSpan bytes);
// False when `text` is not an even number of hexadecimal digits (either case).
bool FromHex(std::string_view text, Bytes& out);

} // namespace vellum
