#!/usr/bin/env bash
# Fails when a layer includes one above it:
#   platform/           the seam and its backends: nothing of the program, the client or the tests
#   aol/                the client automation: nothing above it
#   app/                the shell the features share: no feature, no root
#   idle/ reasons/ dcp/ transfer/ ui/ away/   the features: never the root
#   program/            the composition root: only itself, the entry point and the tests include it
root=$1
status=0
check() {
  local what=$1 pattern=$2; shift 2
  local hits
  hits=$(cd "$root" && grep -rnE "#\\s*include\\s*\"($pattern)/" --include='*.h' --include='*.cpp' "$@")
  if [ -n "$hits" ]; then echo "$what:"; echo "$hits"; status=1; fi
}
check "platform/ includes from a layer above it" 'app|aol|idle|reasons|dcp|transfer|ui|away|program|aolsim|tests|exe' platform
check "aol/ includes from a layer above it" 'app|idle|reasons|dcp|transfer|ui|away|program|aolsim|tests|exe' aol
check "app/ includes a feature or the program" 'idle|reasons|dcp|transfer|ui|away|program|aolsim|tests|exe' app
check "a feature includes the program" 'program|tests|exe' idle reasons dcp transfer ui away
[ $status -eq 0 ] && echo "ok"
exit $status
