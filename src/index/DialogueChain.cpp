#include "index/DialogueChain.h"

#include "index/ChainLinks.h"
#include "index/HistoryScope.h"
#include "model/KeyedCollection.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"

#include <algorithm>
#include <unordered_map>

namespace vellum {
namespace {

constexpr const char* kMoveStep = "Move Response";

std::string_view AsText(ByteSpan bytes) {
    std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return s.substr(0, s.find('\0'));
}

std::string Upper(std::string_view s) {
    std::string u(s);
    for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return u;
}

} // namespace

int DialogueChain::DialogueType(const esfile& file, const RecordEntry& record) {
    SubrecordViews views(file.Codec());
    for (const SubrecordViews::View& v : views.Read(record))
        if (v.name.substr(0, 4) == "DATA") return v.data.empty() ? -1 : v.data[0];
    return -1;
}

std::vector<DialogueChain::Link> DialogueChain::Order(const esfile& file, const RecordEntry& topic) {
    std::vector<Link> links;
    links.reserve(topic.Children.size());
    SubrecordViews views(file.Codec());
    for (const std::string& key : topic.Children) {
        const esRecArrayEntries* at = file.esRecArrayIndex().Find(key);
        if (!at || at->IndexNumber < 0 || static_cast<std::size_t>(at->IndexNumber) >= file.Records().size()) continue;
        Link link{key, {}, {}, {}};
        for (const SubrecordViews::View& v : views.Read(file.Records()[static_cast<std::size_t>(at->IndexNumber)])) {
            const std::string_view name = v.name.substr(0, 4);
            std::string* field = name == "INAM" ? &link.id : name == "PNAM" ? &link.previous
                                                 : name == "NNAM"             ? &link.next
                                                                              : nullptr;
            if (field && field->empty()) *field = AsText(v.data);
        }
        links.push_back(std::move(link));
    }
    // IDs compare without regard to case, as the game's do.
    std::unordered_map<std::string, std::size_t> byId;
    for (std::size_t i = 0; i < links.size(); ++i)
        if (!links[i].id.empty()) byId.emplace(Upper(links[i].id), i);
    auto find = [&](const std::string& id) -> std::ptrdiff_t {
        if (id.empty()) return -1;
        const auto it = byId.find(Upper(id));
        return it == byId.end() ? -1 : static_cast<std::ptrdiff_t>(it->second);
    };
    std::vector<char> placed(links.size(), 0);
    std::vector<std::size_t> order;
    order.reserve(links.size());
    auto follow = [&](std::size_t i) {
        for (std::ptrdiff_t at = static_cast<std::ptrdiff_t>(i); at >= 0 && !placed[static_cast<std::size_t>(at)];
             at = find(links[static_cast<std::size_t>(at)].next)) {
            placed[static_cast<std::size_t>(at)] = 1;
            order.push_back(static_cast<std::size_t>(at));
        }
    };
    for (std::size_t i = 0; i < links.size(); ++i)
        if (find(links[i].previous) < 0) follow(i);
    for (std::size_t i = 0; i < links.size(); ++i) follow(i); // links that only go round
    std::vector<Link> out;
    out.reserve(order.size());
    for (std::size_t i : order) out.push_back(std::move(links[i]));
    return out;
}

DialogueChain::MoveResult DialogueChain::Move(esfile& file, const std::string& responseKey,
                                              const std::string& topicKey) {
    auto& keys = file.esRecArrayIndex();
    if (!keys.Exists(responseKey) || !keys.Exists(topicKey)) return MoveResult::NotFound;
    const std::string oldTopicKey = file.Rec(responseKey).ParentKey.str();
    if (KeysEqual(oldTopicKey, topicKey)) return MoveResult::SameTopic;
    if (DialogueType(file, file.Rec(topicKey)) != DialogueType(file, file.Rec(responseKey))) return MoveResult::OtherKind;

    HistoryScope step(file, kMoveStep);
    step.Rename(kMoveStep); // also when a form edit that made the move holds the step
    const int index = file.GetRecordIndex(responseKey);
    ChainLinks links(file);
    if (!oldTopicKey.empty() && keys.Exists(oldTopicKey)) {
        links.Unlink(index);
        std::erase(file.Rec(oldTopicKey).Children, responseKey);
    }
    RecordEntry& newTopic = file.Rec(topicKey);
    newTopic.Children.push_back(responseKey);
    RecordEntry& moved = file.Rec(responseKey);
    moved.ParentKey = newTopic.Key;
    moved.ParentID = newTopic.ID;
    links.LinkAsLastChild(index);
    moved.Added = true; // a save places it anew: behind the last response of its new topic
    file.Changed = true;
    return MoveResult::Moved;
}

} // namespace vellum
