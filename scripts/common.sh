# Shared by the demo and the benchmarks (sourced, not run).

# private_store DIR: registers the built libraries in a store of their own
# under DIR, so the user's own store is left alone.
private_store() {
  export SKEIN10_REGISTRY=$1/registry
  mkdir -p "$1"
  rm -f "$SKEIN10_REGISTRY"
  "$host" register >/dev/null
}

# A scratch folder (under $TMPDIR when set), and the servers started later,
# all gone on exit. A script adds each server it starts to server_pids.
work=$(mktemp -d)
server_pids=()
stop() {
  local pid
  for pid in "${server_pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop EXIT

# A free loopback port, picked by the kernel.
free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}

# await_server PORT PID LOG: waits (at most 15 s) until the server PID accepts
# connections on PORT; shows its LOG and fails when it does not.
await_server() {
  local _
  for _ in $(seq 150); do
    if (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; then return 0; fi
    kill -0 "$2" 2>/dev/null || break
    sleep 0.1
  done
  cat "$3" >&2
  echo "the server on port $1 does not accept connections" >&2
  return 1
}
