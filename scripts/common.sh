# Shared by the README's commands: where things are, and an X display for GL.
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Runs "$@" with an X display: the user's own when there is one, else a private Xvfb
# (scripts/xvfb-display, the one way the scripts and tests get a display).
with_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    "$@"
    return
  fi
  echo "no display found: running under Xvfb with Mesa's software renderer" >&2
  "$repo_root/scripts/xvfb-display" "$@"
}

configure_and_build() { # build_dir, then extra cmake arguments
  local build_dir="$1"; shift
  cmake -S "$repo_root" -B "$build_dir" -G Ninja "$@" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}
