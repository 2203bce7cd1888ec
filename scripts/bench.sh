#!/usr/bin/env bash
# The benchmarks: the `skein10` host's FTP client against curl, on loopback,
# against one local FTP server that both use.
#   1. download and upload throughput, passive and active mode (median MiB/s);
#   2. peak resident memory of a large download and upload;
#   3. time per command on one control connection, against a bare socket.
# Every transfer's bytes are compared once per tool, direction and mode. Slow
# numbers do not fail the run; a command that fails or moves wrong bytes does.
#
#   scripts/bench.sh BUILD_DIR     (a release build; ./run bench passes build/bench)
#
# Environment:
#   SKEIN10_BENCH_MB        throughput file size in MiB (default 256)
#   SKEIN10_BENCH_RSS_MB    peak-memory file size in MiB (default 1024)
#   SKEIN10_BENCH_RUNS      runs per throughput figure (default 5)
#   SKEIN10_BENCH_COMMANDS  commands in the round-trip session (default 1000)
#   SKEIN10_BENCH_SERVER    vsftpd (default when run as root) or pyftpdlib
set -euo pipefail
shopt -s inherit_errexit  # a failure inside $(...) stops the bench too

build=$(cd "${1:?usage: scripts/bench.sh BUILD_DIR}" && pwd)
source_root=$(cd "$(dirname "$0")/.." && pwd)
host=$build/bin/skein10
round_trip=$source_root/bench/ftp_round_trip.py
[ -x "$host" ] || { echo "bench: $host is not built" >&2; exit 1; }

positive() {  # positive NAME VALUE: VALUE, or a usage error when it is not a whole number above 0
  [[ $2 =~ ^[1-9][0-9]*$ ]] || { echo "bench: $1 takes a whole number above 0, not '$2'" >&2; exit 2; }
  echo "$2"
}
size_mb=$(positive SKEIN10_BENCH_MB "${SKEIN10_BENCH_MB:-256}")
rss_mb=$(positive SKEIN10_BENCH_RSS_MB "${SKEIN10_BENCH_RSS_MB:-1024}")
runs=$(positive SKEIN10_BENCH_RUNS "${SKEIN10_BENCH_RUNS:-5}")
commands=$(positive SKEIN10_BENCH_COMMANDS "${SKEIN10_BENCH_COMMANDS:-1000}")
default_server=pyftpdlib
[ "$(id -u)" -eq 0 ] && default_server=vsftpd
server=${SKEIN10_BENCH_SERVER:-$default_server}

# Bounds: one command may take this long; one figure stops taking more runs
# once it has spent this long (after its first run).
command_limit=300
figure_budget=20

source "$(dirname "$0")/common.sh"
private_store "$build/bench-store"
chmod 755 "$work"
trap 'exit 130' INT TERM

fail() {
  echo "bench: $1" >&2
  [ -f "$work/command.log" ] && cat "$work/command.log" >&2
  exit 1
}

port=$(free_port)

# Each server sets: files (its local folder), remote (the folder's name in
# URLs, with a trailing slash, or nothing), cd_steps, user, password.
start_vsftpd() {
  local top=$work/top
  files=$top/pub remote=pub/ cd_steps=(cd pub) user=anonymous password=bench
  mkdir -p "$files" "$work/empty"
  chown ftp:ftp "$files"
  cat >"$work/vsftpd.conf" <<EOF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
secure_chroot_dir=$work/empty
anonymous_enable=YES
local_enable=NO
anon_root=$top
ftp_username=ftp
nopriv_user=ftp
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_world_readable_only=NO
anon_umask=022
pasv_enable=YES
port_enable=YES
connect_from_port_20=NO
xferlog_enable=NO
dirmessage_enable=NO
EOF
  /usr/sbin/vsftpd "$work/vsftpd.conf" >"$work/server.log" 2>&1 &
  server_pid=$!
}

start_pyftpdlib() {
  files=$work/root remote= cd_steps=() user=bench password=bench
  mkdir -p "$files"
  /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$port" -d "$files" -u "$user" -P "$password" -w \
    >"$work/server.log" 2>&1 &
  server_pid=$!
}

case "$server" in
  vsftpd) start_vsftpd ;;
  pyftpdlib) start_pyftpdlib ;;
  *) echo "bench: SKEIN10_BENCH_SERVER takes vsftpd or pyftpdlib, not '$server'" >&2; exit 2 ;;
