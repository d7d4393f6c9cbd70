#!/usr/bin/env bash
# Checks the #include lines of src/ against the layering of the folders: each
# folder includes only itself and the folders listed for it below, so no arrow
# runs back up and no two folders include each other. Inside the toolkit, the
# ground floor (frame, views, drawing, images) includes no control.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A allowed=(
  [params]=""
  [platform]=""
  [dsp]=""
  [tables]="dsp"
  [gui]=""
  [persist]="params platform"
  [sequencer]="params dsp"
  [effects]="dsp params"
  [engine]="dsp params tables sequencer effects"
  [editor]="gui persist params platform"
  [plugin]="engine sequencer effects dsp tables params persist platform editor gui"
)

failures=0
while IFS= read -r line; do
  file=${line%%:*}
  target=${line#*#include \"}
  target=${target%%\"*}
  from=${file%%/*}
  to=${target%%/*}
  [ "$to" = "$target" ] && continue  # a header beside the file
  [ "$to" = "$from" ] && continue
  if [ -z "${allowed[$from]+set}" ]; then
    echo "check_layers: $file: folder '$from' has no place in the layering" >&2
    failures=$((failures + 1))
  elif [[ " ${allowed[$from]} " != *" $to "* ]]; then
    echo "check_layers: $file includes $target: '$from' may include only: ${allowed[$from]:-nothing of ours}" >&2
    failures=$((failures + 1))
  fi
done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#include "' . | sed 's#^\./##')

ground_floor='gui/(c_frame|c_view|c_view_container|c_draw_context|c_bitmap|png_decoder|gui_limits)\.(h|cpp)'
controls='(c_control|c_knob|c_anim_knob|c_on_off_button|c_kick_button|c_option_menu|c_param_display|c_text_label|c_tab_view)\.h'
while IFS= read -r line; do
  echo "check_layers: ${line%%:*} (toolkit ground floor) includes a control: ${line#*#include }" >&2
  failures=$((failures + 1))
done < <(grep -rnE --include='*.h' --include='*.cpp' "^[[:space:]]*#include \"(gui/)?$controls\"" gui | grep -E "^$ground_floor:" || true)

if [ "$failures" -gt 0 ]; then
  echo "check_layers: $failures include(s) against the layering" >&2
  exit 1
fi
echo "check_layers: every include follows the layering"
