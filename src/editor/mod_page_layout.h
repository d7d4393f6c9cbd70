#pragma once

namespace tvx {

class ControlFactory;
class SectionDimming;

// The "MOD" page: the twelve matrix slots as a numbered table in two
// halves (slots 1-6 and 7-12), each row source, target and amount under
// column headings; a slot that cannot act is veiled.
void buildModPage(ControlFactory& factory, SectionDimming& dimming);

}  // namespace tvx
