#!/usr/bin/env bash
# Fails when a source file includes <windows.h> outside the Windows backends
# (the product's and the stand-in client's).
root=$1
hits=$(cd "$root" && grep -rlE '#\s*include\s*[<"]windows\.h[>"]' --include='*.h' --include='*.cpp' \
        --include='*.c' --include='*.rc' \
        app aol idle reasons dcp transfer ui away program platform aolsim tests exe bench fuzz 2>/dev/null \
      | grep -vE '^(platform/win32|aolsim/win32)/')
if [ -n "$hits" ]; then echo "includes <windows.h> outside the Windows backends:"; echo "$hits"; exit 1; fi
echo "ok"
