#!/usr/bin/env bash
# Runs a test program as a user without privileges: file permissions do not bind root,
# so a test of a read-only database must not run as root. As any other user the program
# runs as it is.
set -euo pipefail
if [ "$(id -u)" -ne 0 ]; then
    exec "$@"
fi
if ! command -v setpriv >/dev/null || ! id nobody >/dev/null 2>&1; then
    echo "unprivileged.sh: no setpriv or no user nobody; running as root" >&2
    exec "$@"
fi
home=$(mktemp -d /tmp/thalvane-nobody-XXXXXX)
chown nobody "$home"
trap 'rm -rf "$home"' EXIT
HOME="$home" setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups "$@"
