# Shared by the benchmark scripts (sourced): a loopback address of our own and callgrind totals.

# lease_loopback: sets $address to a free 127.0.0.N (N >= 2) whose port 161 is free, holding the
# tests' lease lock file (/tmp/psw-test-loopback-N.lock or under $PSW_TEST_LOCK_DIR) on an open
# descriptor until the script ends, so that tests and benchmarks never share an address.
lease_loopback() {
    local lock_dir=${PSW_TEST_LOCK_DIR:-/tmp} n lock
    address=
    for n in $(seq 2 254); do
        exec {lock}>>"$lock_dir/psw-test-loopback-$n.lock"
        if flock -n "$lock" &&
            [[ -z $(ss -Hlun "sport = :161" | awk -v a="127.0.0.$n:161" '$4 == a || $4 == "0.0.0.0:161"') ]]; then
            address=127.0.0.$n
            return 0
        fi
        exec {lock}>&-
    done
    echo "no free loopback address" >&2
    return 1
}

# callgrind_total FILE: the instruction count of a callgrind output file.
callgrind_total() {
    awk '/^(summary|totals):/ {print $2; exit}' "$1"
}

# ratio A B: A / B with two decimals.
ratio() {
    awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a / b }'
}
