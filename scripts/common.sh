# Shared by the demo and the benchmarks (sourced, not run).

# private_store DIR: registers the built libraries in a store of their own
# under DIR, so the user's own store is left alone.
private_store() {
  export SKEIN10_REGISTRY=$1/registry
  mkdir -p "$1"
  rm -f "$SKEIN10_REGISTRY"
  "$host" register >/dev/null
}

# A scratch folder, and the server started later, both gone on exit.
work=$(mktemp -d)
server_pid=
stop() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap stop EXIT

# A free loopback port, picked by the kernel.
free_port() {
  /usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1]); s.close()'
}
