#pragma once

#include <string>
#include <string_view>

namespace vellum {

// Names a record either by its key (text) or by its array position (number), as every
// operation on records accepts both.
class RecordRef {
public:
    RecordRef(int index) : index_(index), byKey_(false) {}
    RecordRef(std::string_view key) : key_(key) {}
    RecordRef(const std::string& key) : key_(key) {}
    RecordRef(const char* key) : key_(key) {}

    bool ByKey() const { return byKey_; }
    std::string_view Key() const { return key_; }
    int Index() const { return index_; }

private:
    std::string_view key_;
    int index_ = 0;
    bool byKey_ = true;
};

} // namespace vellum
