# Shared by the README's commands: where things are, and an X display for GL.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Runs "$@" with an X display: the user's own when there is one, else a private Xvfb.
with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
    return
  fi
  echo "no display found: running under Xvfb with Mesa's software renderer" >&2
  local number=$((90 + RANDOM % 400))
  while [ -e "/tmp/.X${number}-lock" ]; do number=$((number + 1)); done
  Xvfb ":${number}" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  local xvfb_pid=$!
  for _ in $(seq 1 50); do
    DISPLAY=":${number}" xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
  local status=0
  DISPLAY=":${number}" LIBGL_ALWAYS_SOFTWARE=1 "$@" || status=$?
  kill "$xvfb_pid" 2>/dev/null || true
  wait "$xvfb_pid" 2>/dev/null || true
  return "$status"
}

configure_and_build() { # build_dir, then extra cmake arguments
  local build_dir="$1"; shift
  cmake -S "$repo_root" -B "$build_dir" -G Ninja "$@" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}
