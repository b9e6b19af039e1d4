# Runs kiro-cli trace, focus, sine and light on the examples and checks their output
# and exit codes. Called by CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

set(mirror ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT)
set(newtonian ${SOURCE_DIR}/examples/newtonian-200-f5.OPT)
set(number "-?[0-9][0-9.e+-]*")

# The R 200 mirror focuses a 1 mm zone at f = 100 / cos(theta) = 100.00125 near z = 100.
run_cli(0 focus ${mirror} --line d --height 1)
expect_match("${out}" "^100\\.0012500[0-9]* 0 0 99\\.99874[0-9]*\n$")
run_cli(0 focus ${mirror} --line 2 --height 1 --mode 0)
expect_match("${out}" "^100\\.0012500[0-9]* ")
# A zone beyond the mirror's clear radius fails; so does a zone behind the obstruction
# when stops act (mode 0) but not when only the mirrors are traced.
run_cli(1 focus ${mirror} --line d --height 30)
expect_match("${err}" "^[^\n]+\n$")
run_cli(1 focus ${newtonian} --line d --height 10 --mode 0)
run_cli(0 focus ${newtonian} --line d --height 10)
expect_match("${out}" "^1000\\.0[0-9]* 0 0 ${number}\n$")

# trace: a line per row taken, then the final ray; exit 1 for a dead ray.
run_cli(0 trace ${mirror} --line d --from 10,0,0 --dir 0,0,-1)
expect_match("${out}" "^0 10 0 0\\.2501564456[0-9]* ${number} 0 0\\.995[0-9]*\n1 ${number} 0 100 ${number} 0 0\\.995[0-9]*\nfinal ${number} 0 100 ")
run_cli(0 trace ${mirror} --line d --from 10,0,0 --dir 0,0,-1 --rows optical)
expect_match("${out}" "^0 [^\n]*\nfinal [^\n]*\n$")
run_cli(1 trace ${newtonian} --line F --from 5,0,0 --dir 0,0,-1)
expect_match("${out}" "\n1 5 0 -180 0 0 0\n")
expect_match("${out}" "\nfinal 5 0 -180 0 0 0\n$")

# sine: a mirror has no colour, so the C-line zone matches the d-line focal length.
run_cli(0 focus ${mirror} --line d --height 10)
string(REGEX MATCH "^[^ ]+" f10 "${out}")
run_cli(0 sine ${mirror} --fref ${f10} --line C --height 10)
expect_match("${out}" "^0\n$")
run_cli(1 sine ${mirror} --fref 100 --line C --height 30)

# light: an unvignetted pupil passes everything; the obstruction hides some.
run_cli(0 light ${mirror} --field-rad 0 --radius 20 --line d)
expect_match("${out}" "^1\n$")
run_cli(0 light ${newtonian} --field-rad 0 --radius 100 --line d)
expect_match("${out}" "^0\\.9[0-9]*\n$")

# A result that is no finite number is no result: parallel final rays (a flat mirror)
# give no focus and no sine-condition deviation; a stop whose normal is (1, 0, 1e-320)
# sends the ray to infinity, where it ends as a dead ray; a zone of 1e308 mm misses.
set(flat ${SOURCE_DIR}/tests/data/flat-mirror.OPT)
set(nanStop ${SOURCE_DIR}/tests/data/nan-stop-normal.OPT)
run_cli(1 focus ${flat} --line d --height 10)
expect_match("${err}" "^[^\n]*not a finite number\n$")
run_cli(1 sine ${flat} --fref 100 --line d --height 10)
run_cli(1 trace ${nanStop} --line d --from 10,0,0 --dir 0,0,-1)
expect_match("${out}" "^0 10 0 0 0 0 0\n")
run_cli(1 focus ${nanStop} --line d --height 10 --mode 0)
run_cli(1 focus ${newtonian} --line d --height 1e308)
run_cli(1 sine ${newtonian} --fref 1000 --line d --height 1e308)

# Bad usage: exit 2 with a "kiro-cli: " line.
run_cli(2 light ${mirror} --field-rad 0 --radius 0 --line d)
expect_match("${err}" "^kiro-cli: ")
run_cli(2 focus ${mirror} --line x --height 1)
expect_match("${err}" "^kiro-cli: ")
run_cli(2 focus ${mirror} --line d --height 1 --mode 2)
run_cli(2 trace ${mirror} --line d --from 1,2 --dir 0,0,-1)
run_cli(2 trace ${mirror} --line d --from 1,2,3 --dir 0,0,-1 --rows some)
run_cli(2 sine ${SOURCE_DIR}/examples/missing.OPT --fref 100 --line d --height 1)
