#pragma once

#include <string>

#include "params/value_formatters.h"

namespace tvx {

class EditorHost;

// The plug-in's stored values, for the value formatters.
ParameterReader parameterReader(const EditorHost& host);

// The text of a parameter's value in the editor's displays and held
// captions, in the units of the value formatters.
std::string editorValueText(const EditorHost& host, int parameter);

}  // namespace tvx
