#!/usr/bin/env bash
# Mutation run: applies each mutation of a list (scripts/mutations.txt by default; its
# header gives the format) on its own, rebuilds incrementally in build-mutate/, runs the
# tests named for it (the whole suite when none are named; only their binaries are rebuilt
# when the expression just names tests) and puts the file back. Prints
# KILLED, SURVIVED, NOT-COMPILED or NOT-FOUND for each and the kill rate over the mutants
# that compiled. Not part of CI: it takes minutes.
#   scripts/mutate.sh [list]
# Environment: MUTATE_BUILD_DIR (build-mutate), MUTATE_TIMEOUT (seconds for one build and
# one test run, 300), MUTATE_JOBS (2).
set -euo pipefail
case "${1:-}" in
-h | --help)
    sed -n '2,/^[^#]/{/^#/s/^# \{0,1\}//p}' "$0"
    exit 0
    ;;
esac
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
LIST="$(readlink -f "${1:-$ROOT/scripts/mutations.txt}")"
[ -f "$LIST" ] || { echo "mutate.sh: no mutation list at ${1:-$ROOT/scripts/mutations.txt}" >&2; exit 2; }
BUILD="${MUTATE_BUILD_DIR:-$ROOT/build-mutate}"
TIMEOUT="${MUTATE_TIMEOUT:-300}"
JOBS="${MUTATE_JOBS:-2}"
cd "$ROOT"

mutated=""
backup="$BUILD/mutate-backup"
record="$BUILD/mutate-file" # names the mutated file while a mutant is in place
restore() {
    # cat rather than cp -p: the file must come back newer than the mutant's object, or
    # the next build would keep linking the mutant.
    if [ -n "$mutated" ]; then
        cat "$backup" > "$mutated"
        rm -f "$record"
        mutated=""
    fi
}
# A run killed outright (kill -9, a power cut) cannot restore; the next one does.
if [ -f "$record" ] && [ -f "$backup" ]; then
    mutated="$(cat "$record")"
    echo "Restoring $mutated, left mutated by an earlier run." >&2
    restore
fi
# Builds and tests run in the background under timeout, which gives them a process group
# of their own: a signal then reaches this script at once, even while the build runs, and
# the trap ends them before the file is put back, so no mutant object outlives the run.
child=""
run() { # seconds (0: no limit), command...
    local limit="$1"
    shift
    timeout "$limit" "$@" &
    child=$!
    local rc=0
    wait "$child" || rc=$?
    child=""
    return "$rc"
}
interrupted() {
    if [ -n "$child" ]; then
        kill -TERM "$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
    fi
    restore
    # fd 9: the trap may run inside a build or test whose output goes to the log.
    echo "Interrupted; the mutated file is restored." >&9
    exit 130
}
exec 9>&2
trap restore EXIT
trap interrupted INT TERM

