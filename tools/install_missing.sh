# install_missing PACKAGE...: apt-get installs those of the Debian packages
# not installed yet (with sudo unless root); says which on stderr. When
# another package manager holds apt's or dpkg's lock (a system update
# running), it says so and waits for it, up to half an hour. Sourced by
# build.sh and tools/windows_deps.sh, whose stdout may be a result.
APT_LOCK_WAIT_SECONDS=1800

# apt_get ARGS...: apt-get, waiting while another one holds the lock.
apt_get() {
  local sudo="" waited=0 output status
  [ "$(id -u)" -ne 0 ] && sudo=sudo
  while :; do
    status=0
    output=$(DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=60 "$@" 2>&1) || status=$?
    if [ "$status" -ne 0 ] && grep -qE 'Could not get lock|Unable to lock|is another process using it' <<<"$output" &&
      [ "$waited" -lt "$APT_LOCK_WAIT_SECONDS" ]; then
      [ "$waited" -eq 0 ] && echo "Another package manager is busy (a system update?); waiting for it to finish ..." >&2
      sleep 10
      waited=$((waited + 10))
      continue
    fi
    [ -n "$output" ] && printf '%s\n' "$output" >&2
    return "$status"
  done
}

install_missing() {
  local missing=() package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  echo "Installing: ${missing[*]}" >&2
  apt_get update -qq
  apt_get install -y -qq "${missing[@]}"
}
