#include "model/ByteCast.h"

#include "model/Prompt.h"

#include <cstring>

namespace vellum::cast {

namespace {
std::uint64_t failures = 0;

bool InRange(ByteSpan bytes, std::size_t start, std::size_t count) {
    return start <= bytes.size() && count <= bytes.size() - start;
}

template <class T>
T Load(ByteSpan bytes, std::size_t start) {
    if (!InRange(bytes, start, sizeof(T))) {
        ReportFailure();
        return T{};
    }
    T v;
    std::memcpy(&v, bytes.data() + start, sizeof(T)); // the file format and the machine are little-endian
    return v;
}

template <class T>
Bytes Store(T v) {
    Bytes out(sizeof(T));
    std::memcpy(out.data(), &v, sizeof(T));
    return out;
}
} // namespace

std::uint64_t FailureCount() { return failures; }

void ReportFailure() {
    ++failures;
    CurrentPrompt().Message(kFailureMessage);
}

std::int32_t ToInt32(ByteSpan bytes) {
    if (bytes.size() != 4) {
        ReportFailure();
        return 0;
    }
    return Load<std::int32_t>(bytes, 0);
}

std::string ToString(ByteSpan bytes) { return std::string(bytes.begin(), bytes.end()); }

Bytes Slice(ByteSpan bytes, std::size_t start, std::size_t count) {
    if (!InRange(bytes, start, count)) {
        ReportFailure();
        return {};
    }
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                 bytes.begin() + static_cast<std::ptrdiff_t>(start + count));
}

std::int32_t Int32At(ByteSpan bytes, std::size_t start, int& count) {
    if (count < 1 || count > 4) count = 4;
    if (!InRange(bytes, start, static_cast<std::size_t>(count))) {
        ReportFailure();
        return 0;
    }
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i) v |= std::uint32_t(bytes[start + i]) << (8 * i);
    return static_cast<std::int32_t>(v);
}

std::int16_t Int16At(ByteSpan bytes, std::size_t start) { return Load<std::int16_t>(bytes, start); }
float SingleAt(ByteSpan bytes, std::size_t start) { return Load<float>(bytes, start); }
double DoubleAt(ByteSpan bytes, std::size_t start) { return Load<double>(bytes, start); }
std::int64_t Int64At(ByteSpan bytes, std::size_t start) { return Load<std::int64_t>(bytes, start); }

Bytes FromInt16(std::int16_t v) { return Store(v); }
Bytes FromInt32(std::int32_t v, int length) {
    Bytes out = Store(v);
    if (length >= 1) out.resize(static_cast<std::size_t>(length), 0);
    return out;
}
Bytes FromInt64(std::int64_t v) { return Store(v); }
Bytes FromSingle(float v) { return Store(v); }
Bytes FromDouble(double v) { return Store(v); }
Bytes FromString(std::string_view s) { return Bytes(s.begin(), s.end()); }

} // namespace vellum::cast
