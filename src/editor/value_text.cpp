#include "editor/value_text.h"

#include "editor/editor_host.h"
#include "params/value_formatters.h"

namespace tvx {

ParameterReader parameterReader(const EditorHost& host) {
    return [&host](int index) { return host.parameterValue(index); };
}

std::string editorValueText(const EditorHost& host, int parameter) {
    return formatParameterValue(parameter, parameterReader(host));
}

}  // namespace tvx
