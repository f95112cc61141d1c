#!/usr/bin/env bash
# Builds libpsw and runs every test suite:
#   0. tools/check-style.sh: clang-format of changed files, codespell
#   1. build/       warnings as errors, ctest
#   2. build-asan/  AddressSanitizer + UndefinedBehaviorSanitizer, ctest
#   2b. build-tsan/ ThreadSanitizer, the thread tests only (ctest -R Threads)
#   3. fuzz/run_fuzz.sh 60                  when that script exists
#   4. valgrind over the test programs of the library when they exist
#   5. tools/ci/packages.sh: Debian packages built, lintian, installed, used, purged
#   6. tools/ci/python.sh: the Python binding installed with pip, its pytest suite
#   7. tools/ci/windows.sh: the mingw-w64 build in build-mingw, its tests under Wine
# A failed test fails the run. When CI is set (to anything non-empty) a skipped test fails it
# too: peer tests must never pass silently in CI.
#
# Options: --no-asan, --no-tsan, --no-fuzz, --no-valgrind, --no-packages, --no-python,
# --no-windows skip a stage (refused when CI is set).
# Environment: PSW_JOBS (default 2) for build and ctest parallelism.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${PSW_JOBS:-2}"
CI_MODE=""
[[ -n "${CI:-}" ]] && CI_MODE=1

run_asan=1 run_tsan=1 run_fuzz=1 run_valgrind=1
run_packages=1 run_python=1 run_windows=1
for arg in "$@"; do
  case "$arg" in
    --no-asan) run_asan="" ;;
    --no-tsan) run_tsan="" ;;
    --no-fuzz) run_fuzz="" ;;
    --no-valgrind) run_valgrind="" ;;
    --no-packages) run_packages="" ;;
    --no-python) run_python="" ;;
    --no-windows) run_windows="" ;;
    -h|--help) sed -n '2,17p' "$0"; exit 0 ;;
    *) echo "run-tests.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
if [[ -n "$CI_MODE" && ( -z "$run_asan" || -z "$run_tsan" || -z "$run_fuzz" || -z "$run_valgrind" ||
      -z "$run_packages" || -z "$run_python" || -z "$run_windows" ) ]]; then
  echo "run-tests.sh: stages cannot be left out when CI is set" >&2
  exit 2
fi

# What the stages need (quietly, and only what is missing), so that this one command also works
# on a fresh machine; as root it installs, otherwise it names what is missing and stops.
"$ROOT/tools/install-deps.sh"

failures=()
report=()
total_passed=0
total_failed=0

stage_started=$SECONDS
stage() {
  printf '\n==== %s (at %d s) ====\n' "$*" "$((SECONDS - stage_started))"
}

# ctest in a build folder, with any further ctest arguments; judges the outcome from its exit
# status and its output.
run_ctest() {
  local dir="$1" label="$2" log rc skipped summary
  shift 2
  log="$dir/ctest-output.log"
  set +e
  (cd "$dir" && ctest --output-on-failure --no-tests=error -j"$JOBS" "$@") 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  set -e
  summary="$(grep -E '^[0-9]+% tests passed' "$log" || true)"
  # "100% tests passed, 0 tests failed out of 412"
  if [[ "$summary" =~ ([0-9]+)\ tests\ failed\ out\ of\ ([0-9]+) ]]; then
    total_failed=$(( total_failed + BASH_REMATCH[1] ))
    total_passed=$(( total_passed + BASH_REMATCH[2] - BASH_REMATCH[1] ))
  fi
  skipped="$(grep -cE '\*\*\*Skipped|\(Skipped\)$' "$log" || true)"
  # Each skipped test appears twice: in its result line and in the "did not run" list.
  skipped=$(( skipped / 2 ))
  report+=("$label: ${summary:-no ctest summary} (skipped: $skipped)")
  if [[ $rc -ne 0 ]]; then
    failures+=("$label: ctest exited with $rc")
  elif [[ -z "$summary" ]]; then
    failures+=("$label: no test summary in ctest output")
  fi
  if [[ $skipped -gt 0 ]]; then
    echo "--- skipped tests ($label) ---"
    sed -n '/The following tests did not run:/,/^$/p' "$log"
    if [[ -n "$CI_MODE" ]]; then
      failures+=("$label: $skipped test(s) skipped while CI is set")
    fi
  fi
}

build() {
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" "$@"
  cmake --build "$dir" -j"$JOBS"
}

stage "style (clang-format of changed files, codespell)"
if bash "$ROOT/tools/check-style.sh"; then
  report+=("style: passed")
else
  failures+=("style: tools/check-style.sh found unformatted files or misspellings")
  report+=("style: FAILED")
fi

stage "build (warnings as errors)"
build "$ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPSW_WERROR=ON
stage "tests"
run_ctest "$ROOT/build" "tests"

if [[ -n "$run_asan" ]]; then
  stage "build (address sanitizer)"
  # Unoptimised: compiles faster, and the tests mostly wait for their peers anyway.
  build "$ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DPSW_SANITIZE=address
  stage "tests (address sanitizer)"
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}" \
  UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}" \
    run_ctest "$ROOT/build-asan" "tests (asan)"
fi

