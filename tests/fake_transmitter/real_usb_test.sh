#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Vostrel programmer maintainers
# vostrel-cli through the real hidapi and libudev against the fake transmitter.
#   real_usb_test.sh CASE CLI FAKE HARNESS
# CASE is one of the rig's case_* (fake_test_rig.sh); the tables below are this
# system's inputs to them. Exits 77 (skipped) when the machine cannot hold the fake;
# any other failure is a failure.
set -euo pipefail
case_name=$1 cli=$2 fake=$3 rig=$4 listed_as=/dev/hidraw0
# shellcheck source=tests/fake_transmitter/fake_test_rig.sh
source "$(dirname "${BASH_SOURCE[0]}")/fake_test_rig.sh"

# hidraw's report lengths count the report-ID byte whether the reports are numbered or not.
table[devices]="\
|port 1-1.2	empty (erased)	fingerprint 5D0F5CC7
|input report 65 bytes	output report 65 bytes
--reports 3,4|input report 4 bytes	output report 5 bytes
--reports 200,100 --report-id 7|input report 201 bytes	output report 101 bytes"
table[round_trip]="\
||64
--reports 3,4||4
--reports 200,100||100
--report-id 7|07|65
--reports 20,30 --report-id 255|ff|31"
table[unsolicited]="\
--unsolicited
--unsolicited --report-id 3"
# No reply waits the 2 s reply time-out, and never hangs (8 s leaves room for a sanitizer
# build on a busy machine: 5 s was once missed by 1 ms); an unplug fails before that
# time-out could have passed (1.9 s: a sanitizer build with two test runs on two cores
# once took 1.53 s to start, be unplugged and end).
table[faults]="\
--no-reply-from 5|read|1900|8000
--no-reply-from 5|write --no-backup $work/pages.conf|1900|8000
--unplug-before 5|read|0|1900
--unplug-before 5|write --no-backup $work/pages.conf|0|1900
--unplug-at-reply 5|read|0|1900
--unplug-at-reply 5|write --no-backup $work/pages.conf|0|1900"
table[access_denied]=65534
table[busy]="--latency-ms 10"
# By port, and by port when the hidraw numbers no longer follow the ports (the second
# node on the first port, as after a reboot that found the devices the other way round).
table[two_transmitters]="\
port|
path|
port|--port 1-1.4"
table[one_unreadable]="\
--mode 0644|65534|USB Device found, but access denied
--unplug-at-reply 5||USB Command fail"
table[batch]="|512"
table[names]="by port"

run_case
