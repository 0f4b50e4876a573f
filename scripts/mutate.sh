#!/usr/bin/env bash
# mutate.sh [N...]: puts the small faults of scripts/mutations.txt into a copy
# of the tree one at a time (only those numbered N, when given), builds and
# runs the native unit tests for each, and prints whether a test caught it,
# and which. Every fault must be caught: one that survives names a test to
# sharpen. Run by hand; it takes minutes. The copy and its build stay in
# build/mutate/, so the next run builds only what changed.
# Exits non-zero when a fault survives or cannot be put in.
set -eu
cd "$(dirname "$0")/.."
scripts/deps.sh test

root=$PWD
copy=$root/build/mutate/src
list=$root/scripts/mutations.txt
log=$root/build/mutate/last-run.log
mkdir -p "$copy"
shopt -u patsub_replacement 2>/dev/null || true

# The working tree's files, tracked or new, into the copy; a file is copied
# only when it differs, so that the copy's build stays current.
sync_copy() {
    git ls-files -co --exclude-standard -z | while IFS= read -r -d '' file; do
        [ -f "$file" ] || continue
        if ! cmp -s "$file" "$copy/$file"; then
            mkdir -p "$copy/$(dirname "$file")"
            cp "$file" "$copy/$file"
        fi
    done
}

build_tests() { cmake --build --preset native --target kelva_unit_tests >"$log" 2>&1; }

# Runs the unit tests; prints the tests that failed, or the one that was
# running when the program ended, one a line. Status 0 when all passed.
run_tests() {
    local output=$copy/build/mutate-tests.out
    # The whole run takes seconds; a fault that makes a loop endless is
    # stopped after two minutes.
    if timeout 120 build/native/tests/kelva_unit_tests >"$output" 2>&1; then return 0; fi
    local failed
    failed=$(sed -n 's/^\[  FAILED  \] \([A-Za-z0-9_]*\.[A-Za-z0-9_]*\).*/\1/p' "$output" | sort -u)
    if [ -z "$failed" ]; then
        failed="$(grep '^\[ RUN      \]' "$output" | tail -n 1 | sed 's/^\[ RUN      \] //') (ended the program)"
    fi
    echo "$failed"
    return 1
}

# \n in a mutation's text is a line break, \\ a backslash.
unescape() {
    local s=${1//\\\\/$'\x1e'}
    s=${s//\\n/$'\n'}
    printf '%s' "${s//$'\x1e'/\\}"
}

# Puts the replacement in place of the text, which must occur exactly once.
mutate_file() {
    local file=$1 text=$2 replacement=$3 content
    content=$(cat "$file"; printf x)
    content=${content%x}
    [[ $content == *"$text"* ]] || return 1
    local after=${content#*"$text"}
    [[ $after != *"$text"* ]] || return 1
    printf '%s' "${content/"$text"/"$replacement"}" >"$file"
}

sync_copy
cd "$copy"
cmake --preset native >/dev/null
echo "== the unit tests without a fault"
build_tests || { echo "the copy does not build: see $log"; exit 1; }
run_tests >/dev/null || { echo "the unit tests fail without a fault"; exit 1; }

mapfile -t mutations < <(grep -v '^#' "$list" | grep -v '^[[:space:]]*$')
total=${#mutations[@]}
wanted=("$@")
caught=0
tried=0
bad=0
for ((i = 0; i < total; ++i)); do
    n=$((i + 1))
    if [ ${#wanted[@]} -gt 0 ] && [[ " ${wanted[*]} " != *" $n "* ]]; then continue; fi
    IFS=$'\x1f' read -r file text replacement fault <<<"${mutations[i]// | /$'\x1f'}"
    tried=$((tried + 1))
    label=$(printf '%2d/%d %s: %s' "$n" "$total" "$file" "$fault")
    cp "$file" "$file.unmutated"
    if ! mutate_file "$file" "$(unescape "$text")" "$(unescape "$replacement")"; then
        echo "NOT PUT IN  $label (the text is not in the file exactly once)"
        bad=$((bad + 1))
    elif ! build_tests; then
        echo "NOT BUILT   $label (see $log)"
        bad=$((bad + 1))
    elif failed=$(run_tests); then
        echo "SURVIVED    $label"
    else
        echo "caught      $label"
        echo "$failed" | sed 's/^/              by /'
        caught=$((caught + 1))
    fi
    # Copied back, not moved: the new time makes the next build recompile it.
    cp "$file.unmutated" "$file"
    rm -f "$file.unmutated"
done
build_tests || true
echo "== $caught of $tried caught"
[ "$caught" -eq "$tried" ] && [ "$bad" -eq 0 ]
