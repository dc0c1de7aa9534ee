#include "ui/FileSet.h"

#include "model/esfile.h"

namespace vellum::ui {

FileSet::FileSet(const PropertyCodec& codec) : codec_(codec) {}
FileSet::~FileSet() = default;

esfile& FileSet::Add(const std::string& key) {
    auto* slot = files_.Add(key, std::make_unique<esfile>(codec_));
    if (!slot)
        return *files_.Item(key);
    (*slot)->FileName = key;
    return **slot;
}

esfile* FileSet::Find(const std::string& key) {
    auto* slot = files_.Find(key);
    return slot ? slot->get() : nullptr;
}

void FileSet::Remove(const std::string& key) { files_.Remove(key); }

bool FileSet::IsOpen(const std::string& path) const {
    for (const auto& e : files_)
        if (e.value->FileName == path || e.value->SaveFileName == path)
            return true;
    return false;
}

std::vector<std::string> FileSet::Keys() const {
    std::vector<std::string> keys;
    for (const auto& e : files_)
        keys.push_back(e.key);
    return keys;
}

esfile* FileSet::Clipboard() {
    for (auto& e : files_)
        if (e.value->Clipboard)
            return e.value.get();
    return nullptr;
}

esfile& FileSet::AddClipboard() {
    std::string key = "<Clipboard>";
    for (int n = 1; files_.Exists(key); ++n)
        key = "<Clipboard" + std::to_string(n) + ">";
    esfile& f = Add(key);
    f.FileTitle = "Clipboard";
    f.SaveFileName = key;
    f.Clipboard = true;
    return f;
}

} // namespace vellum::ui
