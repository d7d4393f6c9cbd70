#pragma once

#include <string>

class EditorHost;

// The text of a parameter's value in the editor's displays: the plug-in's
// display text, except where that falls back to a plain bipolar number
// although the parameter has a unit of its own (voices, steps, divisions,
// semitones, velocities, times, the tuning reference).
std::string editorValueText(const EditorHost& host, int parameter);
