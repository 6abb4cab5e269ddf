#!/usr/bin/env bash
# Checks that every file keeps to its room. Usage: check_rooms.sh <source root>
# Each rule prints one line per breach; the script fails when any rule found one.
# Rules are the functions named in RULES; a new rule is one more function and one
# more name there.
set -u

root=${1:?usage: check_rooms.sh <source root>}
cd "$root" || exit 2

# Folders of the program (everything outside tests/ and bench/).
PRODUCTION_DIRS=(platform core device shell editor amplifier server sim app)

# The window libraries: the only libraries that may reach Qt Widgets (with the program).
WINDOW_LIBS=(
  ts_platform_qt
  ts_shell_help ts_shell_infodialogs ts_shell_mainwindow ts_shell_menuview ts_shell_nodetree ts_shell_nodewindows ts_shell_trace
  ts_editor_compiledialog ts_editor_createremap ts_editor_infowindow ts_editor_nodelistwindow
  ts_editor_report ts_editor_tedswindow
  ts_amplifier_peloxf ts_amplifier_toolwindows
  ts_server_tserver
  ts_app tedsmith
)
# A library whose role is one of these never reaches Qt Widgets, listed or not.
WIDGET_FREE_ROLES='model|engine|tools|nodes'

# Each rule prints its breaches, nothing when the tree keeps it.
RULES=(
  rule_widgets_only_in_windows
  rule_no_test_doubles_in_production
  rule_hooks_registered_only_in_app
)

# The folders below the program object: nothing in them registers a hook.
BELOW_APP_DIRS=(platform core device shell editor amplifier server sim)
# Entry points that register without the set.../install... shape: the 1-Wire backend
# registry (the program holds its ports' backends as ScopedBackend handles).
REGISTRY_CALLS=(registerBackend unregisterBackend)
# The scoped handle types' own definitions, which do register.
HANDLE_DEFINITIONS='^platform/(base/scopedhook|onewire/scopedbackend)\.h:'
# Files below app/ that may set a hook, each with its reason.
HOOK_CALLS_ALLOWED=(
  # An emulated adapter runs the network on its chips' time for one bus event.
  sim/adapters/emubus.cpp
  # The tests' one-call simulated network (useSimulatedNetwork): served until resetTmex().
  sim/onewire/simserve.cpp
  # The tests' and benchmarks' emulated adapters (serveEmulated): served until resetTmex().
  sim/adapters/emulatedadapter.cpp
)

