# Loop devices of simulated disks are global to the machine. Every image file
# that a sandbox attaches is named after the sandbox's owner, the sandbox's
# outer process:
#     sv-medium-<PID namespace>-<pid>-<start time>-<disk>.img
# (the PID namespace as the inode number of /proc/<pid>/ns/pid, the pid and
# start time as seen in that namespace). That name alone lets anyone in the
# same PID namespace find and detach the loop devices of a sandbox that is
# gone, even one whose outer process was killed with SIGKILL. Loop devices of
# other PID namespaces are never touched by a sweep: their owners cannot be
# seen from here.
#
#   sv_loops_token PID          prints "<pidns>-<pid>-<start time>" for a live
#                               process of this PID namespace
#   sv_loops_release TOKEN      detaches every loop device of that owner
#   sv_loops_release_ns PIDNS   detaches every loop device whose owner lived in
#                               the PID namespace PIDNS (a sandbox's own, after
#                               it has ended)
#   sv_loops_sweep              detaches the loop devices of every owner of
#                               this PID namespace that no longer exists
#   sv_loops_stale              lists them (without detaching)
#   sv_loops_list [PREFIX]      prints "DEVICE BACKING-FILE" of sandbox loops
#                               whose token starts with PREFIX

sv_loops_pidns() { # [PID]: inode of the PID namespace of a process (default: self)
  local l
  l="$(readlink "/proc/${1:-self}/ns/pid" 2>/dev/null)" || return 1
  l="${l#pid:[}"
  echo "${l%]}"
}

sv_loops_token() {
  local pid="$1" stat rest ns
  stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
  ns="$(sv_loops_pidns)" || return 1
  # The command name (field 2) may hold blanks; fields are counted after ")".
  rest="${stat##*) }"
  # shellcheck disable=SC2086
  set -- $rest
  # After ")" the fields start at field 3 (the state; a zombie is gone
  # already); the start time is field 22.
  [ "$1" != Z ] || return 1
  echo "$ns-$pid-${20}"
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
      case "$base" in sv-medium-"$want"*) ;; *) continue ;; esac
    fi
    echo "$dev $file"
  done < <(losetup -l -n -O NAME,BACK-FILE 2>/dev/null || true)
}

sv_loops_detach_listed() {
  local dev file
  while read -r dev file; do
    [ -n "$dev" ] || continue
    # A device still in use (a mount of a dying namespace) is marked for
    # automatic detach by the kernel and goes when it is released.
    losetup -d "$dev" 2>/dev/null || true
  done
}

sv_loops_release() {
  [ -n "${1:-}" ] || return 0
  sv_loops_list "$1-" | sv_loops_detach_listed
}

sv_loops_release_ns() {
  [ -n "${1:-}" ] || return 0
  sv_loops_list "$1-" | sv_loops_detach_listed
}

sv_loops_sweep() {
  sv_loops_stale | sv_loops_detach_listed
}

# Prints "DEVICE BACKING-FILE" of the loop devices a sweep would detach.
sv_loops_stale() {
  local dev file base rest ns pid start mine
  mine="$(sv_loops_pidns)" || return 0
  while read -r dev file; do
    [ -n "$dev" ] || continue
    base="${file##*/}"
    rest="${base#sv-medium-}"
    ns="${rest%%-*}"; rest="${rest#*-}"
    pid="${rest%%-*}"; rest="${rest#*-}"
    start="${rest%%-*}"
    case "$start" in
      *[!0-9]*)
        # An image named in the older form, without the PID namespace
        # (pid-start-disk): only ever made by outer processes of the initial
        # PID namespace, judged only from there.
        [ "$mine" = 4026531836 ] || continue
        start="$pid"; pid="$ns"; ns="$mine" ;;
    esac
    case "$ns$pid$start" in ''|*[!0-9]*) continue ;; esac
    [ "$ns" = "$mine" ] || continue
    if [ "$(sv_loops_token "$pid" 2>/dev/null)" != "$ns-$pid-$start" ]; then
      echo "$dev $file"
    fi
  done < <(sv_loops_list)
}
