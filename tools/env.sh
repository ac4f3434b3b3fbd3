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
