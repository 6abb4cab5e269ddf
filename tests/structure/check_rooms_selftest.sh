#!/usr/bin/env bash
# Proves check_rooms.sh: a copy of the program's build files and sources passes, and
# each breach planted in a fresh copy makes it fail with a line naming the breach.
# Usage: check_rooms_selftest.sh <source root>
set -u

root=${1:?usage: check_rooms_selftest.sh <source root>}
check=$(dirname "$0")/check_rooms.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

copy_tree() {
    local dst=$1
    mkdir -p "$dst"
    (cd "$root" && tar cf - --exclude='./build*' --exclude='./.git' \
        CMakeLists.txt cmake platform core device shell editor amplifier server sim app tests/kit tests/CMakeLists.txt) |
        (cd "$dst" && tar xf -)
}

# Each case: name | planted change (run inside the copy) | text the report must hold.
# An empty change is the untouched copy, which must pass.
cases=(
  'untouched copy passes||'
  'Widgets linked straight into a model library|sed -i "s/ts_amplifier_model DEPS/ts_amplifier_model DEPS Qt6::Widgets/" amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets (through ts_amplifier_model -> Qt6::Widgets)'
  'Widgets reached through a window library an engine links|sed -i "s/ts_server_engine DEPS/ts_server_engine DEPS ts_shell_trace/" server/engine/CMakeLists.txt|ts_server_engine links Qt6::Widgets (through ts_server_engine -> ts_shell_trace'
  'a tools library added to the window list still may not|sed -i "s/^  ts_server_tserver$/  ts_server_tserver ts_amplifier_tools/; s/ts_amplifier_tools DEPS/ts_amplifier_tools DEPS ts_platform_qt/" amplifier/tools/CMakeLists.txt "$CHECK"|a tools library must not'
  'Widgets in a core library reach every library above it|sed -i "s/ts_core_base DEPS/ts_core_base DEPS Qt6::Widgets/" core/base/CMakeLists.txt|ts_shell_nodes links Qt6::Widgets'
  'a new library linking Widgets that is no window library|mkdir -p shell/extra && echo "ts_library(ts_shell_extra DEPS ts_core_base Qt6::Widgets)" >shell/extra/CMakeLists.txt|ts_shell_extra links Qt6::Widgets (through ts_shell_extra -> Qt6::Widgets) but is no window library'
  'Widgets linked over two lines|printf "target_link_libraries(ts_editor_model\n  PUBLIC\n  Qt6::Widgets)\n" >>editor/model/CMakeLists.txt|ts_editor_model links Qt6::Widgets'
  'a fake class in a program library|printf "class FakeAdapter final : public Base {\n};\n" >device/base/fakeadapter.h|test double in the program: device/base/fakeadapter.h'
  'a scripted class in a program library|printf "struct ScriptedReply {\n};\n" >>server/engine/requestlines.h|ScriptedReply'
  'a minimal window class in a program library|printf "class MinimalSwitchF : public NodeWindow {\n" >shell/nodewindows/minimalswitchf.h|MinimalSwitchF'
  'a memory trace in a program library|printf "class MemoryTraceSink final : public TraceSink {\n" >>core/base/trace.h|MemoryTraceSink'
  'a program library linking the test kit|sed -i "s/ts_shell_jobs DEPS/ts_shell_jobs DEPS ts_testkit/" shell/jobs/CMakeLists.txt|ts_shell_jobs links ts_testkit (through ts_shell_jobs -> ts_testkit)'
  'the program linking the test kit through one library|sed -i "s/ts_app PUBLIC/ts_app PUBLIC ts_testkit/" app/CMakeLists.txt|tedsmith links ts_testkit (through tedsmith -> ts_app -> ts_testkit)'
  'a program build naming a test kit file|echo "target_sources(ts_core_base PRIVATE \${PROJECT_SOURCE_DIR}/tests/kit/virtualclock.cpp)" >>core/base/CMakeLists.txt|program build names the test kit: core/base/CMakeLists.txt'
  'a program source including the test kit|sed -i "1i #include \"tests/kit/virtualclock.h\"" platform/base/clock.cpp|program source includes a test file: platform/base/clock.cpp:1'
  'a window constructor registering itself|printf "Extra::Extra() { setNodeHost(this); }\n" >>shell/mainwindow/mainf.cpp|a library below app/ registers a hook: shell/mainwindow/mainf.cpp'
  'a namespaced registration in an engine|printf "void wire() { shell::setRequestServerWindow(nullptr); }\n" >>server/engine/requestengine.cpp|a library below app/ registers a hook: server/engine/requestengine.cpp'
  'a std::function hook set from a window library|printf "void keep() { editor::setOrphanTedsWindow({}); }\n" >>editor/tedswindow/editornodewindowfactory.cpp|editornodewindowfactory.cpp'
  'a new install entry point called below app|printf "void installThing(int* t);\n" >>device/base/devicestate.h && printf "void go() { int t = 0; installThing(&t); }\n" >>device/base/devicestate.cpp|a library below app/ registers a hook: device/base/devicestate.cpp'
  'a scoped handle held below app|printf "platform::ScopedHook<Clock*> held(&setClock, nullptr);\n" >>core/base/trace.cpp|a library below app/ registers a hook: core/base/trace.cpp'
  'a 1-Wire backend registered below app|printf "void serve() { platform::registerBackend(1, 1, nullptr); }\n" >>platform/adapters/adapterbackends.cpp|a library below app/ registers a hook: platform/adapters/adapterbackends.cpp'
  'a 1-Wire backend unregistered in a window library|printf "void drop() { unregisterBackend(1, 1); }\n" >>shell/mainwindow/mainf.cpp|a library below app/ registers a hook: shell/mainwindow/mainf.cpp'
  'a scoped backend held below app|printf "void hold() { platform::ScopedBackend held(1, 1, nullptr); }\n" >>sim/onewire/simbackend.cpp|a library below app/ registers a hook: sim/onewire/simbackend.cpp'
  'a scoped clock made below app|printf "void run(Clock& c) { platform::ScopedClock scope(c); }\n" >>device/base/devicestate.cpp|a library below app/ registers a hook: device/base/devicestate.cpp'
  # A hook's setter taken as a value registers as well as a call does.
  'a setter taken as a function pointer|printf "X::X() { auto reg = &shell::setNodeHost; reg(this); }\n" >>shell/nodes/nodelist.cpp|a library below app/ registers a hook: shell/nodes/nodelist.cpp'
  'a setter handed to std::invoke|printf "X::X() { std::invoke(shell::setNodeHost, this); }\n" >>editor/model/tedsdocument.cpp|a library below app/ registers a hook: editor/model/tedsdocument.cpp'
  'a macro naming a setter|printf "#define WIRE_HOST shell::setNodeHost\nX::X() { WIRE_HOST(this); }\n" >>server/engine/requestengine.cpp|a library below app/ registers a hook: server/engine/requestengine.cpp'
  'a call split before its parenthesis|printf "X::X() {\n    shell::setNodeHost\n        (this);\n}\n" >>shell/nodes/nodelist.cpp|a library below app/ registers a hook: shell/nodes/nodelist.cpp'
  'a lower class built on ScopedHook|printf "class Wiring : platform::ScopedHook<shell::NodeHost*> {\npublic:\n    Wiring() : ScopedHook(&shell::setNodeHost, nullptr) {}\n};\n" >>shell/nodes/nodelist.h|a library below app/ registers a hook: shell/nodes/nodelist.h'
  'a scoped hook member set up in a constructor list|printf "W::W() : clock_(&platform::setClock, nullptr) {}\n" >>shell/nodes/nodelist.cpp|a library below app/ registers a hook: shell/nodes/nodelist.cpp'
  'a file allowed one entry point calling another|printf "void wire() { shell::setNodeHost(nullptr); }\n" >>sim/onewire/simserve.cpp|a library below app/ registers a hook: sim/onewire/simserve.cpp'
  'a scoped backend held through unique_ptr|printf "struct W { std::unique_ptr<platform::ScopedBackend> backend_; };\n" >>sim/onewire/simnetwork.h|a library below app/ registers a hook: sim/onewire/simnetwork.h'
  'a scoped backend made with make_unique|printf "W::W() { backend_ = std::make_unique<platform::ScopedBackend>(1, 1, nullptr); }\n" >>sim/onewire/simnetwork.cpp|a library below app/ registers a hook: sim/onewire/simnetwork.cpp'
  'a scoped clock held in an optional|printf "struct W { std::optional<platform::ScopedClock> clock_; };\n" >>device/base/devicestate.h|a library below app/ registers a hook: device/base/devicestate.h'
  'a scoped clock copy-initialised|printf "void f(Clock& c) { auto scope = platform::ScopedClock(c); }\n" >>device/base/devicestate.cpp|a library below app/ registers a hook: device/base/devicestate.cpp'
  'a scoped hook behind an alias|printf "using HostHook = platform::ScopedHook<shell::NodeHost*>;\nstruct W { HostHook hook_; };\n" >>shell/nodes/nodelist.h|a library below app/ registers a hook: shell/nodes/nodelist.h'
  'a state object hook slot filled from another folder|printf "X::X() { shell::jobQueue().scanStep = [] { return false; }; }\n" >>shell/nodes/doscan.cpp|a library below app/ registers a hook: shell/nodes/doscan.cpp'
  'a state object hook slot filled through a reference|printf "X::X() {\n    auto& q = shell::jobQueue();\n    q.scanStep = [] { return false; };\n}\n" >>shell/nodes/doscan.cpp|a library below app/ registers a hook: shell/nodes/doscan.cpp'
  'a new setter taking a reference|printf "void setThing(Thing& t);\n" >>device/base/devicestate.h && printf "void go(Thing& t) { setThing(t); }\n" >>device/base/devicestate.cpp|a library below app/ registers a hook: device/base/devicestate.cpp'
  'a new inline setter|printf "inline void setThing(Thing* t);\n" >>device/base/devicestate.h && printf "void go(Thing* t) { setThing(t); }\n" >>device/base/devicestate.cpp|a library below app/ registers a hook: device/base/devicestate.cpp'
  'a registration in a .hpp header|printf "struct W { W() { shell::setNodeHost(nullptr); } };\n" >shell/nodes/wiring.hpp|a library below app/ registers a hook: shell/nodes/wiring.hpp'
  # Widgets linked in every way CMake allows.
  'Widgets linked by the versionless name|printf "target_link_libraries(ts_amplifier_model PRIVATE Qt::Widgets)\n" >>amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets'
  'Widgets through a variable set in the parent folder|sed -i "1i set(TS_UI Qt6::Widgets)" amplifier/CMakeLists.txt && printf "target_link_libraries(ts_amplifier_model PRIVATE \${TS_UI})\n" >>amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets'
  'Widgets appended to a list|printf "set(deps ts_core_base)\nlist(APPEND deps Qt6::Widgets)\ntarget_link_libraries(ts_amplifier_model PRIVATE \${deps})\n" >>amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets'
  'Widgets behind a generator expression|printf "target_link_libraries(ts_amplifier_model PRIVATE \$<BUILD_INTERFACE:Qt6::Widgets>)\n" >>amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets'
  'Widgets behind a conditional generator expression|printf "target_link_libraries(ts_editor_model PRIVATE \$<\$<CONFIG:Debug>:Qt6::Widgets>)\n" >>editor/model/CMakeLists.txt|ts_editor_model links Qt6::Widgets'
  'Widgets in quotes|printf "target_link_libraries(ts_amplifier_model PRIVATE \"Qt6::Widgets\")\n" >>amplifier/model/CMakeLists.txt|ts_amplifier_model links Qt6::Widgets'
  'Widgets linked from the top-level build file|printf "target_link_libraries(ts_shell_nodes PUBLIC Qt6::Widgets)\n" >>CMakeLists.txt|ts_shell_nodes links Qt6::Widgets'
  'Widgets linked from a cmake/ file|printf "target_link_libraries(ts_editor_model PUBLIC Qt6::Widgets)\n" >>cmake/tedsmith.cmake|ts_editor_model links Qt6::Widgets'
  'Widgets linked to a whole folder|sed -i "1i link_libraries(Qt6::Widgets)" editor/model/CMakeLists.txt|ts_editor_model links Qt6::Widgets'
  'a model including a Qt Widgets header|sed -i "1i #include <QWidget>" amplifier/model/amplifierrecord.h|ts_amplifier_model includes a Qt Widgets or window header: amplifier/model/amplifierrecord.h:1'
  'the node model including a QtWidgets/ header|sed -i "1i #include <QtWidgets/QTreeWidgetItem>" shell/nodes/nodelist.h|ts_shell_nodes includes a Qt Widgets or window header: shell/nodes/nodelist.h:1'
  'a model including a window library header|sed -i "1i #include \"shell/nodewindows/tedsfields.h\"" amplifier/model/amplifierrecord.cpp|ts_amplifier_model includes a Qt Widgets or window header: amplifier/model/amplifierrecord.cpp:1'
  # Test doubles under every name and form they come in.
  'a fake class defined on one line|printf "struct FakeClock final : Clock { int now() override { return 0; } };\n" >>platform/base/clock.h|test double in the program: platform/base/clock.h'
  'a fake class template|printf "template <class T> class FakeStore {\n};\n" >>core/base/trace.h|test double in the program: core/base/trace.h'
  'a stub class|printf "class StubHost final : public NodeHost {\n};\n" >>shell/nodes/nodehost.h|StubHost'
  'a mock class|printf "class MockBus : public ScanBus {\n};\n" >>shell/nodes/nodehost.h|MockBus'
  'a class named ...Stub|printf "class MenuWindowsStub final : public MenuWindows {\n};\n" >>shell/mainwindow/mainhost.h|MenuWindowsStub'
  'the kit plain node window in the program|printf "class BasicNodeWindow : public QWidget, public NodeWindow {\n};\n" >app/basicnodewindow.h|test double in the program: app/basicnodewindow.h'
  'the kit node window factory in the program|printf "class MinimalNodeWindowFactory final : public ShellNodeWindowFactory {\n};\n" >>shell/nodewindows/nodewindowfactory.h|MinimalNodeWindowFactory'
  'the kit memory selector in the program|printf "struct MemorySelector {\n};\n" >>device/memimage/familytable.h|MemorySelector'
  'a quiet host in the program|printf "class QuietNodeHost : public shell::NodeHost {\n};\n" >>shell/nodes/nodehost.h|QuietNodeHost'
  'a test kit header included with angle brackets|sed -i "1i #include <tests/kit/virtualclock.h>" platform/base/clock.cpp|program source includes a test file: platform/base/clock.cpp:1'
  'a test kit header included by a relative path|sed -i "1i #include \"../../tests/kit/virtualclock.h\"" platform/base/clock.cpp|program source includes a test file: platform/base/clock.cpp:1'
  'a program build naming a test support file|echo "target_sources(ts_core_base PRIVATE \${PROJECT_SOURCE_DIR}/tests/support/virtualtimers.cpp)" >>core/base/CMakeLists.txt|program build names the test kit: core/base/CMakeLists.txt'
  'the test kit behind a generator expression|printf "target_link_libraries(ts_app PRIVATE \$<BUILD_INTERFACE:ts_testkit>)\n" >>app/CMakeLists.txt|tedsmith links ts_testkit (through tedsmith -> ts_app -> ts_testkit)'
  'the test kit linked from the top-level build file|printf "target_link_libraries(ts_app PRIVATE ts_testkit)\n" >>CMakeLists.txt|tedsmith links ts_testkit (through tedsmith -> ts_app -> ts_testkit)'
  'a program library linking the test support|sed -i "s/ts_shell_jobs DEPS/ts_shell_jobs DEPS ts_test_support/" shell/jobs/CMakeLists.txt|ts_shell_jobs links ts_test_support (through ts_shell_jobs -> ts_test_support)'
)

failures=0
n=0
for c in "${cases[@]}"; do
    IFS='|' read -r name change expect <<<"$c"
    n=$((n + 1))
    dir=$work/case$n
    copy_tree "$dir"
    cp "$check" "$dir/check_rooms.sh"
    if [[ -n $change ]]; then
        (cd "$dir" && CHECK=$dir/check_rooms.sh && eval "$change") || {
            echo "FAIL: $name: the change could not be planted"
            failures=$((failures + 1))
            continue
        }
    fi
    out=$(bash "$dir/check_rooms.sh" "$dir" 2>&1)
    rc=$?
    if [[ -z $change ]]; then
        if [[ $rc != 0 ]]; then
            echo "FAIL: $name: exit $rc"; sed 's/^/    /' <<<"$out"; failures=$((failures + 1))
        fi
    elif [[ $rc == 0 ]]; then
        echo "FAIL: $name: the check passed"; failures=$((failures + 1))
    elif ! grep -qF -- "$expect" <<<"$out"; then
        echo "FAIL: $name: no line holds \"$expect\""; sed 's/^/    /' <<<"$out"; failures=$((failures + 1))
    fi
    rm -rf "$dir"
done
echo "$n cases, $failures failed"
[[ $failures == 0 ]]
