#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time on a
# copy of its seed corpus (tests/fuzz/corpus/<target>/), two at a time. Fails
# if any crashes.
#   QA_TUTOR_FUZZ_SECONDS  time per target (default 10)
# They are built in build/fuzz, the fuzz preset.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/fuzz"
seconds="${QA_TUTOR_FUZZ_SECONDS:-10}"
targets=(fuzz_numeric_value fuzz_windows1252 fuzz_decode fuzz_course_text)
targets+=(fuzz_record_reader fuzz_zip_members fuzz_roster)

for tool in clang clang++ cmake ninja; do
    if ! command -v "$tool" >/dev/null; then
        echo "test-fuzz: $tool is missing (Debian: apt-get install clang libclang-rt-14-dev cmake ninja-build)" >&2
        exit 1
    fi
done

(cd "$root" && cmake --preset fuzz && cmake --build --preset fuzz --target "${targets[@]}")

work="$(mktemp -d "${TMPDIR:-/tmp}/qa-tutor-fuzz.XXXXXX")"
failed=()
summary=()
# One target on each core; the status of each is kept in a file of its own.
run_target() {
    local target="$1" corpus="$work/corpus/$1" status=0
    mkdir -p "$corpus"
    cp -R "$root/tests/fuzz/corpus/$target/." "$corpus/"
    # -timeout makes a hang a failure instead of a stall past the time limit.
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
        -print_final_stats=1 -artifact_prefix="$work/$target-" "$corpus" \
        >"$work/$target.log" 2>&1 || status=$?
    echo "$status" >"$work/$target.status"
}
for target in "${targets[@]}"; do
    while (($(jobs -rp | wc -l) >= 2)); do
        wait -n
    done
    echo "== $target: ${seconds}s"
    run_target "$target" &
done
wait

for target in "${targets[@]}"; do
    log="$work/$target.log"
    status="$(cat "$work/$target.status" 2>/dev/null || echo lost)"
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    if [[ "$status" == 0 ]]; then
        summary+=("$target: ok, ${runs:-?} runs in ${seconds}s")
    else
        failed+=("$target")
        inputs="$(find "$work" -maxdepth 1 -name "$target-*" -printf '%p ' 2>/dev/null)"
        summary+=("$target: FAILED (exit $status) after ${runs:-?} runs; input: ${inputs:-none kept}; log: $log")
        tail -n 40 "$log" >&2
    fi
done

echo
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
    echo "test-fuzz: crashed: ${failed[*]} (inputs and logs kept in $work)" >&2
    exit 1
fi
rm -rf "$work"
