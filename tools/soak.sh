#!/usr/bin/env bash
# A long run of Plumora, to see that nothing leaks or hangs: Plumora plays a playlist of
# three short test videos in a loop (so that it builds a new graph every few seconds) into
# "Virtual Camera", while a DirectShow client (camera-viewer --reconnect) connects to the
# camera, takes frames for a few seconds, lets go, and again, over and over. Every minute a
# table row: Plumora's and the client's handles, GDI and USER objects, private bytes and
# threads as Windows reports them to another process (process-stats; a figure this system
# does not report is left out and named), the same processes' resident memory, threads and
# open descriptors as the host sees them, the files Plumora started, its slowest answer,
# and the client's connections and frames.
#
# Usage: tools/soak.sh MINUTES   (3 or more; the issue's run is 30)
#
# Verdict: no figure may grow by more than 5% from minute 2 to the last minute; Plumora's
# window must answer within 5 s all along (checked four times a second), the client must
# take frames on every connection, and at the end Plumora must quit through its tray menu
# with exit code 0. Exit code 0 when all of that held, 1 when not, 2 on bad usage or a
# missing build. A hang or crash is reported with a Wine backtrace of the process.
#
# Expects a build (tools/build.sh) and builds nothing. Runs an installed copy in a
# temporary folder (kept when the run fails), in a Wine prefix and session of its own, and
# leaves no process behind. Samples, logs and the table go to build/soak/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/env.sh"
source "$here/long-run.sh"

minutes=${1:-}
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 3 ]; then
  echo "usage: tools/soak.sh MINUTES  (3 or more: growth counts from minute 2)" >&2
  exit 2
fi
bound_percent=5
# Three samples a minute; the table shows their medians, which a graph being built at the
# moment of one sample does not move. Each sample is taken just after one of the client's
# connections has ended, when it should hold no more than before the connection.
samples_per_minute=3
# The client's connections: this many seconds with the camera, then this many without,
# long enough for a sample (process-stats takes a few seconds once Plumora holds many
# handles) to see the client as it is between connections.
connected_seconds=5 pause_seconds=10

plumora_pick_program_build
bin="$plumora_program_tree/bin"
dll=$plumora_camera_dll
plumora_require_built "$plumora_program_dist/Plumora.exe" "$dll" "$bin/camera-viewer.exe" \
  "$bin/process-stats.exe" "$bin/plumora-probe.exe"
export PLUMORA_WINE_SOUND=${PLUMORA_WINE_SOUND:-null}

out="$plumora_build/soak"
rm -rf "$out"
mkdir -p "$out"
samples="$out/samples.txt" table="$out/table.txt"
: >"$samples"

source "$here/wine-session.sh"
plumora_start_wine_session
work=$(mktemp -d /tmp/plumora-soak.XXXXXX)
folder="$work/安装 Plumora"
plumora_pid="" client_pid="" watch_pid=""
failures=()

finish() {
  local status=$?
  [ -f "$folder/Plumora.log" ] && cp "$folder/Plumora.log" "$out/" || true
  "$here/wine.sh" regsvr32 /s /u "$(plumora_windows_path "$dll")" >/dev/null 2>&1 || true
  # Ending the session ends what still runs in it; the background jobs are then reaped.
  plumora_stop_wine_session
  local pid
  for pid in $plumora_pid $client_pid $watch_pid; do wait "$pid" 2>/dev/null || true; done
  if [ "$status" = 0 ]; then rm -rf "$work"; else echo "kept for a look: $work" >&2; fi
}
trap finish EXIT

# The Windows process id of a running program, by image name, in hex as winedbg takes it.
windows_pid() {
  "$here/wine.sh" "$bin/process-stats.exe" "$1" 2>/dev/null | tr -d '\r' |
    sed -n "s/^$1 pid=\([0-9]*\) .*/\1/p" | head -1 | xargs -r printf '%08x'
}

