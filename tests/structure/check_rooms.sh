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

# The C++ files scanned: every kind a source or header may be written as.
SOURCE_KINDS=(--include='*.h' --include='*.hpp' --include='*.hh' --include='*.hxx' --include='*.inl'
              --include='*.ipp' --include='*.cpp' --include='*.cc' --include='*.cxx')

# Each rule prints its breaches, nothing when the tree keeps it.
RULES=(
  rule_widgets_only_in_windows
  rule_no_test_doubles_in_production
  rule_hooks_registered_only_in_app
  rule_widget_free_sources
)

# The folders below the program object: nothing in them registers a hook.
BELOW_APP_DIRS=(platform core device shell editor amplifier server sim)
# Entry points that register without the set.../install... shape: the 1-Wire backend
# registry (the program holds its ports' backends as ScopedBackend handles).
REGISTRY_CALLS=(registerBackend unregisterBackend)
# The scoped handle types' own definitions, which do register.
HANDLE_DEFINITIONS='^platform/(base/scopedhook|onewire/scopedbackend)\.h:'
# Files below app/ that may call one entry point (file:entry point), each with its reason.
HOOK_CALLS_ALLOWED=(
  # An emulated adapter runs the network on its chips' time for one bus event.
  sim/adapters/emubus.cpp:setClock
  # The tests' one-call simulated network (useSimulatedNetwork): served until resetTmex().
  sim/onewire/simserve.cpp:registerBackend
  # The tests' and benchmarks' emulated adapters (serveEmulated): served until resetTmex().
  sim/adapters/emulatedadapter.cpp:registerBackend
)

