#pragma once

#include "model/KeyedCollection.h"

#include <memory>
#include <string>
#include <vector>

namespace vellum {
class esfile;
class PropertyCodec;
} // namespace vellum

namespace vellum::ui {

// The editor's open files keyed by full path (the clipboard file under "<Clipboard>"), each
// decoded through the one codec.
class FileSet {
public:
    explicit FileSet(const PropertyCodec& codec);
    ~FileSet();

    esfile& Add(const std::string& key); // replaces nothing: Exists first
    esfile* Find(const std::string& key);
    bool Exists(const std::string& key) const { return files_.Exists(key); }
    // A file whose FileName or SaveFileName is `path`.
    bool IsOpen(const std::string& path) const;
    void Remove(const std::string& key);
    std::size_t Count() const { return files_.Count(); }
    std::vector<std::string> Keys() const;

    esfile* Clipboard(); // the file whose Clipboard flag is set
    // Adds a clipboard file under "<Clipboard>", or "<Clipboard1>"… when that key is taken.
    esfile& AddClipboard();

private:
    const PropertyCodec& codec_;
    KeyedCollection<std::unique_ptr<esfile>> files_;
};

} // namespace vellum::ui
