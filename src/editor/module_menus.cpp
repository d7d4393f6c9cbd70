#include "editor/module_menus.h"

#include <initializer_list>

namespace tvx {

namespace {

// "-" entries are separators; they keep their places in the numbering.
void addEntries(COptionMenu& menu, std::initializer_list<const char*> entries) {
    for (const char* entry : entries) menu.addEntry(entry);
}

void addCopyPasteReset(COptionMenu& menu) { addEntries(menu, {"Copy", "Paste", "-", "Reset"}); }

}  // namespace

OscillatorMenu::OscillatorMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : ContextMenu(size, listener, tag) {
    addCopyPasteReset(*this);
    addEntries(*this, {"-", "Square", "Sawtooth", "Triangle", "Sine"});
}

FilterMenu::FilterMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : ContextMenu(size, listener, tag) {
    addCopyPasteReset(*this);
}

EnvMenu::EnvMenu(const CRect& size, CControlListener* listener, int32_t tag) : ContextMenu(size, listener, tag) {
    addCopyPasteReset(*this);
    addEntries(*this, {"-", "Move Mod 1 To Matrix", "Move Mod 2 To Matrix", "Move Mod 3 To Matrix"});
}

LfoMenu::LfoMenu(const CRect& size, CControlListener* listener, int32_t tag) : ContextMenu(size, listener, tag) {
    addCopyPasteReset(*this);
    addEntries(*this, {"-", "Move Mod 1 To Matrix", "Move Mod 2 To Matrix", "Move Mod 3 To Matrix"});
}

EqualiserMenu::EqualiserMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : ContextMenu(size, listener, tag) {
    addEntries(*this, {"EQ 1 Shelf", "EQ 2 Shelf"});
}

SequencerMenu::SequencerMenu(const CRect& size, CControlListener* listener, int32_t tag)
    : ContextMenu(size, listener, tag) {
    addEntries(*this, {"Save Sequence", "Load Sequence", "-", "Init Sequence"});
}

}  // namespace tvx
