#pragma once

namespace vellum {

class esfile;
class Progress;

// The last step of loading a file: building its reference index. esfile calls it at the end
// of every successful LoadFile when one is installed (esfile::SetReferenceIndexBuilder).
class ReferenceIndexBuilder {
public:
    virtual ~ReferenceIndexBuilder() = default;
    virtual void BuildReferenceIndex(esfile& file, Progress* progress) = 0;
};

} // namespace vellum
