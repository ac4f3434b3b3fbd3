# Shared by run.sh and test.sh: which Windows build runs under Wine here.
# The product is the 32-bit build; where this machine cannot execute 32-bit
# code, its 64-bit twin (same sources) runs the Wine side instead.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  QM_WINE_PRESET=windows
else
  QM_WINE_PRESET=windows64
fi
export QM_WINE_PRESET

# Builds the product, and the twin when Wine needs it here.
build_windows() {
  cmake --preset windows
  cmake --build --preset windows
  if [ "$QM_WINE_PRESET" != windows ]; then
    echo "this machine cannot run 32-bit code: Wine runs the 64-bit twin build"
    cmake --preset "$QM_WINE_PRESET"
    cmake --build --preset "$QM_WINE_PRESET"
  fi
}

# The Wine loader for a program of the build.
wine_loader() {
  if [ "$QM_WINE_PRESET" = windows ]; then echo /usr/lib/wine/wine; else echo /usr/lib/wine/wine64; fi
}

# Makes the Wine prefix ready before anything is timed: a new prefix takes
# tens of seconds to create on a first run.  Every run has its own prefix, so
# the demo and the tests never meet in one Wine server.
prepare_prefix() {
  local prefix=$1
  mkdir -p "$prefix"
  if [ ! -f "$prefix/system.reg" ]; then
    echo "preparing the Wine prefix $prefix (once; this takes a while)"
    WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "$(wine_loader)" wineboot -i >/dev/null 2>&1 || true
  fi
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
}

# Ends every process of a Wine prefix and waits until they are gone.
end_prefix() {
  local prefix=$1
  WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
}
