# Sourced by the scripts, not run: the Wine environment they share, the creation of a prefix and
# a private X display, so every script runs Wine the same way.
#   qv_wine_env PREFIX            export the Wine environment for the prefix PREFIX
#   qv_wine_prefix PREFIX         create PREFIX once, headless and fast (safe when callers race)
#   qv_start_wineserver [CMD...]  a persistent wineserver for $WINEPREFIX with the prefix's services
#                                 started, detached from the caller's output; CMD (e.g. taskset -c 0)
#                                 runs both
#   qv_stop_wineserver            end $WINEPREFIX's wineserver and everything it runs, and wait
#   qv_start_xvfb                 a private Xvfb on a free display; sets qv_xvfb_pid and
#                                 qv_xvfb_display (":N")

qv_wine_env() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEARCH=win64
  # No .NET or HTML engine prompts; no menu entries (about 25 ms for every saved shell link).
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

# A subshell, so the lock descriptor and the unset DISPLAY stay out of the caller (a daemon the
# caller starts later would otherwise hold the lock).
qv_wine_prefix() (
  local prefix="$1"
  [ -f "$prefix/.quorvane-ready" ] && exit 0

  mkdir -p "$(dirname "$prefix")"
  exec 9>"$prefix.lock"
  flock 9
  [ -f "$prefix/.quorvane-ready" ] && exit 0

  qv_wine_env "$prefix"
  unset DISPLAY
  wineboot -i >/dev/null 2>&1 || true
  local reg_file="$prefix/quorvane-settings.reg"
  cat >"$reg_file" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\Drivers]
"Graphics"="x11,null"
REG
  wine regedit /S "$reg_file" >/dev/null 2>&1
  wineserver -w
  touch "$prefix/.quorvane-ready"
)

qv_start_wineserver() {
  "$@" wineserver -p </dev/null >/dev/null 2>&1
  "$@" wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

qv_stop_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# The first display number from 90 with neither a lock file nor a socket; waits up to 10 s for
# the server's socket.
qv_start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  qv_xvfb_pid=$!
  qv_xvfb_display=":$n"
  local _
  for _ in $(seq 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
}
