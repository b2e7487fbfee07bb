#!/usr/bin/env bash
# Lists, per folder of a model library, the Qt modules and the OpenSceneGraph
# headers its sources include, and fails when a model folder includes Qt
# Widgets, or OpenSceneGraph outside the folders that build scene nodes.
# Widgets belong in the ui/ folders and the app; the headless scene model is
# the only model code that builds OSG nodes.
set -uo pipefail
cd "$(dirname "$0")/.."
qt_include=$(find /usr/include -maxdepth 3 -type d -name QtCore -path '*qt6*' 2>/dev/null | head -n 1)
qt_include=${qt_include%/QtCore}
osg_allowed=" cad/scene cad/states "
status=0
for dir in platform core core/* cad cad/* io io/* cam cam/* nc nc/*; do
  [ -d "$dir" ] || continue
  case "$dir" in */ui|*/ui/*) continue ;; esac
  files=$(find "$dir" -maxdepth 1 -type f \( -name '*.h' -o -name '*.cpp' \))
  [ -n "$files" ] || continue
  modules=""
  for header in $(grep -hoE '#include[[:space:]]*<Q[A-Za-z/]*>' $files | sed -E 's/.*<(.*)>/\1/' | sort -u); do
    case "$header" in
      Qt*/*) module=${header%%/*} ;;
      *) module=$(cd "$qt_include" 2>/dev/null && ls -d Qt*/"$header" 2>/dev/null | head -n 1); module=${module%%/*} ;;
    esac
    [ -n "$module" ] || module="?$header"
    modules="$modules $module"
  done
  modules=$(echo $modules | tr ' ' '\n' | sort -u | tr '\n' ' ')
  osg=$(grep -hoE '#include[[:space:]]*<osg[A-Za-z]*/' $files | sed -E 's/.*<(osg[A-Za-z]*)\//\1/' | sort -u | tr '\n' ' ')
  echo "$dir: Qt [${modules% }] OSG [${osg% }]"
  if [[ " $modules " == *" QtWidgets "* || " $modules " == *" QtOpenGLWidgets "* ]]; then
    echo "  error: $dir is model code and includes Qt Widgets" >&2
    status=1
  fi
  if [ -n "$osg" ] && [[ "$osg_allowed" != *" $dir "* ]]; then
    echo "  error: $dir is model code and includes OpenSceneGraph" >&2
    status=1
  fi
done
exit $status
