#include "template/SearchHit.h"

namespace vellum {

std::string SearchHit::Row() const {
    std::string value = Value;
    for (char& c : value)
        if (c == '\t' || c == '\r' || c == '\n') c = ' ';
    std::string row;
    for (const std::string* f : {&FileKey, &RecordKey, &SubRecordKey, &Property, &RecordType, &ID}) {
        row += *f;
        row += '\t';
    }
    return row + value;
}

} // namespace vellum