# --- the target graph, read from the CMakeLists files --------------------------------
# Prints "target dep" for every link of every target in the given CMakeLists files:
# ts_library(<name> DEPS ...), add_library/add_executable(<name> ...) and
# target_link_libraries(<name> [PUBLIC|PRIVATE|INTERFACE] ...) and link_libraries(...) for
# the targets made after it in the file. ${var} from set(var ...) or list(APPEND var ...) is
# expanded (the file's own, else the last one read); a target behind a generator expression
# ($<...:x>) or in quotes counts as linked; Qt::X is Qt6::X. A made target also prints its
# folder: "target - folder".
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
                # An unknown variable stays unexpanded, marked "@{v}".
                x = (v in vars) ? vars[v] : ((v in gvars) ? gvars[v] : "@{" v "}")
                b[i] = substr(b[i], 1, RSTART - 1) x substr(b[i], RSTART + RLENGTH)
            }
        }
        if (cmd == "set" && n >= 1) {
            v = ""
            for (i = 2; i <= n; i++) v = v (v == "" ? "" : " ") b[i]
            vars[b[1]] = v; gvars[b[1]] = v
        } else if (cmd == "list" && n >= 2 && b[1] == "APPEND") {
            v = (b[2] in vars) ? vars[b[2]] : gvars[b[2]]
            for (i = 3; i <= n; i++) v = v (v == "" ? "" : " ") b[i]
            vars[b[2]] = v; gvars[b[2]] = v
        } else if (cmd == "link_libraries") {
            for (i = 1; i <= n; i++) dirlibs = dirlibs " " b[i]
        } else if (cmd == "ts_library" && n >= 1) {
            made(b[1])
            for (i = 2; i <= n; i++) if (b[i] != "DEPS") emit(b[1], b[i])
        } else if ((cmd == "add_library" || cmd == "add_executable") && n >= 1) {
            made(b[1])
        } else if (cmd == "target_link_libraries" && n >= 1) {
            for (i = 2; i <= n; i++)
                if (b[i] != "PUBLIC" && b[i] != "PRIVATE" && b[i] != "INTERFACE") emit(b[1], b[i])
        }
        cmd_ = ""; args_ = ""
        delete b
    }
    function made(t,   dir) {
        if (t ~ /@\{/) return
        dir = FILENAME; if (!sub(/\/[^\/]*$/, "", dir)) dir = "."
        print t, "-", dir
        emit(t, dirlibs)
    }
    function emit(t, d,   m, i, x) {
        if (t ~ /@\{/) return
        m = split(d, parts, /[ \t;,]+/)
        for (i = 1; i <= m; i++) {
            x = parts[i]
            gsub(/"/, "", x)
            # $<cond:...> and $<FEATURE:x> keep only what they may link.
            while (match(x, /\$<[A-Za-z_]+(:[^<>:]*)?>:/)) x = substr(x, 1, RSTART - 1) substr(x, RSTART + RLENGTH)
            gsub(/\$<([A-Z_]+:)?/, "", x)
            gsub(/>/, "", x)
            sub(/^Qt::/, "Qt6::", x)
            if (x != "" && x !~ /@\{/) print t, x
        }
    }
    FNR == 1 { delete vars; dirlibs = "" }
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

# The top-level build files first (a link written there counts as well), then every folder's.
all_cmakelists() {
    { ls CMakeLists.txt 2>/dev/null; find cmake -name '*.cmake' 2>/dev/null | LC_ALL=C sort
      find "${PRODUCTION_DIRS[@]}" tests bench \( -name CMakeLists.txt -o -name '*.cmake' \) 2>/dev/null | LC_ALL=C sort; }
}

production_cmakelists() {
    find "${PRODUCTION_DIRS[@]}" \( -name CMakeLists.txt -o -name '*.cmake' \) 2>/dev/null | LC_ALL=C sort
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
    # A definition: the name, then a base list, a body or the line's end (a forward
    # declaration ends in ";"); the kit's own class names count as well.
    local kit names
    kit=$(grep -hE '^(template[[:space:]]*<[^>]*>[[:space:]]*)?(class|struct)[[:space:]]+[A-Z][A-Za-z0-9_]*' tests/kit/*.h 2>/dev/null |
        grep -v ';[[:space:]]*$' | sed -E 's/^(template[[:space:]]*<[^>]*>[[:space:]]*)?(class|struct)[[:space:]]+([A-Za-z0-9_]+).*/\3/' |
        sort -u | paste -sd'|')
    names='(Fake|Stub|Mock|Dummy|Spy|Scripted|Virtual|Quiet)[A-Z0-9_][A-Za-z0-9_]*|[A-Za-z0-9_]+(Fake|Stub|Mock|Spy)|Memory[A-Za-z0-9_]*Trace[A-Za-z0-9_]*|Minimal[A-Z][A-Za-z0-9_]*'
    [[ -n $kit ]] && names+="|$kit"
    hits=$(grep -rnE "${SOURCE_KINDS[@]}" \
        "^[[:space:]]*(template[[:space:]]*<[^>]*>[[:space:]]*)?(class|struct)[[:space:]]+(${names})([[:space:]]+final)?[[:space:]]*([:{]|\$)" \
        "${PRODUCTION_DIRS[@]}" 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/test double in the program: /' <<<"$hits"
    # Program sources including the test kit or test support.
    hits=$(grep -rnE "${SOURCE_KINDS[@]}" '#[[:space:]]*include[[:space:]]*[<"]([./]*/)?(tests/|kit/|support/)' \
        "${PRODUCTION_DIRS[@]}" 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/program source includes a test file: /' <<<"$hits"
    # Program CMakeLists naming the test kit's files.
    hits=$(grep -nE 'tests/(kit|support)' $(production_cmakelists) 2>/dev/null)
    [[ -n $hits ]] && sed 's/^/program build names the test kit: /' <<<"$hits"
    # Program targets linking the test kit, directly or not.
    local lib
    local kitlib
    for kitlib in ts_testkit ts_test_support; do
        while read -r lib; do
            is_production_target "$lib" && echo "$lib links $kitlib (through $(path_to "$lib" $kitlib))"
        done < <(reaching $kitlib | sort -u)
    done
}

# The registration entry points declared in headers below app/: set<Hook>(one pointer,
# reference, std::function or callable alias) and every install...(), one name a line.
hook_names() {
    grep -rhoE "${SOURCE_KINDS[@]}" \
        '^(((inline|extern|static|\[\[nodiscard\]\])[[:space:]]+)*)(void|bool)[[:space:]]+(set[A-Z][A-Za-z0-9_]*|install[A-Za-z0-9_]*)[[:space:]]*\(.*\)[[:space:]]*;' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null |
        sed -E 's/^(((inline|extern|static|\[\[nodiscard\]\])[[:space:]]+)*)(void|bool)[[:space:]]+//; s/[[:space:]]*\(/ (/' |
        awk '{
            name = $1; param = $0; sub(/^[^(]*\(/, "", param); sub(/\)[[:space:]]*;.*$/, "", param)
            if (name ~ /^install/ || param ~ /std::function/ ||
                (param !~ /,/ && (param ~ /\*/ || param ~ /^[[:space:]]*[A-Z][A-Za-z0-9_:]*[[:space:]]*&?[[:space:]]+[a-z]/)))
                print name
        }' | sort -u
}

# grep -rn output with the // comments taken out and comment-only lines dropped.
code_only() {
    sed -E 's#//.*$##' | grep -vE '^[^:]+:[0-9]+:[[:space:]]*(\*|/\*|$)'
}

rule_hooks_registered_only_in_app() {
    local names pattern hits h f rest a handles defs slots
    names=$({ hook_names; printf '%s\n' "${REGISTRY_CALLS[@]}"; } | paste -sd'|')
    [[ -z $names ]] && return
    # Every use of an entry point, not only a call on one line: its name taken as a value
    # (a function pointer, a macro, a scoped handle's setter) registers as well. Its
    # declarations and definitions have a return type before the name; a handle type's
    # constructor (Scoped...(...) : ScopedHook(&set..., ...)) defines the handle.
    pattern="(^|[^A-Za-z0-9_.>])(${names})([^A-Za-z0-9_]|\$)"
    hits=$(grep -rnE "${SOURCE_KINDS[@]}" "$pattern" "${BELOW_APP_DIRS[@]}" 2>/dev/null | code_only |
        grep -E "^[^:]+:[0-9]+:.*${pattern}" |
        grep -vE "^[^:]+:[0-9]+:[[:space:]]*(((static|inline|extern|\[\[nodiscard\]\])[[:space:]]+)*)(void|bool)[[:space:]]+([A-Za-z_][A-Za-z0-9_]*::)*(${names})[[:space:]]*\\(" |
        grep -vE "^[^:]+:[0-9]+:[[:space:]]*(explicit[[:space:]]+)?Scoped[A-Z][A-Za-z0-9_]*[[:space:]]*\\(.*:[[:space:]]*(platform::)?ScopedHook[[:space:]]*\\(" |
        grep -vE "$HANDLE_DEFINITIONS")
    # The allowed calls: a file may use its one entry point, no other.
    rest=""
    while IFS= read -r h; do
        [[ -z $h ]] && continue
        f=${h%%:*}
        a=${h#*:*:}
        for allow in "${HOOK_CALLS_ALLOWED[@]}"; do
            [[ ${allow%%:*} == "$f" ]] && a=$(sed -E "s/(^|[^A-Za-z0-9_])${allow#*:}([^A-Za-z0-9_]|\$)/\\1\\2/g" <<<"$a")
        done
        grep -qE "$pattern" <<<"$a" && rest+=$h$'\n'
    done <<<"$hits"
    hits=$rest
    # A scoped handle made or held below app/: in the files that define handle types, an
    # object of one; anywhere else, any use of one (a member, a pointer to one, an alias,
    # a template argument, a base class).
    handles='(^|[^A-Za-z0-9_])Scoped[A-Z][A-Za-z0-9_]*'
    defs=$(grep -rlE "${SOURCE_KINDS[@]}" '^[[:space:]]*class[[:space:]]+Scoped[A-Z][A-Za-z0-9_]*([^A-Za-z0-9_;][^;]*)?$' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null | paste -sd'|')
    hits+=$'\n'$(grep -rnE "${SOURCE_KINDS[@]}" "$handles" "${BELOW_APP_DIRS[@]}" 2>/dev/null | code_only |
        grep -E "^[^:]+:[0-9]+:.*${handles}" | { if [[ -n $defs ]]; then grep -vE "^(${defs}):"; else cat; fi; })
    hits+=$'\n'$(grep -rnE "${SOURCE_KINDS[@]}" \
        'ScopedHook<[^;]*>[[:space:]]+[A-Za-z_][A-Za-z0-9_]*|(^|[^A-Za-z0-9_])Scoped[A-Z][A-Za-z0-9_]*[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*[({;=]' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null | code_only | grep -vE "$HANDLE_DEFINITIONS")
    # A hook slot (a std::function member declared in a header below app/) of a state
    # object reached through its accessor (jobQueue().scanStep = ..., or through a
    # reference bound to it: auto& q = jobQueue(); q.scanStep = ...), filled from another
    # folder: only its own folder sets a default; the program object fills it. (An object
    # wiring the callbacks of a member it owns registers nothing.)
    slots=$(grep -rnoE "${SOURCE_KINDS[@]}" '^[[:space:]]+std::function<.*>[[:space:]]+[A-Za-z_][A-Za-z0-9_]*[[:space:]]*(=[^;]*)?;' \
        "${BELOW_APP_DIRS[@]}" 2>/dev/null |
        sed -E 's#^([^:]+)/[^/:]+:[0-9]+:.*>[[:space:]]+([A-Za-z_][A-Za-z0-9_]*)[[:space:]]*(=[^;]*)?;$#\2 \1#')
    if [[ -n $slots ]]; then
        hits+=$'\n'$(grep -rnE "${SOURCE_KINDS[@]}" \
            "(\\.|->)[[:space:]]*($(awk '{ print $1 }' <<<"$slots" | sort -u | paste -sd'|'))[[:space:]]*=([^=]|\$)|&[[:space:]]*[A-Za-z_][A-Za-z0-9_]*[[:space:]]*=[[:space:]]*[A-Za-z0-9_:]*[A-Za-z0-9_][[:space:]]*\\([[:space:]]*\\)[[:space:]]*;" \
            "${BELOW_APP_DIRS[@]}" 2>/dev/null | code_only |
            awk -v slots="$slots" '
            BEGIN { n = split(slots, l, "\n"); for (i = 1; i <= n; i++) { split(l[i], p, " "); home[p[1]] = home[p[1]] " " p[2] " " } }
            {
                file = $0; sub(/:.*/, "", file); dir = file; sub(/\/[^\/]*$/, "", dir)
                if (file != last) { delete bound; last = file }
                text = $0; sub(/^[^:]+:[0-9]+:/, "", text)
                # A reference bound to an accessor: its name reaches the state object.
                if (match(text, /&[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*=[ \t]*[A-Za-z0-9_:]*[A-Za-z0-9_][ \t]*\([ \t]*\)[ \t]*;/)) {
                    m = substr(text, RSTART + 1, RLENGTH - 1); sub(/=.*/, "", m); gsub(/[ \t]/, "", m); bound[m] = 1
                }
                bad = 0
                while (match(text, /[A-Za-z0-9_)]+[ \t]*(\.|->)[ \t]*[A-Za-z_][A-Za-z0-9_]*[ \t]*=/)) {
                    m = substr(text, RSTART, RLENGTH); text = substr(text, RSTART + RLENGTH)
                    if (substr(text, 1, 1) == "=") continue
                    obj = m; sub(/[ \t]*(\.|->).*/, "", obj)
                    gsub(/^[^.>]*(\.|->)[ \t]*|[ \t]*=$/, "", m)
                    if (!(obj ~ /\)$/ || (obj in bound))) continue
                    if ((m in home) && index(home[m], " " dir " ") == 0) bad = 1
                }
                if (bad) print
            }')
    fi
    hits=$(grep -v '^$' <<<"$hits" | sort -u)
    [[ -n $hits ]] && sed 's/^/a library below app\/ registers a hook: /' <<<"$hits"
}

# Qt Widgets reached without a link: a library outside the window list (or one whose role
# keeps it widget-free) that includes a Qt Widgets header or a window library's header.
WIDGET_HEADERS='QtWidgets/|QtWidgets[>"]|QWidget|QDialog|QMainWindow|QApplication|QMenu|QToolBar|QStatusBar|Q[A-Za-z]*Widget|Q[A-Za-z]*Box[>"]|QPushButton|QToolButton|QRadioButton|QButtonGroup|QAbstractButton|QLabel|QLineEdit|QTextEdit|QPlainTextEdit|QTextBrowser|QSplitter|QLayout|Q[HVG][A-Za-z]*Layout|QFormLayout|QStackedLayout|QStyle[>"]|QStyleOption|QStyledItemDelegate|QItemDelegate|QHeaderView|Q(Tree|List|Table|Column)View|QAbstract(ItemView|ScrollArea|Slider|SpinBox)|QScrollArea|QScrollBar|QSlider|QFrame|QProgressBar|QCompleter|QGraphics|QFileDialog|QColorDialog|QFontDialog|QInputDialog|QErrorMessage|QWizard|QSizeGrip|QRubberBand|QDockWidget|QMdi|QSystemTrayIcon|QSpacerItem|QCalendarWidget|QDateTimeEdit|QDateEdit|QTimeEdit|QDial|QLCDNumber|QSplashScreen|QTabBar|QToolTip|QWhatsThis|QDesktopWidget|QGesture|QScroller|QKeySequenceEdit|QUndoView'

rule_widget_free_sources() {
    local lib dir listed windirs hits
    windirs=$(for w in "${WINDOW_LIBS[@]}"; do awk -v t="$w" '$1 == t && $2 == "-" { print $3 }' "$EDGES"; done |
        grep -v '^\.$' | sort -u | sed 's/[.]/\\./g' | paste -sd'|')
    while read -r lib dir; do
        listed=no
        for w in "${WINDOW_LIBS[@]}"; do [[ $w == "$lib" ]] && listed=yes; done
        [[ $listed == yes && ! ${lib#ts_*_} =~ $WIDGET_FREE_ROLES ]] && continue
        hits=$(find "$dir" -maxdepth 1 -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.hh' -o -name '*.hxx' -o -name '*.inl' \
                   -o -name '*.ipp' -o -name '*.cpp' -o -name '*.cc' -o -name '*.cxx' \) -print0 2>/dev/null | sort -z |
            xargs -0 -r grep -nHE "#[[:space:]]*include[[:space:]]*(<(${WIDGET_HEADERS})|\"(${WIDGET_HEADERS})${windirs:+|\"(${windirs})/})" 2>/dev/null)
        [[ -n $hits ]] && sed "s/^/$lib includes a Qt Widgets or window header: /" <<<"$hits"
    done < <(awk '$2 == "-" && NF >= 3 { print $1, $3 }' "$EDGES" | sort -u | while read -r t d; do
                 is_production_target "$t" && echo "$t $d"; done)
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
