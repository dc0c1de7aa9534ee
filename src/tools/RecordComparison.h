#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vellum {

class esfile;

// One record as several files have it, side by side: a row per subrecord (matched by name and
// by its place among the record's subrecords of that name) followed by a row per property of
// it, each with every version's value and whether the versions differ there.
class RecordComparison {
public:
    struct Version {
        const esfile* file = nullptr;
        int record = -1;
    };
    struct Row {
        std::string subrecord; // four characters as stored
        int occurrence = 0;    // among the record's subrecords of that name, from 0
        std::string property;  // empty on the subrecord's own row
        std::vector<std::optional<std::string>> values; // per version; none where it lacks it
        bool differs = false;
    };

    explicit RecordComparison(std::vector<Version> versions);

    const std::vector<Version>& Versions() const { return versions_; }
    const std::vector<Row>& Rows() const { return rows_; }

private:
    std::vector<Version> versions_;
    std::vector<Row> rows_;
};

} // namespace vellum
