#!/usr/bin/env bash
# Runs a command as this user; for root, without the rights to write a file
# whatever its mode says (CAP_DAC_OVERRIDE) and to change the mode of a file
# it does not own (CAP_FOWNER). Wine shows a file without write permission as
# read-only, and the tests of read-only files and folders need root to be held
# to that as any user is. Root stays root, so it still enters its own home
# folder (mode 0700), where a clone of the project may be.
#   unprivileged.sh PROGRAM [ARG...]
if [[ "$(id -u)" -eq 0 ]]; then
    exec setpriv --inh-caps=-dac_override,-fowner --bounding-set=-dac_override,-fowner -- "$@"
fi
exec "$@"
