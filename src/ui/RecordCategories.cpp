#include "ui/RecordCategories.h"

namespace vellum::ui {
namespace {

constexpr RecordCategory kCategories[] = {
    {"TES3", "~File Header"},
    {"GMST", "Game Settings"},
    {"GLOB", "Global Variables"},
    {"CLAS", "Character Classes"},
    {"FACT", "Factions"},
    {"RACE", "Races"},
    {"SOUN", "Sounds"},
    {"SKIL", "Skills"},
    {"MGEF", "Magic Effects"},
    {"SCPT", "Scripts"},
    {"REGN", "Regions"},
    {"BSGN", "Birth Signs"},
    {"LTEX", "Land Textures"},
    {"STAT", "Static Models"},
    {"DOOR", "Doors"},
    {"MISC", "Items Miscellaneous"},
    {"WEAP", "Weapons"},
    {"CONT", "Containers"},
    {"SPEL", "Spells"},
    {"CREA", "Creatures"},
    {"BODY", "Body Parts"},
    {"LIGH", "Lights"},
    {"ENCH", "Enchantments"},
    {"NPC_", "Non Player Characters"},
    {"ARMO", "Armour Types"},
    {"CLOT", "Clothing"},
    {"REPA", "Repair Equipment"},
    {"ACTI", "Activators"},
    {"APPA", "Alchemy Apparatus"},
    {"LOCK", "Lock Picking Items"},
    {"PROB", "Probe Items"},
    {"INGR", "Ingredients"},
    {"BOOK", "Books"},
    {"ALCH", "Alchemy"},
    {"LEVI", "Items Levelled"},
    {"LEVC", "Creatures Levelled"},
    {"CELL", "Cells"},
    {"LAND", "Landscape"},
    {"PGRD", "Path Grids"},
    {"SNDG", "Sound Generators"},
    {"DIAL", "Dialog"},
    {"INFO", "Dialog Responses/Info"},
    {"CNTC", "Containers Altered by Player"},
    {"CREC", "Creatures Altered/Killed by Player"},
    {"NPCC", "NPCs Altered/Killed by Player"},
    {"STLN", "Stolen Items"},
    {"QUES", "Quests"},
    {"FMAP", "Player Map"},
    {"SPLM", "Player Spell Data"},
    {"JOUR", "Player Journal"},
    {"REFR", "Player Reference Data"},
    {"GAME", "Player Location Data"},
    {"KLST", "Player Kill List"},
    {"PCDT", "Player Miscellaneous Data"},
    {"SSCR", "Scripts Startup"},
};

} // namespace

std::span<const RecordCategory> RecordCategories() { return kCategories; }

std::string_view CategoryCaption(std::string_view type) {
    for (const RecordCategory& c : kCategories)
        if (c.type == type) return c.caption;
    return type;
}

} // namespace vellum::ui
