#!/usr/bin/env bash
# Each folder may include only the layers its library links (see
# CMakeLists.txt). One include root hides a missing link; this catches it.
# The provider's library has layers of its own: core (values, schemas, WQL)
# knows no source; sources read the machine; provider holds the context, the
# registry and the query engine; the classes sit on top.
set -euo pipefail
cd "$(dirname "$0")/.."
declare -A allowed=(
  [cimv2/core]="cimv2/core"
  [cimv2/sources]="cimv2/sources cimv2/core"
  [cimv2/provider]="cimv2/provider cimv2/sources cimv2/core"
  [cimv2/classes]="cimv2/classes cimv2/provider cimv2/sources cimv2/core"
  [wmi]="wmi cimv2"
  [remote]="remote cimv2"
  [components]="components wmi cimv2"
  [ui/pages]="ui/pages components wmi cimv2"
  [app/cli]="app/cli ui/pages components wmi remote cimv2"
  [ui]="ui ui/pages components wmi cimv2"
)
# The ssh transport is the one part of remote/ built over the scripting interface.
exceptions="remote/SshTransport.h:wmi remote/SshTransport.cpp:wmi"
status=0
for dir in "${!allowed[@]}"; do
  depth=""
  [ "$dir" = ui ] && depth="-maxdepth 1"
  while IFS= read -r file; do
    while IFS= read -r included; do
      layer=${included%/*}
      ok=0
      for a in ${allowed[$dir]}; do
        case "$layer/" in "$a"/*) ok=1 ;; esac
      done
      for e in $exceptions; do [ "$file:${layer%%/*}" = "$e" ] && ok=1; done
      if [ $ok -eq 0 ]; then
        echo "$file includes $included, outside the layers it links"
        status=1
      fi
    done < <(sed -n 's/^#include "\([^"]*\)".*/\1/p' "$file")
  done < <(find "$dir" $depth \( -name "*.h" -o -name "*.cpp" \) | sort)
done
exit $status
