# Sourced by the Wine helpers: which loader serves a prefix or an exe.
wine_dir=/usr/lib/wine

# win32 or win64, from the machine field of a PE file's header.
pe_arch() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
  [ "$machine" = 8664 ] && echo win64 || echo win32
}

wine_loader() { [ "$1" = win64 ] && echo "$wine_dir/wine64" || echo "$wine_dir/wine"; }

# True when this kernel runs 32-bit programs (some kernels boot with
# ia32_emulation off, and then only 64-bit Wine works).
can_run_32bit() { "$wine_dir/wine" --version >/dev/null 2>&1; }

wine_env() {
  export WINEPREFIX=$1 WINEARCH=$2
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
  export WINESERVER=$wine_dir/wineserver
  export WINELOADER
  WINELOADER=$(wine_loader "$2")
}
