#pragma once

#include "model/Bytes.h"

#include <string>
#include <vector>

namespace vellum {

class DirtySettings;
class Progress;
class ReferenceIndexBuilder;
class esfile;

// Cleaning a plug-in of what it holds by accident: records identical to a master's version
// (type, ID, flags and data; cells reference by reference, so that a cell keeps only its new or
// changed references and goes when nothing of its own is left; a topic stays while the plug-in
// has responses under it) and the game settings the game's editor adds (DirtySettings). A record
// that another record of the plug-in refers to is never removed. Finding and removing are apart,
// so that the user can see the list first; removing is one undoable operation on the file.
class Cleaner {
public:
    struct Item {
        int record = -1;    // in the plug-in
        std::string type, id;
        std::string reason; // "identical to <master>", "dirty game setting"
        int references = 0; // a cell that stays: how many of its references go
        Bytes trimmed;      // that cell's data without them
        bool WholeRecord() const { return references == 0; }
        // "<TYPE> <ID>: <reason>", or "... <n> references identical to <master>" for a cell that stays.
        std::string Line() const;
    };

    // `masters` in load order (the last one wins where several define a record).
    static std::vector<Item> Find(const esfile& plugin, const std::vector<esfile*>& masters,
                                  const DirtySettings& dirty, Progress* progress = nullptr);
    // Removes the items (as chosen by the user: any subset of what Find gave) from the plug-in,
    // which must not have changed since; `indexer` rebuilds its reference index. One step of the
    // plug-in's undo history ("Clean 12 Records"). Returns the number of whole records removed.
    static int Apply(esfile& plugin, const std::vector<Item>& items, Progress* progress = nullptr,
                     ReferenceIndexBuilder* indexer = nullptr);
    // "removed N of M records": M the records of the plug-in after its header, before removing.
    static std::string Summary(int removed, int records);
};

} // namespace vellum
