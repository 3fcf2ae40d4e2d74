#!/usr/bin/env bash
# Writes the value change dumps of other tools that the import tests read,
# into tests/project/dumps/: a counter testbench run by Icarus Verilog
# (Debian package iverilog) and sigrok-cli's demonstration device. They are
# committed, so the tests need neither tool; run this to make them again.
set -euo pipefail
cd "$(dirname "$0")/../tests/project/dumps"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
iverilog -o "$work/counter" counter_tb.v
(cd "$work" && vvp -n counter >/dev/null)
mv "$work/counter.vcd" counter.vcd
sigrok-cli -d demo --channels D0,D1,D2,D3,D4,D5,D6,D7 --samples 500 -O vcd -o sigrok-demo.vcd
echo "written: counter.vcd sigrok-demo.vcd"