trim() {
    local s="$1"
    s="${s#"${s%%[![:space:]]*}"}"
    printf '%s' "${s%"${s##*[![:space:]]}"}"
}

# Splits one list line into the array F (file, pattern, replacement, tests).
split_line() {
    local rest="$1"
    F=()
    while [[ "$rest" == *'|||'* ]]; do
        F+=("$(trim "${rest%%'|||'*}")")
        rest="${rest#*'|||'}"
    done
    F+=("$(trim "$rest")")
}

# Writes FILE with PATTERN replaced by REPLACEMENT to stdout, and the line number of the
# pattern's start to fd 3. "\n" in either stands for a line break, "\\" for a backslash.
# Fails with 2 unless the pattern occurs exactly once in the whole file.
mutant_of() {
    PATTERN="$2" REPLACEMENT="$3" awk '
        function unescape(s,    out, i, c) {
            out = ""
            for (i = 1; i <= length(s); i++) {
                c = substr(s, i, 1)
                if (c == "\\" && i < length(s)) {
                    c = substr(s, ++i, 1)
                    if (c == "n") c = "\n"
                    else if (c != "\\") c = "\\" c
                }
                out = out c
            }
            return out
        }
        { text = text $0 "\n" }
        END {
            p = unescape(ENVIRON["PATTERN"]); r = unescape(ENVIRON["REPLACEMENT"])
            at = index(text, p)
            if (at == 0 || index(substr(text, at + 1), p) > 0) exit 2
            printf "%s", substr(text, 1, at - 1) r substr(text, at + length(p))
            before = substr(text, 1, at - 1)
            print gsub(/\n/, "", before) + 1 > "/dev/fd/3"
        }' "$1"
}

# The build targets behind a tests expression that only names tests, such as ^core_tests$
# or ^(a_test|b_test)$, as --target arguments: the mutant then relinks only what runs.
# Nothing (a full build) for any other expression.
targets_of() {
    local e="$1"
    [[ "$e" =~ ^\^\(?([A-Za-z0-9_|]+)\)?\$$ ]] || return 0
    local name out=()
    IFS='|' read -r -a names <<< "${BASH_REMATCH[1]}"
    for name in "${names[@]}"; do
        grep -q "^build $name:" "$BUILD/build.ninja" 2>/dev/null || { out=(); return 0; }
        out+=(--target "$name")
    done
    printf '%s ' "${out[@]}"
}

entries=()
lineno=0
while IFS= read -r line || [ -n "$line" ]; do
    lineno=$((lineno + 1))
    [[ "$line" =~ ^[[:space:]]*(#|$) ]] && continue
    split_line "$line"
    if [ ${#F[@]} -lt 3 ] || [ ${#F[@]} -gt 4 ] || [ -z "${F[0]}" ] || [ -z "${F[1]}" ] \
        || [ "${F[1]}" = "${F[2]}" ]; then
        echo "$LIST:$lineno: needs 'file ||| pattern ||| replacement [||| tests]'," \
             "with a pattern that differs from its replacement" >&2
        exit 2
    fi
    [ -f "${F[0]}" ] || { echo "$LIST:$lineno: no file ${F[0]}" >&2; exit 2; }
    entries+=("$line")
done < "$LIST"

if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    launcher=()
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # No -Werror: a mutant that only draws a warning still counts as compiled.
    mkdir -p "$BUILD"
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCOURTLYX_TESTS=ON "${launcher[@]}" > "$BUILD/mutate.log" 2>&1 \
        || { cat "$BUILD/mutate.log" >&2; exit 2; }
fi
log="$BUILD/mutate.log"
echo "Building and testing the unmutated tree in $BUILD ..."
# The first build may be a full one: no time limit.
if ! run 0 cmake --build "$BUILD" -j"$JOBS" > "$log" 2>&1; then
    tail -30 "$log" >&2; echo "The unmutated tree does not build." >&2; exit 2
fi
export QT_QPA_PLATFORM=offscreen
if ! run "$TIMEOUT" ctest --test-dir "$BUILD" -j"$JOBS" --timeout "$TIMEOUT" > "$log" 2>&1; then
    grep -E "Failed|\*\*\*" "$log" >&2 || true
    echo "The unmutated tree fails its tests; a mutation run would mean nothing." >&2; exit 2
fi

killed=0 survived=0 uncompiled=0 notfound=0
survivors=()
n=0
for line in "${entries[@]}"; do
    n=$((n + 1))
    split_line "$line"
    file="${F[0]}" pattern="${F[1]}" replacement="${F[2]}" tests="${F[3]:-}"
    label="$(printf '%-4s' "$n.") $file: '$pattern' -> '$replacement'"
    if ! mutant_of "$file" "$pattern" "$replacement" > "$BUILD/mutate-mutant" 3> "$BUILD/mutate-line"; then
        echo "NOT-FOUND    $label (missing or not unique)"
        notfound=$((notfound + 1))
        continue
    fi
    label="$(printf '%-4s' "$n.") $file:$(cat "$BUILD/mutate-line"): '$pattern' -> '$replacement'"
    cp "$file" "$backup"
    printf '%s\n' "$file" > "$record"
    mutated="$file"
    cat "$BUILD/mutate-mutant" > "$file"
    if ! run "$TIMEOUT" cmake --build "$BUILD" -j"$JOBS" $(targets_of "$tests") > "$log" 2>&1; then
        status=NOT-COMPILED
        uncompiled=$((uncompiled + 1))
    else
        selection=()
        [ -n "$tests" ] && selection=(-R "$tests")
        # A mutant that hangs a test is caught by the time-out, so it counts as killed.
        if run "$TIMEOUT" ctest --test-dir "$BUILD" -j"$JOBS" --timeout "$TIMEOUT" \
                --no-tests=error "${selection[@]}" > "$log" 2>&1; then
            status=SURVIVED
            survived=$((survived + 1))
            survivors+=("$label")
        else
            status=KILLED
            killed=$((killed + 1))
        fi
    fi
    restore
    printf '%-12s %s\n' "$status" "$label"
done

compiled=$((killed + survived))
echo
echo "Mutations: ${#entries[@]}; killed $killed, survived $survived, not compiled $uncompiled, not found $notfound"
if [ "$compiled" -gt 0 ]; then
    echo "Kill rate: $killed of $compiled compiled mutants ($((100 * killed / compiled)) %)"
fi
if [ ${#survivors[@]} -gt 0 ]; then
    echo "Survivors:"
    printf '  %s\n' "${survivors[@]}"
fi
