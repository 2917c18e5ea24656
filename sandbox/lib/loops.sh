# Loop devices of simulated disks are global to the machine. Every image file
# that a sandbox attaches is named after the sandbox's owner:
#     sv-medium-<owner pid>-<owner start time>-<disk>.img
# where the owner is the sandbox's outer process (in the host's PID space).
# That name alone lets anyone find and detach the loop devices of a sandbox
# that is gone, even one that was killed with SIGKILL.
#
#   sv_loops_token PID          prints "<pid>-<start time>" for a live process
#   sv_loops_release TOKEN      detaches every loop device of that sandbox
#   sv_loops_sweep              detaches the loop devices of every sandbox
#                               whose owner process no longer exists
#   sv_loops_list [TOKEN]       prints "DEVICE BACKING-FILE" of sandbox loops

sv_loops_token() {
  local pid="$1" stat rest
  stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
  # The command name (field 2) may hold blanks; fields are counted after ")".
  rest="${stat##*) }"
  # shellcheck disable=SC2086
  set -- $rest
  # After ")" the fields start at field 3 (the state; a zombie is gone
  # already); the start time is field 22.
  [ "$1" != Z ] || return 1
  echo "$pid-${20}"
}

sv_loops_list() {
  local want="${1:-}" dev file base
  command -v losetup >/dev/null || return 0
  while read -r dev file; do
    [ -n "$dev" ] || continue
    base="${file##*/}"
    case "$base" in
      sv-medium-*) ;;
      *) continue ;;
    esac
    if [ -n "$want" ]; then
      case "$base" in sv-medium-"$want"-*) ;; *) continue ;; esac
    fi
    echo "$dev $file"
  done < <(losetup -l -n -O NAME,BACK-FILE 2>/dev/null || true)
}

sv_loops_release() {
  local token="$1" dev file
  [ -n "$token" ] || return 0
  while read -r dev file; do
    [ -n "$dev" ] || continue
    # A device still in use (a mount of a dying namespace) is marked for
    # automatic detach by the kernel and goes when it is released.
    losetup -d "$dev" 2>/dev/null || true
  done < <(sv_loops_list "$token")
}

sv_loops_sweep() {
  local dev file base rest pid start
  while read -r dev file; do
    [ -n "$dev" ] || continue
    base="${file##*/}"
    rest="${base#sv-medium-}"
    pid="${rest%%-*}"
    rest="${rest#*-}"
    start="${rest%%-*}"
    case "$pid$start" in ''|*[!0-9]*) continue ;; esac
    if [ "$(sv_loops_token "$pid" 2>/dev/null)" != "$pid-$start" ]; then
      losetup -d "$dev" 2>/dev/null || true
    fi
  done < <(sv_loops_list)
}
