#!/usr/bin/env bash
# End to end through the real serial backend: zuno-sim serves the simulated module on
# a pseudo-terminal, and the scenario runner's window opens that terminal with
# QSerialPort and reads the module's whole configuration.
#   device-test.sh ZUNO_SIM SCENARIO_RUNNER
set -euo pipefail
sim=$1
runner=$2
work=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

"$sim" --seconds 120 >"$work/path" &
pid=$!
for _ in $(seq 200); do [ -s "$work/path" ] && break; sleep 0.05; done
path=$(head -n 1 "$work/path")
[ -c "$path" ] || { echo "zuno-sim printed no terminal: '$path'" >&2; exit 1; }

cat >"$work/device_read.scn" <<EOF
# The configuration read over a real serial port.
device "Zuno on a terminal" "$path"
prefs "SERIALPORT:0\nBAUDRATE:8\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n"
start
expect-log "Checking preference file"
expect-log "Opened serial port Zuno on a terminal"
expect-state mConnected "true"
expect-state mReadConfiguration "false"
expect-state mModuleID "7"
expect-state m3AxisModule "true"
expect StaticDravikInfo.text "Dravik CB-2 communication board, firmware 1.3"
expect StaticModuleInfo.text "Zuno compass module, 3 axis, firmware 2.1"
expect EditDeclination.text "0.0"
expect-indicator 1
EOF

cat >"$work/device_wrong_rate.scn" <<EOF
# Opened at 9600 the terminal carries only noise from the 57600 module; choosing
# 57600 brings it back.
device "Zuno on a terminal" "$path"
prefs "SERIALPORT:0\nBAUDRATE:5\nCONTRAST:FALSE\nAUTOSCROLL:FALSE\nDATA:\n"
start
expect-log "Checking preference file"
expect-log "Opened serial port Zuno on a terminal"
wait 1500
expect-state mConnected "false"
expect-indicator 3
select PopupComputerBaudRate 8
expect-log "Opened serial port Zuno on a terminal"
expect-state mConnected "true"
expect-indicator 1
EOF

"$runner" "$work/device_read.scn" "$work/device_wrong_rate.scn"
