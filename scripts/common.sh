# Shared by the README's commands: where things are, and an X display for GL.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Runs "$@" (a program or a shell function) with an X display: the user's own when there is
# one, else a private Xvfb from scripts/xvfb-display, the one way the scripts and tests get a
# display, kept while "$@" runs.
with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
    return
  fi
  echo "no display found: running under Xvfb with Mesa's software renderer" >&2
  local display="" status=0 server_pid
  coproc display_server { "$repo_root/scripts/xvfb-display" --serve; }
  server_pid=$display_server_PID
  read -r display <&"${display_server[0]}" || true
  if [ -n "$display" ]; then
    DISPLAY="$display" LIBGL_ALWAYS_SOFTWARE=1 "$@" || status=$?
  else
    echo "no display: Xvfb did not start" >&2
    status=1
  fi
  # Closing the server's input ends it.
  eval "exec ${display_server[1]}>&-"
  wait "$server_pid" 2>/dev/null || true
  return "$status"
}

configure_and_build() { # build_dir, then extra cmake arguments
  local build_dir="$1"; shift
  cmake -S "$repo_root" -B "$build_dir" -G Ninja "$@" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}
