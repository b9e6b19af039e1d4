# Runs kiro-cli fans, field, seidel and their pictures and checks the records. Called by
# CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

set(mirror ${SOURCE_DIR}/examples/spherical-mirror-r200.OPT)
set(doublet ${SOURCE_DIR}/examples/designed/doublet-100-f9.OPT)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# seidel: a record per row, the sum, then the five coefficients. The mirror's S_I is
# 2 h^4 / R^3 with h = 25 and R = 200; its focal plane adds nothing.
run_cli(0 seidel ${mirror})
string(REGEX MATCHALL "[^\n]+" records "${out}")
list(LENGTH records count)
expect_equal("${count}" "8")
list(GET records 0 first)
expect_contains("${first}" "0 0.09765625 ")
list(GET records 1 focal)
expect_equal("${focal}" "1 0 0 0 0 0 0 0")
list(GET records 2 sum)
expect_contains("${sum}" "sum 0.09765625 ")
list(GET records 7 last)
expect_contains("${last}" "W311 ")

# fans: 101 points a fan, tangential then sagittal, every panel and line.
run_cli(0 fans ${mirror})
string(REGEX MATCHALL "[^\n]+" records "${out}")
list(LENGTH records count)
expect_equal("${count}" "3636")
run_cli(0 fans ${doublet} --lines d --heights 0,5,10)
string(REGEX MATCHALL "[^\n]+" records "${out}")
list(LENGTH records count)
expect_equal("${count}" "606")
list(GET records 0 first)
expect_contains("${first}" "0 d tangential -1 ")
list(GET records 101 sagittal)
expect_contains("${sagittal}" "0 d sagittal -1 ")
list(GET records 50 centre)
expect_equal("${centre}" "0 d tangential 0 0")

# field: 21 heights a line; no distortion on the axis.
run_cli(0 field ${doublet} --lines C,F)
string(REGEX MATCHALL "[^\n]+" records "${out}")
list(LENGTH records count)
expect_equal("${count}" "42")
list(GET records 0 first)
string(REGEX MATCH "^0 C [-0-9.e]+ [-0-9.e]+ 0$" axial "${first}")
expect_equal("${axial}" "${first}")

# Pictures in their formats; the primitive lists start with their frames.
run_cli(0 render fans ${doublet} -o ${WORK_DIR}/fans.txt)
expect_file_starts_with(${WORK_DIR}/fans.txt "pen 1 0 0 0\nmove 200 24\nline 200 416\n")
run_cli(0 render field ${doublet} -o ${WORK_DIR}/field.txt --scroll 30)
expect_file_starts_with(${WORK_DIR}/field.txt "pen 2 0 0 0\nmove 140 30\nline 140 365\n")
foreach(view fans field)
    run_cli(0 render ${view} ${doublet} -o ${WORK_DIR}/${view}.png --size 320x240)
    file(READ ${WORK_DIR}/${view}.png magic LIMIT 4 HEX)
    expect_equal("${magic}" "89504e47")
endforeach()

# An empty design has none of them; options of other views are bad usage.
file(WRITE ${WORK_DIR}/empty.OPT "ver100\r\nempty\r\n-1\r\n0 0 0\r\n0 0 1\r\n0 0 0 0\r\n0\r\n1 1 1 1 1 1 1 1 \r\n-\r\n")
foreach(command fans field seidel)
    run_cli(1 ${command} ${WORK_DIR}/empty.OPT)
endforeach()
run_cli(1 render fans ${WORK_DIR}/empty.OPT -o ${WORK_DIR}/empty.png)
expect_no_file(${WORK_DIR}/empty.png)
run_cli(2 render field ${doublet} -o ${WORK_DIR}/bad.png --heights 1,2,3)
run_cli(2 render fans ${doublet} -o ${WORK_DIR}/bad.png --mag 10)
run_cli(2 fans ${doublet} --heights 1,2)
expect_no_file(${WORK_DIR}/bad.png)
