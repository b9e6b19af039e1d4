# Runs kiro-cli measure, refocus and optimize on the examples and checks their output,
# files and exit codes. Called by CTest as:
#   cmake -DKIRO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(mirror ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT)
set(doublet ${SOURCE_DIR}/examples/designed/doublet-100-f9.OPT)
set(number "[0-9][0-9.e+-]*")

# measure: one value a line. The mirror's zone foci lie at z = R - R / (2 cos t) with
# sin t = h / R; from 1 mm out to the ninth zone at 19.98 mm they spread 0.501328205353.
run_cli(0 measure ${mirror} --hmin 1 --hmax 20 --sa d)
expect_match("${out}" "^0\\.50132820535[0-9]*\n$")
# A mirror has no colour, one line has no spread.
run_cli(0 measure ${mirror} --hmin 1 --hmax 40 --ca C,F)
expect_match("${out}" "^0\n$")
run_cli(0 measure ${doublet} --hmin 0.5 --hmax 49 --mask 4)
expect_match("${out}" "^0\n$")
run_cli(0 measure ${doublet} --hmin 0.5 --hmax 49 --ca C,F)
expect_match("${out}" "^${number}\n$")
run_cli(0 measure ${mirror} --hmin 0 --hmax 40 --sa d)
expect_match("${out}" "^10000000000\n$")
run_cli(0 measure ${mirror} --hmin 1 --hmax 40 --mean e)
expect_match("${out}" "^9[89]\\.[0-9]*\n$")
run_cli(2 measure ${mirror} --hmin 1 --hmax 40)
expect_match("${err}" "^kiro-cli: ")
run_cli(2 measure ${mirror} --hmin 1 --hmax 40 --sa d --osc d)

# refocus writes the moved focal plane.
run_cli(0 refocus ${mirror} --line d -o ${WORK_DIR}/refocused.OPT)
run_cli(0 show ${WORK_DIR}/refocused.OPT)
expect_match("${out}" "\n1 2 [^\n]* xyz=0,0,9[89]\\.[0-9]*")

# optimize: a line per pass, the same file with any thread count.
run_cli(0 optimize ${doublet} -o ${WORK_DIR}/one.OPT --threads 1)
expect_match("${out}" "^pass 1 range 5 merit ${number} -> ${number} candidates 625 seconds ${number}\npass 2 range 2\\.5 [^\n]*\npass 3 range 1\\.25 [^\n]*\n$")
run_cli(0 optimize ${doublet} -o ${WORK_DIR}/three.OPT --threads 3)
file(READ ${WORK_DIR}/one.OPT one HEX)
file(READ ${WORK_DIR}/three.OPT three HEX)
if(NOT one STREQUAL three)
    message(FATAL_ERROR "optimize wrote different designs with 1 and 3 threads")
endif()
run_cli(0 optimize ${doublet} -o ${WORK_DIR}/half.OPT --range 0.5 --measures sa,osc --vary lens)
expect_match("${out}" "^pass 1 range 0\\.5 [^\n]*\n$")

# Bad usage: exit 2 and no output file.
run_cli(2 optimize ${doublet} -o ${WORK_DIR}/bad.OPT --range inf)
run_cli(2 optimize ${doublet} -o ${WORK_DIR}/bad.OPT --measures sa,xyz)
run_cli(2 optimize ${doublet} -o ${WORK_DIR}/bad.OPT --vary glass)
run_cli(2 optimize ${doublet} -o ${WORK_DIR}/bad.OPT --threads -2)
# A design whose spherical aberration cannot be measured (an obstruction covers the
# mirror) has nothing to optimize against: exit 1 at once, no file.
file(WRITE ${WORK_DIR}/blocked.OPT "ver100\r\n-\r\n1\r\n0 0 50\r\n0 0 1\r\n0 0 0 0\r\n500\r\n"
    "1 1 1 1 1 1 1 1 \r\n-\r\n11\r\n0 0 0\r\n0 0 1\r\n200 0 0 0\r\n50\r\n1 1 1 1 1 1 1 1 \r\n"
    "-\r\n2\r\n0 0 100\r\n0 0 1\r\n0 0 0 0\r\n10\r\n1 1 1 1 1 1 1 1 \r\n-\r\n")
run_cli(0 measure ${WORK_DIR}/blocked.OPT --hmin 0.5 --hmax 50 --sa d)
expect_match("${out}" "^10000000000\n$")
run_cli(1 optimize ${WORK_DIR}/blocked.OPT -o ${WORK_DIR}/bad.OPT)
expect_match("${err}" "^kiro-cli: [^\n]*blocked.OPT: the spherical aberration cannot be measured[^\n]*\n$")
expect_equal("${out}" "")
if(EXISTS ${WORK_DIR}/bad.OPT)
    message(FATAL_ERROR "a refused optimize wrote its output file")
endif()

# Parallel final rays (a flat mirror) measure nothing: no measure prints inf or nan.
foreach(measure "--sa;d" "--ca;C,F" "--osc;d" "--mean;d")
    run_cli(0 measure ${SOURCE_DIR}/tests/data/flat-mirror.OPT --hmin 1 --hmax 40 ${measure})
    expect_match("${out}" "^-?[0-9][0-9.e+]*\n$")
endforeach()
