#!/usr/bin/env bash
# Installs what the benchmarks need ([run] and [bench] of debian-packages.txt),
# builds them in build/bench (the bench preset: tests configured off) and runs
# them, each against its baseline measured in the same run, then prints a
# table of the ratios.
#   QA_TUTOR_BENCH_RUNS         start-up runs of each program and mode (default 31)
#   QA_TUTOR_BENCH_REPETITIONS  repetitions of each handler benchmark, whose
#                               median is used (default 5)
# Arguments are passed to the handler benchmarks (e.g. --benchmark_filter=Enter).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/bench"
runs="${QA_TUTOR_BENCH_RUNS:-31}"
repetitions="${QA_TUTOR_BENCH_REPETITIONS:-5}"
handlers=(bench_enter_response bench_display_send bench_next_question)
targets=(bench_startup bench_startup_window bench_startup_plain "${handlers[@]}")
targets+=(bench_report bench_report_window_start bench_report_window_plain bench_report_window_run)

bash "$root/scripts/setup.sh" run bench
(cd "$root" && cmake --preset bench && cmake --build --preset bench --target "${targets[@]}")

export QT_QPA_PLATFORM=offscreen
log="$(mktemp "${TMPDIR:-/tmp}/qa-tutor-bench.XXXXXX")"
trap 'rm -f "$log"' EXIT

# Other work on the machine shows in every figure; the load says how much.
load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "machine: $(nproc) cores, QT_QPA_PLATFORM=$QT_QPA_PLATFORM, load average $(load)"

echo "== start-up ($runs runs each)"
"$build/bench/bench_startup" --runs "$runs" | tee -a "$log"
for program in "${handlers[@]}"; do
    echo
    echo "== $program"
    # Interleaved repetitions spread the machine's changing load over both sides.
    "$build/bench/$program" --benchmark_repetitions="$repetitions" \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
        --benchmark_color=false "$@" | tee -a "$log"
done

echo
echo "== bench_report"
"$build/bench/bench_report" | tee -a "$log"

echo
echo "== bench_report_window_run"
"$build/bench/bench_report_window_run" | tee -a "$log"

echo
awk -F'|' '
    BEGIN { printf "%-34s %10s %12s %12s %10s %-7s %s\n", "benchmark", "ratio", "program",
                   "baseline", "goal", "", "note" }
    { sub(/^.*RESULT[|]/, "RESULT|") }
    $1 == "RESULT" { printf "%-34s %10s %12s %12s %10s %-7s %s\n", $2, $3, $4, $5, $6, $7, $8
                     if ($7 == "MISSED") missed++ }
    END { if (missed) printf "\n%d goal(s) missed\n", missed }
' "$log"
echo "machine: $(nproc) cores, QT_QPA_PLATFORM=$QT_QPA_PLATFORM, load average $(load) at the end"