# A program's threads counted by their names, as winedbg lists them: what a growing thread
# count is made of.
thread_names() {
  local name=$1 pid
  pid=$(windows_pid "$name")
  [ -n "$pid" ] || return 0
  printf 'info thread\nquit\n' | "$here/wine.sh" winedbg 2>/dev/null | tr -d '\r' |
    awk -v p="$pid" '/^[0-9a-f]/ {mine = ($1 == p); next} mine && /^\t/ {print ($3 == "" ? "(no name)" : $3)}' |
    sort | uniq -c | sort -rn |
    awk -v n="$name" '{c = $1; sub(/^ *[0-9]+ /, ""); s = s sep c " " $0; sep = ", "}
      END {print n "'"'"'s threads by name: " s}'
}

# A backtrace of a program's main thread (the window's, in Plumora) into the output folder.
# winedbg's "backtrace all" walks every process of the prefix and here stopped before ours.
backtrace() {
  local name=$1 pid
  pid=$(windows_pid "$name")
  [ -n "$pid" ] || { echo "no $name left for a backtrace"; return 0; }
  printf 'attach 0x%s\nbt\ndetach\nquit\n' "$pid" | "$here/wine.sh" winedbg \
    >"$out/backtrace-$name.txt" 2>&1 || true
  thread_names "$name" >>"$out/backtrace-$name.txt"
  echo "backtrace of $name: $out/backtrace-$name.txt"
}

fail() {
  failures+=("$1")
  echo "FAIL: $1"
}

plumora_install_copy "$folder"
"$here/wine.sh" regsvr32 /s "$(plumora_windows_path "$dll")"

echo "== Plumora from $folder, $minutes minutes"
(cd "$folder" && exec "$here/wine.sh" Plumora.exe) >"$out/plumora.out" 2>&1 &
plumora_pid=$!
"$here/wine.sh" "$bin/plumora-probe.exe" wait 60 | tr -d '\r'
"$here/wine.sh" "$bin/plumora-probe.exe" loop-list | tr -d '\r'

seconds=$((minutes * 60))
"$here/wine.sh" "$bin/plumora-probe.exe" watch "$seconds" >"$out/watch.out" 2>&1 &
watch_pid=$!
# It ends with the session, after the last sample.
"$here/wine.sh" "$bin/camera-viewer.exe" --seconds $((seconds + 300)) \
  --reconnect "$connected_seconds" "$pause_seconds" >"$out/client.out" 2>&1 &
client_pid=$!
started=$(date +%s)

# The host's figures of a process: resident memory, threads, open descriptors.
host_figures() {
  local pid=$1
  printf 'rss_kb=%s tasks=%s fds=%s' \
    "$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)" \
    "$(ls "/proc/$pid/task" 2>/dev/null | wc -l)" "$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)"
}

sample() {  # sample MINUTE
  local minute=$1 line name pid
  "$here/wine.sh" "$bin/process-stats.exe" Plumora.exe camera-viewer.exe 2>>"$out/process-stats.err" |
    tr -d '\r' | grep -v '^#' >"$out/last-stats.txt" || true
  for name in Plumora.exe camera-viewer.exe; do
    [ "$name" = Plumora.exe ] && pid=$plumora_pid || pid=$client_pid
    # A program that has ended has no line: the run goes on to say so.
    line=$(grep "^$name " "$out/last-stats.txt" | head -1 | cut -d' ' -f2- || true)
    [ -n "$line" ] || continue
    echo "minute=$minute who=$name $line $(host_figures "$pid")" >>"$samples"
  done
}

# Waits until the client has finished another connection (at most a connection's length
# and a little more).
wait_for_connection_end() {
  local before now deadline=$(($(date +%s) + connected_seconds + pause_seconds + 2))
  read -r before _ < <(client_totals)
  while [ "$(date +%s)" -lt "$deadline" ]; do
    read -r now _ < <(client_totals)
    [ "$now" -gt "$before" ] && return
    sleep 0.2
  done
}

# The client's connections finished so far, and their frames.
client_totals() {
  tr -d '\r' <"$out/client.out" | awk '
    /^connection [0-9]+: frames / { n++; frames += $4; if ($4 == 0) empty++ }
    /^connection [0-9]+: failed/ { n++; failed++ }
    END { printf "%d %d %d %d\n", n, frames, empty, failed }'
}

stop_early=""
read -r last_connections last_frames last_empty last_failed < <(client_totals)
for minute in $(seq 1 "$minutes"); do
  for n in $(seq 1 "$samples_per_minute"); do
    target=$((started + (minute - 1) * 60 + n * 60 / samples_per_minute))
    while [ "$(date +%s)" -lt "$target" ]; do
      sleep 1
      if ! kill -0 "$plumora_pid" 2>/dev/null; then
        plumora_status=0
        wait "$plumora_pid" || plumora_status=$?
        plumora_pid=""
        if [ "$plumora_status" -gt 128 ]; then
          stop_early="Plumora's process died of signal $((plumora_status - 128)) (see $out/plumora.out)"
        else
          stop_early="Plumora ended with exit code $plumora_status"
        fi
        break 3
      fi
      if ! kill -0 "$client_pid" 2>/dev/null; then stop_early="the client ended"; break 3; fi
      if ! kill -0 "$watch_pid" 2>/dev/null && [ "$minute" -lt "$minutes" ]; then
        stop_early="$(tr -d '\r' <"$out/watch.out" | tail -1)"
        break 3
      fi
    done
    wait_for_connection_end
    sample "$minute"
  done
  tr -d '\r' <"$out/watch.out" | grep "^minute=$minute " | sed 's/^/who=watch /' >>"$samples" || true
  read -r connections frames empty failed < <(client_totals)
  echo "minute=$minute who=client connections=$((connections - last_connections))" \
    "frames=$((frames - last_frames)) empty=$((empty - last_empty))" \
    "failed=$((failed - last_failed))" >>"$samples"
  if [ "$connections" = "$last_connections" ]; then
    stop_early="the client finished no connection in minute $minute"
    break
  fi
  last_connections=$connections last_frames=$frames last_empty=$empty last_failed=$failed
  python3 "$here/soak_table.py" "$samples" row "$minute" | tee -a "$table"
done

if [ -n "$stop_early" ]; then
  fail "after $(($(date +%s) - started)) s: $stop_early"
  kill -0 "$plumora_pid" 2>/dev/null && backtrace Plumora.exe
  kill -0 "$client_pid" 2>/dev/null && backtrace camera-viewer.exe
fi
read -r connections frames empty failed < <(client_totals)
echo "client: $connections connections, $frames frames; $empty without a frame, $failed failed" |
  tee -a "$table"
[ "$empty" = 0 ] || fail "$empty of the client's connections took no frame"
[ "$failed" = 0 ] || fail "$failed of the client's connections failed"
failed_starts=$(awk '{for (i = 1; i <= NF; i++) if ($i ~ /^failed_starts=/) {split($i, f, "="); s += f[2]}} END {print s + 0}' \
  "$samples")
[ "$failed_starts" = 0 ] || fail "Plumora reported $failed_starts files that failed to start"

if [ -z "$stop_early" ]; then
  thread_names Plumora.exe | tee -a "$table"
  thread_names camera-viewer.exe | tee -a "$table"
  "$here/wine.sh" "$bin/process-stats.exe" --types Plumora.exe camera-viewer.exe 2>/dev/null |
    tr -d '\r' | sed -n 's/^# \(.* handles by type: .*\)/\1/p' | tee -a "$table"
  wait "$watch_pid" || fail "the watch of Plumora's window failed: $(tr -d '\r' <"$out/watch.out" | tail -1)"
  watch_pid=""
  "$here/wine.sh" "$bin/plumora-probe.exe" quit 30 | tr -d '\r' | tee -a "$table" ||
    fail "Plumora did not quit cleanly through its tray menu"
  # The Windows exit code was 0; the process must also end without a signal on the way out.
  plumora_status=0
  wait "$plumora_pid" || plumora_status=$?
  plumora_pid=""
  if [ "$plumora_status" -gt 128 ]; then
    fail "Plumora's process died of signal $((plumora_status - 128)) after it quit (see $out/plumora.out)"
  fi
fi

python3 "$here/soak_table.py" "$samples" verdict "$bound_percent" | tee -a "$table" ||
  fail "a figure grew by more than $bound_percent%"
echo "took $(($(date +%s) - started)) s of watching; table, samples and logs in $out" |
  tee -a "$table"
if [ ${#failures[@]} -gt 0 ]; then
  echo "soak: FAIL (${#failures[@]}): ${failures[*]}" | tee -a "$table"
  exit 1
fi
echo "soak: ok" | tee -a "$table"
