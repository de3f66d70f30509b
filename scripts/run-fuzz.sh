#!/usr/bin/env bash
# Builds the libFuzzer targets (preset "fuzz", clang) and runs each for the given number of seconds
# (default 60) on one core. Each target <name> has its seed corpus in fuzz/corpus/<name without
# "fuzz_">/; the growing corpus is kept in fuzz/corpus-<name>/ and findings go to fuzz/artifacts/.
# Exits non-zero when any target reports a crash, hang, leak, out-of-memory or sanitizer error.
# Needs: clang libclang-rt-14-dev (FMX_WITH_FUZZ=1 scripts/install-deps.sh installs them).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

cmake --preset fuzz >/dev/null || cmake --preset fuzz
targets=(fuzz_xml_reader fuzz_datatree_load)
cmake --build --preset fuzz -j2 --target "${targets[@]}" >/tmp/fmx-fuzz-build.log 2>&1 ||
    { tail -40 /tmp/fmx-fuzz-build.log; exit 1; }

root="$PWD"
mkdir -p fuzz/artifacts
status=0
for target in "${targets[@]}"; do
    seeds="$root/fuzz/corpus/${target#fuzz_}"
    corpus="$root/fuzz/corpus-$target"
    work="$root/fuzz/artifacts/$target"
    mkdir -p "$corpus" "$work"
    rm -f "$work"/fuzz-*.log "$work"/run.log
    echo "== $target for ${seconds}s"
    # -jobs=1 -workers=1: one fuzzing process on one core; its output goes to $work/fuzz-0.log.
    (cd "$work" && "$root/build/fuzz/fuzz/$target" -jobs=1 -workers=1 -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/" ${FMX_FUZZ_ARGS:-} \
        "$corpus" "$seeds" >"$work/run.log" 2>&1) || true
    grep -E '^#[0-9]+.*DONE|^Done [0-9]+ runs' "$work"/fuzz-0.log || true
    if ls "$work"/{crash,leak,timeout,oom}-* >/dev/null 2>&1 || grep -qE '==ERROR|SUMMARY: ' "$work"/fuzz-0.log; then
        echo "FINDINGS for $target:"
        ls "$work"/{crash,leak,timeout,oom}-* 2>/dev/null || true
        grep -A40 -E '==ERROR|runtime error|deadly signal' "$work"/fuzz-0.log | head -80 || true
        status=1
    fi
done
exit $status
