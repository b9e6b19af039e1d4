# Runs kiro-cli design reflector and refractor and checks exit codes, corrections and
# outputs. Called by CTest as: cmake -DKIRO_CLI=... -DSOURCE_DIR=... -DWORK_DIR=... -P this
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/cli_test_support.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(glass --glass-file ${SOURCE_DIR}/data/glass.dat)

# The defaults are the dialog's start values: a 200 mm f/5 Newtonian.
run_cli(0 design reflector --type newtonian -o ${WORK_DIR}/newtonian.OPT)
run_cli(0 design reflector --type 0 --aperture 200 --fnum 5 -o ${WORK_DIR}/newtonian0.OPT)
expect_same_file(${WORK_DIR}/newtonian.OPT ${WORK_DIR}/newtonian0.OPT)
run_cli(0 show ${WORK_DIR}/newtonian.OPT)
expect_contains("${out}" "2 12 放物面鏡 xyz=0,0,-1000 normal=0,0,1 R=2000")

# An empty back focus is the aperture (run directly: a function's arguments drop empty
# ones); a ratio of 0 or less is 1.
execute_process(COMMAND ${KIRO_CLI} design reflector --type cassegrain --fnum 10 --back ""
                        -o ${WORK_DIR}/empty-back.OPT
    RESULT_VARIABLE code ERROR_VARIABLE err)
if(NOT code EQUAL 0)
    message(FATAL_ERROR "design with an empty back focus: exit ${code}\n${err}")
endif()
run_cli(0 design reflector --type cassegrain --fnum 10 --back 200 --ratio -3
        -o ${WORK_DIR}/back-200.OPT)
expect_same_file(${WORK_DIR}/empty-back.OPT ${WORK_DIR}/back-200.OPT)

# A glass by name (the last entry of that name) or by catalogue position.
run_cli(0 design reflector --type schmidt-camera --fnum 2 --glass N-BK7 ${glass}
        -o ${WORK_DIR}/by-name.OPT)
run_cli(0 design reflector --type 7 --fnum 2 --glass "#1" ${glass} -o ${WORK_DIR}/by-number.OPT)
expect_same_file(${WORK_DIR}/by-name.OPT ${WORK_DIR}/by-number.OPT)
run_cli(0 show ${WORK_DIR}/by-name.OPT)
expect_contains("${out}" "material=N-BK7")

# Failed builds: exit 1 with the reason, and no output file.
run_cli(1 design reflector --type schmidt-camera -o ${WORK_DIR}/no-glass.OPT)
expect_contains("${err}" "補正版のガラス材")
expect_no_file(${WORK_DIR}/no-glass.OPT)
run_cli(1 design reflector --type maksutov-cassegrain --glass AIR ${glass} -o ${WORK_DIR}/air.OPT)
expect_contains("${err}" "AIR")
expect_no_file(${WORK_DIR}/air.OPT)
run_cli(1 design reflector --type cassegrain --back 5000 -o ${WORK_DIR}/unsolvable.OPT)
expect_no_file(${WORK_DIR}/unsolvable.OPT)
run_cli(1 design refractor --type doublet-flattener --glass1 N-BK7 --glass2 F2 ${glass}
        -o ${WORK_DIR}/no-third.OPT)
expect_contains("${err}" "第３ガラス材")
expect_no_file(${WORK_DIR}/no-third.OPT)

# Bad usage: exit 2 with a "kiro-cli: " line.
run_cli(2 design reflector --type 0 --aperture 0 -o ${WORK_DIR}/bad.OPT)
expect_contains("${err}" "kiro-cli: ")
run_cli(2 design reflector --type 0 --fnum -1 -o ${WORK_DIR}/bad.OPT)
run_cli(2 design reflector --type 0 --fnum five -o ${WORK_DIR}/bad.OPT)
run_cli(2 design reflector --type 8 -o ${WORK_DIR}/bad.OPT)
run_cli(2 design reflector --type periscope -o ${WORK_DIR}/bad.OPT)
run_cli(2 design reflector --type 2 --glass NO-SUCH-GLASS ${glass} -o ${WORK_DIR}/bad.OPT)
run_cli(2 design reflector --type 2 --glass "#999" ${glass} -o ${WORK_DIR}/bad.OPT)
run_cli(2 design refractor --type triplet --glass1 N-BK7 --glass2 F2 -o ${WORK_DIR}/bad.OPT)
run_cli(2 design refractor --type 0 --glass1 N-BK7 --glass2 F2 --measures sa,coma
        -o ${WORK_DIR}/bad.OPT)
expect_no_file(${WORK_DIR}/bad.OPT)

# A doublet: the information text shows the focal length asked for.
run_cli(0 design refractor --type doublet --glass1 N-BK7 --glass2 F2 ${glass}
        -o ${WORK_DIR}/doublet.OPT)
run_cli(0 show ${WORK_DIR}/doublet.OPT)
expect_contains("${out}" "material=N-BK7")
expect_contains("${out}" "material=F2")
run_cli(0 focus ${WORK_DIR}/doublet.OPT --line d --height 0.1)
string(REGEX MATCH "^[0-9.]+" f "${out}")
if(f LESS 891 OR f GREATER 909)
    message(FATAL_ERROR "doublet focal length ${f}, expected 900 within 1 %")
endif()
