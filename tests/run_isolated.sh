#!/bin/sh
# run_isolated.sh UNSHARE "FLAGS" PROGRAM: runs PROGRAM in the private namespaces that
# `UNSHARE FLAGS --` makes. Where this machine does not let us make them (unprivileged user
# namespaces turned off, say), it exits with 77, which ctest counts as a skip, not a failure.
unshare=$1
flags=$2
program=$3
# shellcheck disable=SC2086 # the flags are words of their own
if ! "$unshare" $flags -- true >/dev/null 2>&1; then
  echo "run_isolated: '$unshare $flags' is not allowed here; skipping $program"
  exit 77
fi
# shellcheck disable=SC2086
exec "$unshare" $flags -- "$program"
