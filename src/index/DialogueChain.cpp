#include "index/DialogueChain.h"

#include "model/KeyedCollection.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"

#include <algorithm>
#include <unordered_map>

namespace vellum {
namespace {

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

std::string DialogueChain::Text(const esfile& file, const RecordEntry& record, std::string_view name) {
    SubrecordViews views(file.Codec());
    for (const SubrecordViews::View& v : views.Read(record))
        if (v.name.substr(0, 4) == name) return std::string(AsText(v.data));
    return {};
}

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

void DialogueChain::SetText(esfile& file, const std::string& recordKey, std::string_view name,
                            const std::string& text) {
    const bool wasPacked = file.Rec(recordKey).Packed;
    file.UnPackRecord(recordKey);
    RecordEntry& r = file.Rec(recordKey);
    Subrecord* sub = nullptr;
    for (auto& e : *r.SubRecords)
        if (std::string_view(e.value.Name).substr(0, 4) == name) {
            sub = &e.value;
            break;
        }
    if (!sub) sub = r.SubRecords->Find(file.AddSubrecord(recordKey, name));
    if (sub) {
        // Raw bytes: the template need not describe the link for it to be kept right.
        sub->Properties.clear();
        sub->Packed = true;
        sub->Data.assign(text.begin(), text.end());
        sub->Data.push_back(0);
        sub->Size = static_cast<std::int32_t>(sub->Data.size());
    }
    if (wasPacked && !file.LeaveRecordsUnpacked) file.PackRecord(recordKey);
}

DialogueChain::MoveResult DialogueChain::Move(esfile& file, const std::string& responseKey,
                                              const std::string& topicKey) {
    auto& keys = file.esRecArrayIndex();
    if (!keys.Exists(responseKey) || !keys.Exists(topicKey)) return MoveResult::NotFound;
    RecordEntry& response = file.Rec(responseKey);
    const std::string oldTopicKey = response.ParentKey.str();
    if (KeysEqual(oldTopicKey, topicKey)) return MoveResult::SameTopic;
    RecordEntry& topic = file.Rec(topicKey);
    if (DialogueType(file, topic) != DialogueType(file, response)) return MoveResult::OtherKind;

    const std::string id = Text(file, response, "INAM");
    if (!oldTopicKey.empty() && keys.Exists(oldTopicKey)) {
        // The neighbours in the old topic close the gap.
        const std::string previous = Text(file, response, "PNAM"), next = Text(file, response, "NNAM");
        for (const Link& l : Order(file, file.Rec(oldTopicKey))) {
            if (l.key == responseKey) continue;
            if (!previous.empty() && KeysEqual(l.id, previous)) SetText(file, l.key, "NNAM", next);
            if (!next.empty() && KeysEqual(l.id, next)) SetText(file, l.key, "PNAM", previous);
        }
        std::erase(file.Rec(oldTopicKey).Children, responseKey);
    }
    const std::vector<Link> chain = Order(file, file.Rec(topicKey));
    const std::string last = chain.empty() ? std::string() : chain.back().id;
    if (!chain.empty()) SetText(file, chain.back().key, "NNAM", id);
    SetText(file, responseKey, "PNAM", last);
    SetText(file, responseKey, "NNAM", {});

    RecordEntry& moved = file.Rec(responseKey);
    RecordEntry& newTopic = file.Rec(topicKey);
    newTopic.Children.push_back(responseKey);
    moved.ParentKey = newTopic.Key;
    moved.ParentID = newTopic.ID;
    moved.Added = true; // a save places it anew: behind the last response of its new topic
    file.Changed = true;
    return MoveResult::Moved;
}

} // namespace vellum
