#!/usr/bin/env bash
# Fails when a source file outside the Windows backends includes <windows.h>.
root=$1
hits=$(cd "$root" && grep -rlE '#\s*include\s*[<"]windows\.h[>"]' --include='*.h' --include='*.cpp' \
        app aol idle reasons dcp transfer ui platform aolsim tests 2>/dev/null \
      | grep -vE '^(platform/win32|aolsim/win32)/')
if [ -n "$hits" ]; then echo "includes <windows.h> outside the Windows backends:"; echo "$hits"; exit 1; fi
echo "ok"
