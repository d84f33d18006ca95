# Sourced: a private X display and a persistent wineserver for a run of many Windows
# programs, stopped again when the sourcing script exits.

plumora_stop_wine_session() {
  wineserver -k >/dev/null 2>&1 || true
  # Until the server has gone: a session started right after would otherwise meet the
  # old server on its way out, and `wineserver -p` fails.
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "${plumora_xvfb_pid:-}" ]; then
    kill "$plumora_xvfb_pid" >/dev/null 2>&1 || true
    wait "$plumora_xvfb_pid" 2>/dev/null || true
  fi
}

# plumora_start_wine_session [--use-display]: with --use-display, windows go to the
# user's X display when there is one.
# One session per prefix at a time: a session's end kills every program of its prefix,
# another session's tests among them. The lock goes with the shell that holds it.
plumora_lock_wine_prefix() {
  exec {plumora_session_lock}>"$WINEPREFIX.session-lock"
  if ! flock -n "$plumora_session_lock"; then
    echo "another Wine session of the project uses $WINEPREFIX; wait for it to end" \
      "(its end stops every program of the prefix), or set PLUMORA_WINEPREFIX" >&2
    return 1
  fi
}

plumora_start_wine_session() {
  "$(dirname "${BASH_SOURCE[0]}")/make-prefix.sh"
  plumora_lock_wine_prefix
  trap plumora_stop_wine_session EXIT
  if [ "${1:-}" = "--use-display" ] && [ -n "${DISPLAY:-}" ]; then
    plumora_start_wineserver
    return
  fi
  # A free display number of our own: Xvfb reports the one it took.
  local displayfd
  exec {displayfd}<> <(:)
  Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  plumora_xvfb_pid=$!
  local display
  read -r -t 10 display <&"$displayfd" || { echo "Xvfb did not start" >&2; return 1; }
  exec {displayfd}>&-
  export DISPLAY=":$display"
  plumora_start_wineserver
}

plumora_start_wineserver() {
  # A wineserver that outlives each program keeps every start fast. Wine's own services
  # are started once here, with no pipe of ours open, so that they do not hold the test
  # runner's output pipe open after each test.
  wineserver -p
  (plumora_use_wine_locale && wine cmd /c exit </dev/null >/dev/null 2>&1)
}
