# Sourced by the install tests: a scratch folder removed on exit, and check,
# which runs one command as a named check and counts it.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
passed=0
failed=0
check() {
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "FAILED: $what"
    fi
}
