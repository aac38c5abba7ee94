# What the test scripts share. Source it: . "$(dirname "$0")/../lib.sh"
#
# fail MESSAGE...        the check failed: says so on standard error (after fail_context, when a
#                        script defines it) and ends the script with 1.
# require_sandbox NAME [--wine]
#                        ends the script with 2 unless it runs inside tools/sandbox.sh (with
#                        --wine: the sandbox with its private Wine prefix), where every search
#                        stays inside the sandbox's own network.

fail() {
  echo "FAIL${fail_label:+ ($fail_label)}: $*" >&2
  if declare -F fail_context >/dev/null; then
    fail_context >&2 || true
  fi
  exit 1
}

require_sandbox() {
  local name=$1 wine=${2:-}
  if [ -z "${LORIXLOG_IN_SANDBOX:-}" ]; then
    echo "$name: run me through tools/sandbox.sh${wine:+ --wine}" >&2
    exit 2
  fi
  if [ -n "$wine" ] && [ -z "${WINEPREFIX:-}" ]; then
    echo "$name: a Windows program needs tools/sandbox.sh --wine" >&2
    exit 2
  fi
}
