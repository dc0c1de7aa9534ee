#include "index/TopicResponses.h"

#include "model/ByteCast.h"
#include "model/KeyedCollection.h"
#include "model/SubrecordViews.h"
#include "model/esfile.h"

#include <bit>
#include <cctype>
#include <charconv>

namespace vellum {
namespace {

std::string_view AsText(ByteSpan bytes) {
    std::string_view s(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return s.substr(0, s.find('\0'));
}

// The dialogue condition functions by their two-digit code.
constexpr const char* kFunctions[] = {
    "Faction Reaction Low", "Faction Reaction High", "Rank Requirement", "Reputation", "Health Percent",
    "PC Reputation", "PC Level", "PC Health Percent", "PC Magicka", "PC Fatigue", "PC Strength", "PC Block",
    "PC Armorer", "PC Medium Armor", "PC Heavy Armor", "PC Blunt Weapon", "PC Long Blade", "PC Axe", "PC Spear",
    "PC Athletics", "PC Enchant", "PC Destruction", "PC Alteration", "PC Illusion", "PC Conjuration",
    "PC Mysticism", "PC Restoration", "PC Alchemy", "PC Unarmored", "PC Security", "PC Sneak", "PC Acrobatics",
    "PC Light Armor", "PC Short Blade", "PC Marksman", "PC Mercantile", "PC Speechcraft", "PC Hand To Hand",
    "PC Sex", "PC Expelled", "PC Common Disease", "PC Blight Disease", "PC Clothing Modifier",
    "PC Crime Level", "Same Sex", "Same Race", "Same Faction", "Faction Rank Difference", "Detected", "Alarmed",
    "Choice", "PC Intelligence", "PC Willpower", "PC Agility", "PC Speed", "PC Endurance", "PC Personality",
    "PC Luck", "PC Corprus", "Weather", "PC Vampire", "Level", "Attacked", "Talked To PC", "PC Health",
    "Creature Target", "Friend Hit", "Fight", "Hello", "Alarm", "Flee", "Should Attack", "Werewolf",
    "PC Werewolf Kills",
};

// What a condition of each type tests, by the type character.
const char* Subject(char type) {
    switch (type) {
    case '2': return "Global";
    case '3': return "Local";
    case '4': return "Journal";
    case '5': return "Item";
    case '6': return "Dead";
    case '7': return "Not ID";
    case '8': return "Not Faction";
    case '9': return "Not Class";
    case 'A': return "Not Race";
    case 'B': return "Not Cell";
    case 'C': return "Not Local";
    default: return nullptr;
    }
}

void Append(std::string& out, std::string_view part) {
    if (part.empty()) return;
    if (!out.empty()) out += "; ";
    out += part;
}

std::string Number(std::int64_t v) { return std::to_string(v); }
std::string Number(int v) { return std::to_string(v); }

std::string Number(float v) {
    char buf[32];
    return std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

} // namespace

TopicResponses::TopicResponses(const esfile& file, std::string_view topicKey) : file_(file) {
    if (const esRecArrayEntries* at = file.esRecArrayIndex().Find(topicKey);
        at && at->IndexNumber >= 0 && static_cast<std::size_t>(at->IndexNumber) < file.Records().size())
        links_ = DialogueChain::Order(file, file.Records()[static_cast<std::size_t>(at->IndexNumber)]);
    rows_.resize(links_.size());
}

int TopicResponses::RowOf(std::string_view recordKey) const {
    for (std::size_t i = 0; i < links_.size(); ++i)
        if (KeysEqual(links_[i].key, recordKey)) return static_cast<int>(i);
    return -1;
}

const TopicResponses::Row& TopicResponses::At(std::size_t i) const {
    std::optional<Row>& row = rows_.at(i);
    if (!row) row = Describe(i);
    return *row;
}

std::string TopicResponses::Condition(std::string_view scvr, const std::string& value) {
    static constexpr const char* kCompare[] = {"=", "!=", ">", ">=", "<", "<="};
    if (scvr.size() < 5) return std::string(scvr);
    std::string test;
    if (scvr[1] == '1') {
        const int code = (scvr[2] - '0') * 10 + (scvr[3] - '0');
        const bool digits = std::isdigit(static_cast<unsigned char>(scvr[2])) &&
                            std::isdigit(static_cast<unsigned char>(scvr[3]));
        test = digits && code < static_cast<int>(std::size(kFunctions)) ? kFunctions[code]
                                                                         : "Function " + std::string(scvr.substr(2, 2));
    } else if (const char* subject = Subject(scvr[1])) {
        test = std::string(subject) + " " + std::string(scvr.substr(5));
    } else {
        test = std::string(scvr.substr(5));
    }
    const int op = scvr[4] - '0';
    test += " ";
    test += op >= 0 && op < 6 ? kCompare[op] : "?";
    if (!value.empty()) test += " " + value;
    return test;
}

TopicResponses::Row TopicResponses::Describe(std::size_t i) const {
    Row row;
    const esRecArrayEntries* at = file_.esRecArrayIndex().Find(links_[i].key);
    if (!at || at->IndexNumber < 0 || static_cast<std::size_t>(at->IndexNumber) >= file_.Records().size())
        return row;
    std::string race, klass, faction, cell, playerFaction, conditions, scvr;
    int type = -1, sex = -1, rank = -1, playerRank = -1;
    std::int64_t disposition = 0;
    bool pending = false;
    auto flush = [&](const std::string& value) {
        if (pending) Append(conditions, Condition(scvr, value));
        pending = false;
    };
    SubrecordViews views(file_.Codec());
    for (const SubrecordViews::View& v : views.Read(file_.Records()[static_cast<std::size_t>(at->IndexNumber)])) {
        const std::string_view name = v.name.substr(0, 4);
        const ByteSpan d = v.data;
        if (name == "SCVR") {
            flush({});
            scvr.assign(reinterpret_cast<const char*>(d.data()), d.size());
            pending = true;
        } else if (name == "INTV" && d.size() >= 4) {
            flush(Number(std::int64_t{static_cast<std::int32_t>(cast::LoadU32(d.data()))}));
        } else if (name == "FLTV" && d.size() >= 4) {
            flush(Number(std::bit_cast<float>(cast::LoadU32(d.data()))));
        } else if (name == "ONAM") {
            row.speaker = AsText(d);
        } else if (name == "RNAM") {
            race = AsText(d);
        } else if (name == "CNAM") {
            klass = AsText(d);
        } else if (name == "FNAM") {
            faction = AsText(d);
        } else if (name == "ANAM") {
            cell = AsText(d);
        } else if (name == "DNAM") {
            playerFaction = AsText(d);
        } else if (name == "NAME") {
            row.text.assign(reinterpret_cast<const char*>(d.data()), d.size());
        } else if (name == "DATA" && d.size() >= 11) {
            type = d[0];
            disposition = static_cast<std::int32_t>(cast::LoadU32(d.data() + 4));
            rank = static_cast<std::int8_t>(d[8]);
            sex = static_cast<std::int8_t>(d[9]);
            playerRank = static_cast<std::int8_t>(d[10]);
        }
    }
    flush({});

    std::string speaker = row.speaker;
    Append(speaker, race.empty() ? "" : "Race " + race);
    Append(speaker, klass.empty() ? "" : "Class " + klass);
    if (faction == "FFFF") Append(speaker, "No faction");
    else if (!faction.empty()) Append(speaker, "Faction " + faction + (rank >= 0 ? " rank " + Number(rank) : ""));
    else if (rank >= 0) Append(speaker, "Rank " + Number(rank));
    Append(speaker, sex == 0 ? "Male" : sex == 1 ? "Female" : "");
    Append(speaker, cell.empty() ? "" : "Cell " + cell);
    row.speaker = std::move(speaker);

    std::string tests;
    if (type == 4) Append(tests, "Index " + Number(disposition));
    else if (disposition != 0) Append(tests, "Disposition " + Number(disposition));
    if (!playerFaction.empty())
        Append(tests, "Player faction " + playerFaction + (playerRank >= 0 ? " rank " + Number(playerRank) : ""));
    else if (playerRank >= 0) Append(tests, "Player rank " + Number(playerRank));
    Append(tests, conditions);
    row.conditions = std::move(tests);

    // The response may hold line breaks; the row shows one line.
    for (char& c : row.text)
        if (c == '\r' || c == '\n') c = ' ';
    if (const auto z = row.text.find('\0'); z != std::string::npos) row.text.resize(z);
    return row;
}

} // namespace vellum
