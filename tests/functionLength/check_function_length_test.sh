#!/usr/bin/env bash
# The function length checker itself: on planted sources it lets a function
# of exactly the limit pass and names one a line longer, is not fooled by
# braces in strings, comments and character literals, counts a lambda and a
# local class as part of the function around them, finds member functions
# written in a class and functions in `extern "C"`, leaves long tables of
# data alone, and keeps the allow-list honest: an entry lets its function
# pass only with a reason, and an entry whose function is short is refused.
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

# A function named $1 of exactly $2 lines, from its signature to its brace.
function_of() {
    local name=$1 lines=$2 i
    echo "int $name(int x) {"
    for ((i = 0; i < lines - 3; ++i)); do echo "    x += $i;"; done
    echo "    return x;"
    echo "}"
}
run() { "$check" --allow allow.md "${@:-src}"; }
expect_pass() {
    local what=$1
    shift
    out=$(run "$@") || { echo "FAIL: $what was refused:"; echo "$out"; exit 1; }
    echo "ok: $what"
}
expect_fail() {
    local what=$1 pattern=$2
    shift 2
    if out=$(run "$@"); then
        echo "FAIL: $what was not caught"
        exit 1
    fi
    grep -q -- "$pattern" <<<"$out" || { echo "FAIL: $what: no line matching '$pattern' in:"; echo "$out"; exit 1; }
    echo "ok: $what"
}
fresh() {
    rm -rf src allow.md
    mkdir -p src/a
    printf '# Hacking\n\n## Long functions\n\n| file | function | why |\n|---|---|---|\n' >allow.md
}

fresh
function_of atTheLimit 60 >src/a/fine.cpp
expect_pass "a function of 60 lines"

fresh
{ echo "// a comment"; echo; function_of tooLong 61; } >src/a/long.cpp
expect_fail "a function of 61 lines" 'src/a/long.cpp:3: tooLong is 61 lines, over 60'

fresh
{
    echo 'const char* open = "{{{"; // {'
    echo "/* } } } */"
    echo "char brace() { return '}'; }"
    echo 'const char* raw = R"x(}})x";'
    function_of afterTheBraces 61
} >src/a/literals.cpp
expect_fail "braces in literals and comments" 'literals.cpp:5: afterTheBraces is 61'

fresh
{
    echo "namespace game {"
    echo "class fighter {"
    echo "  public:"
    echo "    fighter() : x_{1}, y_(2) {"
    echo "        auto step = [this](int d) {"
    for ((i = 0; i < 30; ++i)); do echo "            x_ += d;"; done
    echo "        };"
    echo "        struct local {"
    echo "            int f() { return 1; }"
    echo "        };"
    for ((i = 0; i < 24; ++i)); do echo "        step($i);"; done
    echo "    }"
    echo "    int x_, y_;"
    echo "};"
    echo "} // namespace game"
} >src/a/member.h
expect_fail "a constructor with a lambda in a class" 'member.h:4: fighter is 61 lines'

fresh
{
    echo 'extern "C" int LLVMFuzzerTestOneInput(const char* data, int size) {'
    for ((i = 0; i < 59; ++i)); do echo "    (void)data;"; done
    echo "    return size;"
    echo "}"
} >src/a/fuzz.cpp
expect_fail 'a function in extern "C"' 'fuzz.cpp:1: LLVMFuzzerTestOneInput is 62'

fresh
{
    echo "const int table[] = {"
    for ((i = 0; i < 80; ++i)); do echo "    $i,"; done
    echo "};"
    echo "struct row { int a, b; };"
    echo "const row rows[] = {"
    for ((i = 0; i < 80; ++i)); do echo "    {$i, $i},"; done
    echo "};"
} >src/a/tables.cpp
expect_pass "long tables of data"

fresh
function_of longButAllowed 70 >src/a/allowed.cpp
echo '| `src/a/allowed.cpp` | `longButAllowed` | a table of rows, one a line |' >>allow.md
expect_pass "a long function the allow-list names with a reason"

fresh
function_of longWithoutReason 70 >src/a/allowed.cpp
echo '| `src/a/allowed.cpp` | `longWithoutReason` | |' >>allow.md
expect_fail "an allow-list entry without a reason" 'longWithoutReason in src/a/allowed.cpp is allowed without a reason'

fresh
function_of nowShort 20 >src/a/allowed.cpp
echo '| `src/a/allowed.cpp` | `nowShort` | it was long once |' >>allow.md
expect_fail "an allow-list entry whose function is short" 'nowShort in src/a/allowed.cpp is allowed but is not over 60'

fresh
mkdir -p src/later
function_of notYet 90 >src/later/old.cpp
expect_pass "an excluded folder" --exclude src/later src
expect_fail "the same folder checked" 'src/later/old.cpp:1: notYet is 90' src