esac
# Wait (at most 15 s) until the server accepts connections.
for _ in $(seq 150); do
  if (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then break; fi
  kill -0 "$server_pid" 2>/dev/null || { cat "$work/server.log" >&2; fail "$server did not start"; }
  sleep 0.1
done
(exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null || fail "$server does not accept connections"

login=$user:$password@127.0.0.1:$port
bounded() { timeout "$command_limit" "$@"; }
skein10_ftp() {  # skein10_ftp MODE STEP...: one session of the host
  local mode=$1; shift
  bounded "$host" ftp --quiet --mode "$mode" "ftp://$login" "${cd_steps[@]}" "$@"
}
curl_ftp() {  # curl_ftp MODE ARG...
  local mode=$1; shift
  local active=()
  [ "$mode" = PORT ] && active=(-P -)
  bounded curl -sS --fail "${active[@]}" "$@"
}

# seconds CMD...: runs CMD (a bounded one) and prints its wall-clock time in seconds.
seconds() {
  local start=$EPOCHREALTIME
  "$@" >"$work/command.log" 2>&1 || fail "'$*' failed"
  local end=$EPOCHREALTIME
  awk -v s="${start/,/.}" -v e="${end/,/.}" 'BEGIN { printf "%.6f\n", e - s }'
}

median() {
  printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

rows=()
row() {  # row WHAT SKEIN10 OTHER RATIO-NOTE
  rows+=("$(printf '%-34s %12s %12s %8s' "$@")")
  echo "  ${rows[-1]}" >&2
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

# --- 1. throughput -----------------------------------------------------------

echo "bench: $server on 127.0.0.1:$port; throughput file $size_mb MiB, $runs runs per figure" >&2
head -c "$((size_mb * 1024 * 1024))" /dev/urandom >"$files/payload.bin"
bytes=$(stat -c %s "$files/payload.bin")

# transfer TOOL DIRECTION MODE RUN: one transfer; prints its time; compares
# the bytes on the first run and removes what the transfer wrote.
transfer() {
  local tool=$1 direction=$2 mode=$3 run=$4 took written
  local remote_name=upload-$tool-$mode-$run.bin
  case "$tool-$direction" in
    skein10-get) took=$(seconds skein10_ftp "$mode" type binary get payload.bin "$work/download.bin") ;;
    skein10-put) took=$(seconds skein10_ftp "$mode" type binary put "$work/source.bin" "$remote_name") ;;
    curl-get) took=$(seconds curl_ftp "$mode" -o "$work/download.bin" "ftp://$login/${remote}payload.bin") ;;
    curl-put) took=$(seconds curl_ftp "$mode" -T "$work/source.bin" "ftp://$login/${remote}$remote_name") ;;
  esac
  written=$work/download.bin
  [ "$direction" = put ] && written=$files/$remote_name
  if [ "$run" -eq 1 ] && ! cmp -s "$work/source.bin" "$written"; then
    fail "$tool $direction ($mode) moved different bytes"
  fi
  rm -f "$written"
  echo "$took"
}

# mib_per_second TOOL DIRECTION MODE: the median rate over the runs.
mib_per_second() {
  local rates=() spent=0 run took
  for run in $(seq "$runs"); do
    took=$(transfer "$@" "$run")
    rates+=("$(awk -v b="$bytes" -v t="$took" 'BEGIN { printf "%.1f", b / 1048576 / t }')")
    spent=$(awk -v s="$spent" -v t="$took" 'BEGIN { print s + t }')
    awk -v s="$spent" -v l="$figure_budget" 'BEGIN { exit !(s > l) }' && break
  done
  median "${rates[@]}" | xargs printf "%.1f\n"
}

cp "$files/payload.bin" "$work/source.bin"
for mode in PASV PORT; do
  for direction in get put; do
    ours=$(mib_per_second skein10 "$direction" "$mode")
    theirs=$(mib_per_second curl "$direction" "$mode")
    row "$direction $mode MiB/s (higher better)" "$ours" "$theirs" "$(ratio "$ours" "$theirs")"
  done
done
rm -f "$files/payload.bin" "$work/source.bin"

# --- 2. peak resident memory -------------------------------------------------

echo "bench: peak memory of a $rss_mb MiB download and upload (passive mode)" >&2
# A sparse file: the content does not matter here, only that no tool holds it whole.
truncate -s "$((rss_mb * 1024 * 1024))" "$files/large.bin"