# --- the target graph, read from the CMakeLists files --------------------------------
# Prints "target dep" for every link of every target in the given CMakeLists files:
# ts_library(<name> DEPS ...), add_library/add_executable(<name> ...) and
# target_link_libraries(<name> [PUBLIC|PRIVATE|INTERFACE] ...); ${var} from set(var ...)
# in the same file is expanded.
link_edges() {
    awk '
    function flush(   n, a, i, name, cmd, t, k, v) {
        if (cmd_ == "") return
        cmd = tolower(cmd_)
        n = split(args_, a, /[ \t\n]+/)
        # Drop empty fields from leading blanks.
        k = 0
        for (i = 1; i <= n; i++) if (a[i] != "") b[++k] = a[i]
        n = k
        for (i = 1; i <= n; i++) {
            while (match(b[i], /\$\{[A-Za-z0-9_]+\}/)) {
                v = substr(b[i], RSTART + 2, RLENGTH - 3)
                b[i] = substr(b[i], 1, RSTART - 1) vars[v] substr(b[i], RSTART + RLENGTH)
            }
        }
        if (cmd == "set" && n >= 1) {
            v = ""
            for (i = 2; i <= n; i++) v = v (v == "" ? "" : " ") b[i]
            vars[b[1]] = v
        } else if (cmd == "ts_library" && n >= 1) {
            print b[1], "-"
            for (i = 2; i <= n; i++) if (b[i] != "DEPS") emit(b[1], b[i])
        } else if ((cmd == "add_library" || cmd == "add_executable") && n >= 1) {
            print b[1], "-"
        } else if (cmd == "target_link_libraries" && n >= 1) {
            for (i = 2; i <= n; i++)
                if (b[i] != "PUBLIC" && b[i] != "PRIVATE" && b[i] != "INTERFACE") emit(b[1], b[i])
        }
        cmd_ = ""; args_ = ""
        delete b
    }
    function emit(t, d,   m, i) {
        m = split(d, parts, /[ \t]+/)
        for (i = 1; i <= m; i++) if (parts[i] != "") print t, parts[i]
    }
    FNR == 1 { delete vars }
    {
        line = $0
        sub(/#.*/, "", line)
        while (line != "") {
            if (cmd_ == "") {
                if (!match(line, /[A-Za-z_][A-Za-z0-9_]*[ \t]*\(/)) break
                cmd_ = substr(line, RSTART, RLENGTH - 1)
                sub(/[ \t]+$/, "", cmd_)
                line = substr(line, RSTART + RLENGTH)
                depth_ = 1
            }
            i = 1
            while (i <= length(line) && depth_ > 0) {
                c = substr(line, i, 1)
                if (c == "(") depth_++
                else if (c == ")") depth_--
                i++
            }
            if (depth_ > 0) { args_ = args_ " " line; line = ""; break }
            args_ = args_ " " substr(line, 1, i - 2)
            line = substr(line, i)
            flush()
        }
    }
    ' "$@"
}

all_cmakelists() {
    find "${PRODUCTION_DIRS[@]}" tests bench -name CMakeLists.txt 2>/dev/null | sort
}

production_cmakelists() {
    find "${PRODUCTION_DIRS[@]}" -name CMakeLists.txt 2>/dev/null | sort
}

# Prints every target that reaches $1 through its links (itself excluded).
reaching() {
    local goal=$1
    awk -v goal="$goal" '
    $2 != "-" { rev[$2] = rev[$2] " " $1 }
    END {
        queue[1] = goal; head = 1; tail = 1
        while (head <= tail) {
            cur = queue[head++]
            n = split(rev[cur], up, " ")
            for (i = 1; i <= n; i++)
                if (!(up[i] in seen)) { seen[up[i]] = 1; queue[++tail] = up[i]; print up[i] }
        }
    }' "$EDGES"
}

# --- rules ---------------------------------------------------------------------------
rule_widgets_only_in_windows() {
    local lib listed
    while read -r lib; do
        [[ $lib == ts_* || $lib == tedsmith ]] || continue
        is_production_target "$lib" || continue
        listed=no
        for w in "${WINDOW_LIBS[@]}"; do [[ $w == "$lib" ]] && listed=yes; done
        if [[ $listed == no ]]; then
            echo "$lib links Qt6::Widgets (through $(widget_path "$lib")) but is no window library"
        elif [[ ${lib#ts_*_} =~ $WIDGET_FREE_ROLES ]]; then
            echo "$lib links Qt6::Widgets (through $(widget_path "$lib")); a ${BASH_REMATCH[0]} library must not"
        fi
    done < <(reaching Qt6::Widgets | sort -u)
}

rule_no_test_doubles_in_production() {
    local hits
    # Classes named like test doubles in program sources.
    hits=$(grep -rnE --include='*.h' --include='*.cpp' \
        '^[[:space:]]*(class|struct)[[:space:]]+(Fake[A-Za-z0-9_]*|Scripted[A-Za-z0-9_]*|Virtual[A-Za-z0-9_]*|Memory[A-Za-z0-9_]*Trace[A-Za-z0-9_]*|Minimal[A-Za-z0-9_]*F)\b[^;]*$' \
        "${PRODUCTION_DIRS[@]}" 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/test double in the program: /' <<<"$hits"
    # Program sources including the test kit or test support.
    hits=$(grep -rnE --include='*.h' --include='*.cpp' '#[[:space:]]*include[[:space:]]*"tests/' \
        "${PRODUCTION_DIRS[@]}" 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/program source includes a test file: /' <<<"$hits"
    # Program CMakeLists naming the test kit's files.
    hits=$(grep -nE 'tests/kit' $(production_cmakelists) 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/program build names the test kit: /' <<<"$hits"
    # Program targets linking the test kit, directly or not.
    local lib
    while read -r lib; do
        is_production_target "$lib" && echo "$lib links ts_testkit (through $(path_to "$lib" ts_testkit))"
    done < <(reaching ts_testkit | sort -u)
}

# The registration entry points declared in headers below app/: set<Hook>(one pointer,
# std::function or callable alias) and every install...(), one name a line.
hook_names() {
    grep -rhoE --include='*.h' \
        '^(void|bool)[[:space:]]+(set[A-Z][A-Za-z0-9_]*|install[A-Za-z0-9_]*)[[:space:]]*\(.*\)[[:space:]]*;' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null |
        sed -E 's/^(void|bool)[[:space:]]+//; s/[[:space:]]*\(/ (/' |
        awk '{
            name = $1; param = $0; sub(/^[^(]*\(/, "", param); sub(/\)[[:space:]]*;.*$/, "", param)
            if (name ~ /^install/ || param ~ /std::function/ ||
                (param !~ /,/ && (param ~ /\*/ || param ~ /^[[:space:]]*[A-Z][A-Za-z0-9_]*[[:space:]]+[a-z]/)))
                print name
        }' | sort -u
}

rule_hooks_registered_only_in_app() {
    local names pattern hits allowed
    names=$({ hook_names; printf '%s\n' "${REGISTRY_CALLS[@]}"; } | paste -sd'|')
    [[ -z $names ]] && return
    allowed=$(printf '%s\n' "${HOOK_CALLS_ALLOWED[@]}" | grep -v '^#' | paste -sd'|')
    # A call of an entry point: the name and "(" without a return type before it on the
    # line (a declaration or definition has one).
    pattern="(^|[^A-Za-z0-9_.>])(${names})[[:space:]]*\\("
    hits=$(grep -rnE --include='*.h' --include='*.cpp' "$pattern" "${BELOW_APP_DIRS[@]}" 2>/dev/null |
        grep -vE "^[^:]+:[0-9]+:[[:space:]]*(static[[:space:]]+|inline[[:space:]]+)?(void|bool)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*::)*(${names})[[:space:]]*\\(" |
        grep -vE "$HANDLE_DEFINITIONS")
    # A scoped handle made below app/ (the handle types' own definitions aside).
    hits+=$'\n'$(grep -rnE --include='*.h' --include='*.cpp' \
        'ScopedHook<[^;]*>[[:space:]]+[A-Za-z_][A-Za-z0-9_]*|(^|[^A-Za-z0-9_])Scoped[A-Z][A-Za-z0-9_]*[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*[({;]' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null | grep -vE "$HANDLE_DEFINITIONS")
    hits=$(grep -v '^$' <<<"$hits")
    [[ -n $allowed && -n $hits ]] && hits=$(grep -vE "^(${allowed}):" <<<"$hits")
    [[ -n $hits ]] && sed 's/^/a library below app\/ registers a hook: /' <<<"$hits"
}

# --- helpers -------------------------------------------------------------------------
is_production_target() {
    grep -qx "$1" "$PRODUCTION_TARGETS"
}

# One chain of links from $1 to $2, as "a -> b -> c".
path_to() {
    awk -v from="$1" -v goal="$2" '
    $2 != "-" { fwd[$1] = fwd[$1] " " $2 }
    END {
        queue[1] = from; prev[from] = ""; seen[from] = 1; head = 1; tail = 1
        while (head <= tail) {
            cur = queue[head++]
            if (cur == goal) break
            n = split(fwd[cur], dn, " ")
            for (i = 1; i <= n; i++)
                if (!(dn[i] in seen)) { seen[dn[i]] = 1; prev[dn[i]] = cur; queue[++tail] = dn[i] }
        }
        out = goal
        for (c = prev[goal]; c != ""; c = prev[c]) out = c " -> " out
        print out
    }' "$EDGES"
}

widget_path() { path_to "$1" Qt6::Widgets; }

# --- run -----------------------------------------------------------------------------
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
EDGES=$work/edges
PRODUCTION_TARGETS=$work/production
# shellcheck disable=SC2046
link_edges $(all_cmakelists) >"$EDGES"
# shellcheck disable=SC2046
link_edges $(production_cmakelists) | awk '{ print $1 }' | sort -u >"$PRODUCTION_TARGETS"

if [[ ! -s $PRODUCTION_TARGETS ]]; then
    echo "no program targets found under $root"
    exit 2
fi

failed=0
for rule in "${RULES[@]}"; do
    out=$("$rule")
    if [[ -n $out ]]; then
        echo "$rule:"
        sed 's/^/  /' <<<"$out"
        failed=1
    fi
done
[[ $failed == 0 ]] && echo "every file in its room ($(wc -l <"$PRODUCTION_TARGETS") program targets checked)"
exit $failed
