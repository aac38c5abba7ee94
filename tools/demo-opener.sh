#!/usr/bin/env bash
# The browser hand-off of the sandbox demo (it stands in for xdg-open there, and only there).
#
# The simulated devices exist only inside the sandbox network, where the user's browser cannot
# reach them. So this fetches the page the finder asked for inside the sandbox, shows its text in
# the terminal, saves it, and hands the saved copy to the real desktop opener when there is one.
set -uo pipefail
url=${1:?usage: demo-opener.sh URL}

host=${url#http://}
host=${host%%/*}
host=${host#[}
host=${host%]}
resolve=()
IFS=',' read -ra entries <<<"${LORIXLOG_SANDBOX_HOSTS:-}"
for entry in "${entries[@]}"; do
  [ "${entry%%=*}" = "$host" ] && resolve=(--resolve "$host:80:${entry#*=}")
done

page=$(mktemp /tmp/lorixlog-demo-page.XXXXXX)
mv "$page" "$page.html" && page=$page.html
if ! curl -s --max-time 5 "${resolve[@]}" "$url" -o "$page"; then
  echo "demo: could not fetch $url inside the sandbox" >&2
  exit 1
fi
{
  echo
  echo "demo: the finder opened $url; fetched inside the sandbox network:"
  sed -e 's/<[^>]*>/ /g' -e 's/  */ /g' -e '/^ *$/d' "$page" | sed 's/^/    /'
  echo "demo: saved as $page"
} >&2

# Show the copy in the user's browser, when the desktop has an opener of its own.
for opener in /usr/bin/xdg-open /usr/bin/open; do
  if [ -x "$opener" ] && { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }; then
    "$opener" "file://$page" >/dev/null 2>&1 &
    break
  fi
done
exit 0
