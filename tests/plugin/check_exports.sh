#!/usr/bin/env bash
# Lists the module's exported symbols and fails on any but the two host entry points.
set -euo pipefail
module=$1
exported=$(nm -D --defined-only "$module" | awk '{print $3}' | sort -u)
allowed="DoPlugInMessage PL_GetAPIVersion"
status=0
for symbol in $exported; do
    case " $allowed " in
        *" $symbol "*) ;;
        *) echo "unexpected export: $symbol"; status=1 ;;
    esac
done
echo "exports: ${exported:-none}"
exit $status
