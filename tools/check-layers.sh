#!/usr/bin/env bash
# Fails when the platform layer includes anything above it: platform/ is the
# seam and its backends, and depends on nothing of the program, the stand-in
# client or the tests.
root=$1
hits=$(cd "$root" && grep -rnE '#\s*include\s*"(app|aol|idle|reasons|dcp|transfer|ui|aolsim|tests|exe)/' \
        --include='*.h' --include='*.cpp' platform)
if [ -n "$hits" ]; then echo "platform/ includes from a layer above it:"; echo "$hits"; exit 1; fi
echo "ok"
