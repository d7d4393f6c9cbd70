#include "editor/controller_names.h"

namespace tvx {

namespace {

struct Named {
    int controller;
    const char* name;
};

// The General MIDI names musicians meet on their keyboards and pedals.
constexpr Named kNames[] = {
    {0, "Bank Select"},   {1, "Mod Wheel"},     {2, "Breath"},       {4, "Foot"},        {5, "Portamento Time"},
    {6, "Data Entry"},    {7, "Volume"},        {8, "Balance"},      {10, "Pan"},        {11, "Expression"},
    {64, "Sustain"},      {65, "Portamento"},   {66, "Sostenuto"},   {67, "Soft Pedal"}, {68, "Legato"},
    {71, "Resonance"},    {72, "Release"},      {73, "Attack"},      {74, "Brightness"}, {84, "Portamento Ctrl"},
    {91, "Reverb"},       {93, "Chorus"},
};

}  // namespace

std::string controllerMenuText(int controller) {
    std::string text = std::to_string(controller);
    for (const Named& named : kNames)
        if (named.controller == controller) return text + " " + named.name;
    return text;
}

}  // namespace tvx
