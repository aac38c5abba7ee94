#!/usr/bin/env bash
# throwaway-root.sh COMMAND...: runs the command (as root) in a copy of this machine's root that
# is thrown away afterwards: an overlay over / whose changes stay in memory, in a mount namespace
# of its own, /proc, /sys and /dev bound in. What the command installs or purges there never
# touches the machine's own packages.
set -euo pipefail
if [ -z "${LORIXLOG_IN_THROWAWAY_NS:-}" ]; then
  export LORIXLOG_IN_THROWAWAY_NS=1
  exec unshare --mount --propagation private -- "$0" "$@"
fi
layers=$(mktemp -d)
mount -t tmpfs -o mode=0755 throwaway "$layers"
mkdir "$layers/upper" "$layers/work" "$layers/root"
mount -t overlay throwaway -o "lowerdir=/,upperdir=$layers/upper,workdir=$layers/work" "$layers/root"
for dir in proc sys dev; do
  mount --rbind "/$dir" "$layers/root/$dir"
  mount --make-rslave "$layers/root/$dir"
done
# The command and its files as the machine has them: the overlay shows the root file system only.
for dir in "$PWD" "${TMPDIR:-/tmp}"; do
  mkdir -p "$layers/root$dir"
  mount --bind "$dir" "$layers/root$dir"
done
cd "$PWD"
exec chroot "$layers/root" /usr/bin/env -C "$PWD" "$@"
