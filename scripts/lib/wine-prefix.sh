# A Wine prefix for running the Windows programs, with one wineserver for the whole run
# that ends however the script ends. Sourced by the Windows test scripts:
#   start_wine_prefix DIR      exports WINEPREFIX=DIR, creates the prefix when missing
#                              (sets the script's EXIT trap)
#   stop_wine_server           ends the prefix's wineserver and waits for it
wine_server() {
  command -v wineserver || echo /usr/lib/wine/wineserver
}

stop_wine_server() {
  "$(wine_server)" -k 2>/dev/null || true
  "$(wine_server)" -w 2>/dev/null || true
}

start_wine_prefix() {
  export WINEPREFIX=$1 WINEDEBUG=-all
  trap stop_wine_server EXIT
  "$(wine_server)" -p 60 2>/dev/null || true  # fails only when one is running already
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "$(basename "$0"): creating the Wine prefix $WINEPREFIX"
    "$root/scripts/wine-run.sh" wineboot -i >/dev/null 2>&1 || true
  fi
}