# peak_kib CMD...: the command's peak resident set size in KiB.
peak_kib() {
  bounded /usr/bin/time -f '%M' -o "$work/peak" "$@" >"$work/command.log" 2>&1 \
    || fail "'$*' failed"
  tail -n 1 "$work/peak"
}
large_bytes=$(stat -c %s "$files/large.bin")
moved() {  # moved FILE: fails unless FILE holds the whole large file; removes it
  [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -eq "$large_bytes" ] || fail "$1 is not $large_bytes bytes long"
  rm -f "$1"
}
kib_to_mib() { awk -v k="$1" 'BEGIN { printf "%.1f", k / 1024 }'; }
# The host streams through fixed-size buffers, so its peak stays this small
# whatever the file's size; more hints at a buffer that grows with the file.
memory_bound_kib=$((64 * 1024))
notes=()
within_bound() {  # within_bound DIRECTION PEAK_KIB: a note when the peak is over the bound
  [ "$2" -le "$memory_bound_kib" ] && return 0
  notes+=("WARNING: skein10 $1 of $rss_mb MiB peaked at $(kib_to_mib "$2") MiB (bound $((memory_bound_kib / 1024)) MiB)")
}

ours=$(peak_kib "$host" ftp --quiet "ftp://$login" "${cd_steps[@]}" type binary get large.bin "$work/large-down.bin")
moved "$work/large-down.bin"
theirs=$(peak_kib curl -sS --fail -o "$work/large-down.bin" "ftp://$login/${remote}large.bin")
moved "$work/large-down.bin"
row "peak RSS get $rss_mb MiB (MiB)" "$(kib_to_mib "$ours")" "$(kib_to_mib "$theirs")" "$(ratio "$ours" "$theirs")"
within_bound get "$ours"

ours=$(peak_kib "$host" ftp --quiet "ftp://$login" "${cd_steps[@]}" type binary put "$files/large.bin" large-up.bin)
moved "$files/large-up.bin"
theirs=$(peak_kib curl -sS --fail -T "$files/large.bin" "ftp://$login/${remote}large-up.bin")
moved "$files/large-up.bin"
row "peak RSS put $rss_mb MiB (MiB)" "$(kib_to_mib "$ours")" "$(kib_to_mib "$theirs")" "$(ratio "$ours" "$theirs")"
within_bound put "$ours"
rm -f "$files/large.bin"

# --- 3. command round trip ---------------------------------------------------

echo "bench: $commands 'cd .' steps on one control connection, against a bare socket" >&2
cd_dots=()
for _ in $(seq "$commands"); do cd_dots+=(cd .); done

# One session of COUNT 'cd .' commands, by the host and by the bare socket.
host_session() { seconds bounded "$host" ftp --quiet "ftp://$login" "${cd_dots[@]:0:$((2 * $1))}"; }
socket_session() { seconds bounded /usr/bin/python3 "$round_trip" 127.0.0.1 "$port" "$user" "$password" "$1"; }
sessions=5
median_session() {  # median_session SESSION COUNT: the median time of $sessions runs
  local times=() i
  for ((i = 0; i < sessions; i++)); do times+=("$("$@")"); done
  median "${times[@]}"
}

# micros_per_command SESSION: the time COUNT commands add over one command.
micros_per_command() {
  local many one
  many=$(median_session "$1" "$commands")
  one=$(median_session "$1" 1)
  awk -v m="$many" -v o="$one" -v n="$commands" 'BEGIN { d = (n > 1) ? (m - o) / (n - 1) : m; printf "%.1f", d * 1e6 }'
}
ours=$(micros_per_command host_session)
theirs=$(micros_per_command socket_session)
row "cd round trip us (lower better)" "$ours" "$theirs" "$(ratio "$ours" "$theirs")"

# --- the table -----------------------------------------------------------------

echo
echo "Skein10 benchmarks: $server on loopback; other = curl (transfers, memory) or a bare socket (round trip)"
printf '%-34s %12s %12s %8s\n' "what" "skein10" "other" "ratio"
printf '%s\n' "${rows[@]}"
if [ ${#notes[@]} -gt 0 ]; then printf '%s\n' "${notes[@]}"; else
  echo "skein10's peak memory stayed under $((memory_bound_kib / 1024)) MiB for the $rss_mb MiB transfers"
fi