if [[ -n "$run_tsan" ]]; then
  stage "build (thread sanitizer)"
  # Only the program that holds the thread tests; a race report fails its test.
  cmake -S "$ROOT" -B "$ROOT/build-tsan" -DCMAKE_BUILD_TYPE=Debug -DPSW_SANITIZE=thread \
    -DPSW_BUILD_TOOLS=OFF
  cmake --build "$ROOT/build-tsan" -j"$JOBS" --target psw_api_tests
  stage "thread tests (thread sanitizer)"
  TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}" \
    run_ctest "$ROOT/build-tsan" "thread tests (tsan)" -R Threads
fi

if [[ -n "$run_fuzz" && -f "$ROOT/fuzz/run_fuzz.sh" ]]; then
  stage "fuzzing (60 s)"
  if bash "$ROOT/fuzz/run_fuzz.sh" 60; then
    report+=("fuzzing: passed")
  else
    failures+=("fuzzing: fuzz/run_fuzz.sh failed")
    report+=("fuzzing: FAILED")
  fi
fi

if [[ -n "$run_valgrind" ]]; then
  programs=()
  for name in psw_core_tests psw_log_tests psw_snmp_tests psw_net_tests psw_session_tests \
      psw_request_tests psw_query_tests psw_options_tests psw_api_tests; do
    [[ -x "$ROOT/build/tests/$name" ]] && programs+=("$ROOT/build/tests/$name")
  done
  if [[ ${#programs[@]} -gt 0 ]]; then
    stage "valgrind"
    if ! command -v valgrind >/dev/null; then
      if [[ -n "$CI_MODE" ]]; then failures+=("valgrind: not installed"); fi
      report+=("valgrind: not installed, not run")
    else
      for program in "${programs[@]}"; do
        name="$(basename "$program")"
        # The endless-table walk makes 65,536 exchanges (its row limit): minutes under valgrind.
        # It runs in the plain and ASan stages; every other walk runs under valgrind as well.
        filter=()
        if [[ "$name" == psw_api_tests ]]; then filter=(--gtest_filter=-*EndlessWalkTest*EndlessTable*); fi
        echo "--- valgrind $name ---"
        vlog="$ROOT/build/valgrind-$name.log"
        set +e
        # nouserintercepts: the allocation-failure tests replace operator new in the program
        # itself; valgrind still sees every malloc underneath.
        timeout 1500 valgrind --quiet --error-exitcode=99 --leak-check=full \
          --soname-synonyms=somalloc=nouserintercepts \
          --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
          --track-fds=no --log-file="$vlog" "$program" --gtest_brief=1 "${filter[@]}" > "$vlog.out" 2>&1
        rc=$?
        set -e
        tail -n 3 "$vlog.out"
        if [[ $rc -eq 0 ]]; then
          report+=("valgrind $name: clean")
        else
          cat "$vlog"
          tail -n 40 "$vlog.out"
          case $rc in
            99) failures+=("valgrind $name: memory errors or leaks (see $vlog)") ;;
            124) failures+=("valgrind $name: timed out") ;;
            *) failures+=("valgrind $name: test program failed with $rc") ;;
          esac
          report+=("valgrind $name: FAILED ($rc)")
        fi
        # Skips under valgrind count like skips in ctest.
        if [[ -n "$CI_MODE" ]] && grep -q '^\[  SKIPPED \]' "$vlog.out"; then
          failures+=("valgrind $name: tests skipped while CI is set")
        fi
      done
    fi
  fi
fi

# ---- packages and Python binding (tools/ci/packages.sh, tools/ci/python.sh) ----
if [[ -n "$run_packages" ]]; then
  stage "Debian packages (build, lintian, install, use, purge)"
  if bash "$ROOT/tools/ci/packages.sh"; then
    report+=("packages: passed")
  else
    failures+=("packages: tools/ci/packages.sh failed")
    report+=("packages: FAILED")
  fi
fi
if [[ -n "$run_python" ]]; then
  stage "Python binding (pip install, pytest)"
  if bash "$ROOT/tools/ci/python.sh" "$ROOT/build"; then
    report+=("python: passed")
  else
    failures+=("python: tools/ci/python.sh failed")
    report+=("python: FAILED")
  fi
fi
# ---- end of packages and Python binding ----
# ---- Windows build: cross-built, tested under Wine (tools/ci/windows.sh) ----
if [[ -n "$run_windows" ]]; then
  stage "windows (mingw-w64 build, tests under Wine)"
  if bash "$ROOT/tools/ci/windows.sh" "$ROOT/build/tools/psw"; then
    report+=("windows: passed")
  else
    failures+=("windows: tools/ci/windows.sh failed (see its FAILED lines)")
    report+=("windows: FAILED")
  fi
fi
# ---- end of the Windows build ----

stage "summary"
printf '%s\n' "${report[@]}"
echo "total time: $((SECONDS - stage_started)) s"
if [[ ${#failures[@]} -gt 0 ]]; then
  echo "FAILED:"
  printf '  %s\n' "${failures[@]}"
  # Failed tests, or else the failed stages (a skip under CI, valgrind, fuzzing).
  echo "tests: $total_passed passed, $(( total_failed > 0 ? total_failed : ${#failures[@]} )) failed"
  exit 1
fi
echo "all passed"
echo "tests: $total_passed passed, 0 failed"
